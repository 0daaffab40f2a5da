#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "common/cmd_parts.h"
#include "common/cmd_start.h"
#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/line_files.h"
#include "common/platform.h"
#include "common/sorted_runs.h"
#include "common/text.h"
#include "common/wildcards.h"
#include "common/work_files.h"
#include "common/work_paths.h"

namespace {

std::string GroupThousands(long long value) {
  std::string digits = std::to_string(value);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string ListingTime(long long mtime) {
  std::tm parts = platform::CalendarTime(mtime, false);
  int hour = parts.tm_hour % 12 == 0 ? 12 : parts.tm_hour % 12;
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d  %02d:%02d %s", parts.tm_mon + 1, parts.tm_mday,
                parts.tm_year + 1900, hour, parts.tm_min, parts.tm_hour < 12 ? "AM" : "PM");
  return text;
}

void RunDir(const Command& cmd) {
  bool bare = HasSwitch(cmd, 'b');
  std::vector<std::string> patterns = Operands(cmd);
  if (patterns.empty()) patterns.push_back("");
  if (bare) {
    for (const std::string& pattern : patterns) {
      std::string folder;
      for (const FolderEntry& e : ListMatches(pattern, false, &folder)) cmd.out->Line(e.name);
    }
    return;
  }
  std::string here = platform::CurrentFolder();
  cmd.out->Line(" Volume in drive C has no label.");
  cmd.out->Line(" Volume Serial Number is 0000-0000");
  for (const std::string& pattern : patterns) {
    std::string folder;
    std::vector<FolderEntry> entries = ListMatches(pattern, true, &folder);
    cmd.out->Line("");
    std::string shown = folder;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    cmd.out->Line(" Directory of " + (shown.empty() ? here : here + "/" + shown));
    cmd.out->Line("");
    long long files = 0, folders = 0, bytes = 0;
    for (const FolderEntry& e : entries) {
      std::string size_column =
          e.is_folder ? "    <DIR>          " : RightAlign(GroupThousands(e.size), 18) + " ";
      cmd.out->Line(ListingTime(e.mtime) + size_column + e.name);
      if (e.is_folder) {
        ++folders;
      } else {
        ++files;
        bytes += e.size;
      }
    }
    cmd.out->Line(RightAlign(std::to_string(files), 16) + " File(s) " +
                  RightAlign(GroupThousands(bytes), 14) + " bytes");
    cmd.out->Line(RightAlign(std::to_string(folders), 16) + " Dir(s)");
  }
}

bool CaseBlindLines(const std::string& a, const std::string& b) { return CaseBlindLess(a, b); }

// Runs of the interpreter's sort: large enough that ordinary files sort in one run, small
// enough that memory stays bounded whatever the file's size.
constexpr size_t kSortRunLines = 200000;
constexpr size_t kSortRunBytes = 32 << 20;
constexpr size_t kSortFanIn = 50;

void RunSort(const Command& cmd) {
  std::string input_name, output_name;
  for (size_t i = 1; i < cmd.args.size(); ++i) {
    const Token& t = cmd.args[i];
    if (IsSwitch(t) && LowerAscii(t.text) == "/o" && i + 1 < cmd.args.size()) {
      output_name = cmd.args[++i].text;
    } else if (!IsSwitch(t) && input_name.empty()) {
      input_name = t.text;
    }
  }
  std::vector<std::string> lines;
  std::unique_ptr<LineReader> reader;
  if (!input_name.empty()) {
    if (!FileExists(input_name)) return Fail("The system cannot find the file specified.");
    reader = std::make_unique<LineReader>(input_name);
  }
  // Runs go to temporary files in the work directory, removed when the sort is done.
  std::string stem = "~sort_" + std::to_string(platform::ProcessId()) + "_";
  auto run_name = [&](size_t n) { return stem + std::to_string(n) + ".tmp"; };
  std::vector<std::string> runs;
  if (reader) {
    // A file that fits in one run is sorted in memory and written straight out.
    std::string line;
    size_t bytes = 0;
    bool more = false;
    while (reader->Next(&line)) {
      bytes += line.size() + 32;
      lines.push_back(std::move(line));
      if (lines.size() >= kSortRunLines || bytes >= kSortRunBytes) {
        more = true;
        break;
      }
    }
    std::sort(lines.begin(), lines.end(), CaseBlindLines);
    if (more) {
      {
        LineWriter first(run_name(1));
        for (const std::string& l : lines) first.WriteLine(l);
      }
      lines.clear();
      size_t count = FormSortedRuns(reader.get(), kSortRunLines, kSortRunBytes, CaseBlindLines,
                                    [&](size_t n) { return run_name(n + 1); });
      for (size_t n = 1; n <= count + 1; ++n) runs.push_back(run_name(n));
    } else {
      reader.reset();
    }
  } else {
    lines = cmd.piped_input ? *cmd.piped_input : std::vector<std::string>();
    std::sort(lines.begin(), lines.end(), CaseBlindLines);
  }
  auto merge_level = [&](const std::vector<size_t>& group, size_t merged) {
    std::vector<std::string> names;
    for (size_t n : group) names.push_back(run_name(n));
    {
      LineWriter out(run_name(merged));
      MergeSortedRuns(names, &out, CaseBlindLines);
    }
    for (const std::string& name : names) DeleteWorkFile(name);
  };
  if (!runs.empty()) {
    std::vector<size_t> left = MergeInLevels(runs.size(), kSortFanIn, merge_level);
    runs.clear();
    for (size_t n : left) runs.push_back(run_name(n));
  }
  std::unique_ptr<LineWriter> file;
  if (!output_name.empty()) {
    file = OpenCommandOutput(output_name);
    if (!file) {
      for (const std::string& name : runs) DeleteWorkFile(name);
      return;
    }
  }
  if (reader) {
    if (file) {
      MergeSortedRuns(runs, file.get(), CaseBlindLines);
    } else {
      std::vector<std::string> merged;
      for (const std::string& name : runs) {
        for (std::string& line : ReadAllLines(name)) merged.push_back(std::move(line));
      }
      std::sort(merged.begin(), merged.end(), CaseBlindLines);
      for (const std::string& line : merged) cmd.out->Line(line);
    }
    for (const std::string& name : runs) DeleteWorkFile(name);
  } else {
    for (const std::string& line : lines) {
      if (file) {
        file->WriteLine(line);
      } else {
        cmd.out->Line(line);
      }
    }
  }
}

// find and findstr: lines that hold the text (find) or any of its blank-separated words
// (findstr).
void RunFindOrFindstr(const Command& cmd, bool is_findstr) {
  bool ignore_case = HasSwitch(cmd, 'i');
  bool invert = HasSwitch(cmd, 'v');
  bool count_only = HasSwitch(cmd, 'c') && !is_findstr;
  std::vector<std::string> operands = Operands(cmd);
  if (operands.empty()) return Fail("FIND: Parameter format not correct");
  std::string text = operands[0];
  std::vector<std::string> needles;
  if (is_findstr) {
    for (std::string& needle : SplitFields(text, ' ')) {
      if (!needle.empty()) needles.push_back(std::move(needle));
    }
  } else {
    needles.push_back(text);
  }
  if (ignore_case) {
    for (std::string& needle : needles) needle = LowerAscii(needle);
  }
  auto matches = [&](const std::string& line) {
    std::string lowered;
    const std::string& hay = ignore_case ? (lowered = LowerAscii(line)) : line;
    bool any = false;
    for (const std::string& needle : needles) {
      if (Contains(hay, needle)) {
        any = true;
        break;
      }
    }
    return any != invert;
  };
  std::vector<std::string> files(operands.begin() + 1, operands.end());
  auto scan = [&](CommandInput& input, const std::string& header, const std::string& prefix) {
    long long count = 0;
    std::string line;
    if (!header.empty() && !count_only) cmd.out->Line(header);
    while (input.Next(&line)) {
      if (!matches(line)) continue;
      ++count;
      if (!count_only) cmd.out->Line(prefix + line);
    }
    if (count_only) {
      cmd.out->Line(header.empty() ? std::to_string(count) : header + ": " + std::to_string(count));
    }
  };
  if (files.empty()) {
    CommandInput input(cmd.piped_input);
    scan(input, "", "");
    return;
  }
  for (const std::string& name : files) {
    if (!FileExists(name)) {
      Fail((is_findstr ? "FINDSTR: Cannot open " : "File not found - ") + name);
      continue;
    }
    CommandInput input{std::string_view(name)};
    if (is_findstr) {
      scan(input, "", files.size() > 1 ? name + ":" : "");
    } else {
      scan(input, "---------- " + UpperAscii(name), "");
    }
  }
}

void RunFind(const Command& cmd) { RunFindOrFindstr(cmd, false); }
void RunFindstr(const Command& cmd) { RunFindOrFindstr(cmd, true); }

void RunCopy(const Command& cmd) {
  std::vector<std::string> operands = Operands(cmd);
  if (operands.empty()) return Fail("The syntax of the command is incorrect.");
  std::string source = operands[0];
  std::string target = operands.size() > 1 ? operands[1] : "";
  std::vector<std::string> sources = CopySources(source);
  if (sources.empty()) return Fail("The system cannot find the file specified.");
  bool to_folder =
      target.empty() || EndsWith(target, "\\") || EndsWith(target, "/") || FolderExists(target);
  if (to_folder && !target.empty() && !FolderExists(target)) {
    return Fail("The system cannot find the path specified.");
  }
  if (to_folder) {
    for (const std::string& name : sources) {
      std::string folder, base;
      SplitFolderAndName(name, &folder, &base);
      std::string dest = target.empty() ? base : target;
      if (!target.empty() && !EndsWith(target, "\\") && !EndsWith(target, "/")) dest += "\\";
      if (!target.empty()) dest += base;
      if (!CopyWorkFile(name, dest)) Fail("Access is denied.");
    }
    return;
  }
  if (sources.size() == 1) {
    if (!CopyWorkFile(sources[0], target)) Fail("Access is denied.");
    return;
  }
  // Several sources onto one file are joined, as the interpreter does.
  std::unique_ptr<LineWriter> joined = OpenCommandOutput(target);
  if (!joined) return;
  for (const std::string& name : sources) {
    LineReader reader(name);
    std::string line;
    while (reader.Next(&line)) joined->WriteLine(line);
  }
}

void DeleteMatches(const std::string& pattern) {
  if (HasWildcard(pattern) || FolderExists(pattern)) {
    for (const std::string& name : MatchingFileNames(pattern)) DeleteWorkFile(name);
  } else {
    DeleteWorkFile(pattern);
  }
}

void RunDel(const Command& cmd) {
  std::vector<std::string> operands = Operands(cmd);
  if (operands.empty()) return Fail("The syntax of the command is incorrect.");
  for (const std::string& pattern : operands) DeleteMatches(pattern);
}

// for %i in (pattern) do command %i: the command runs once per matching file, with the
// name put in as one argument, never re-read as command text.
void RunFor(const Command& cmd) {
  const std::vector<Token>& a = cmd.args;
  if (a.size() < 5 || LowerAscii(a[2].text) != "in") {
    return Fail("The syntax of the command is incorrect.");
  }
  std::string variable = a[1].text;
  size_t i = 3;
  std::vector<std::string> patterns;
  for (; i < a.size() && LowerAscii(a[i].text) != "do"; ++i) {
    std::string text = a[i].text;
    if (StartsWith(text, "(")) text.erase(0, 1);
    if (EndsWith(text, ")")) text.pop_back();
    if (!text.empty()) patterns.push_back(text);
  }
  if (i + 1 >= a.size()) return Fail("The syntax of the command is incorrect.");
  std::vector<Token> body(a.begin() + static_cast<long>(i) + 1, a.end());
  for (const std::string& pattern : patterns) {
    std::vector<std::string> names =
        HasWildcard(pattern) ? MatchingFileNames(pattern) : std::vector<std::string>{pattern};
    for (const std::string& name : names) {
      Command each;
      each.out = cmd.out;
      each.piped_input = cmd.piped_input;
      for (const Token& t : body) {
        Token copy = t;
        if (copy.text == variable) {
          copy.text = name;
          copy.quoted = true;
        }
        each.args.push_back(copy);
      }
      DispatchCommand(each);
    }
  }
}

void RunMd(const Command& cmd) {
  for (const std::string& name : Operands(cmd)) {
    // Intermediate folders are made too; an existing folder is no error.
    std::string path;
    size_t pos = 0;
    while (true) {
      size_t cut = name.find_first_of("\\/", pos);
      std::string part = name.substr(0, cut);
      if (!part.empty() && !FolderExists(part) && !MakeFolder(part)) {
        Fail("Access is denied.");
        break;
      }
      if (cut == std::string::npos) break;
      pos = cut + 1;
    }
  }
}

void RunRd(const Command& cmd) {
  for (const std::string& name : Operands(cmd)) {
    if (!FolderExists(name)) {
      Fail("The system cannot find the file specified.");
    } else if (!RemoveFolder(name)) {
      Fail("The directory is not empty.");
    }
  }
}

constexpr ShellCommand kCommands[] = {
    {"dir", "bare (/b) or full listing, /o ordered", RunDir},
    {"sort", "sort {in} /o {out}: lines in case-blind order", RunSort},
    {"find", "lines holding a text (/i any case, /v the others, /c their count)", RunFind},
    {"findstr", "lines holding any of the blank-separated words (/i any case)", RunFindstr},
    {"copy", "one file, wildcard sources, or into a folder", RunCopy},
    {"del", "delete files, wildcards allowed", RunDel},
    {"erase", "as del", RunDel},
    {"for", "for %i in (pattern) do command %i", RunFor},
    {"md", "make a folder and those above it", RunMd},
    {"mkdir", "as md", RunMd},
    {"rd", "remove an empty folder", RunRd},
    {"rmdir", "as rd", RunRd},
    {"start", "start /D folder program: a program in its own console", RunStart},
    {"notepad", "edit a file and wait for the editor", RunEditor},
    {"notepad.exe", "as notepad", RunEditor},
};

}  // namespace

const ShellCommand* FindShellCommand(std::string_view name) {
  std::string lower = LowerAscii(name);
  for (const ShellCommand& command : kCommands) {
    if (lower == command.name) return &command;
  }
  return nullptr;
}
