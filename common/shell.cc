#include "common/shell.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include "common/console.h"
#include "common/sorted_runs.h"
#include "common/text.h"
#include "common/work_dir.h"

namespace {

struct Token {
  std::string text;
  bool quoted = false;       // held a double-quoted part
  bool is_operator = false;  // ">", ">>" or "|"
};

std::vector<Token> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '>' || c == '|') {
      Token op;
      op.is_operator = true;
      op.text = c;
      ++i;
      if (c == '>' && i < line.size() && line[i] == '>') {
        op.text = ">>";
        ++i;
      }
      tokens.push_back(op);
      continue;
    }
    Token word;
    bool in_quotes = false;
    while (i < line.size()) {
      c = line[i];
      if (c == '"') {
        in_quotes = !in_quotes;
        word.quoted = true;
        ++i;
        continue;
      }
      if (!in_quotes && (c == ' ' || c == '\t' || c == '>' || c == '|')) break;
      word.text += c;
      ++i;
    }
    tokens.push_back(word);
  }
  return tokens;
}

void Fail(std::string_view message) { PrintError(message); }

// The file a command writes (a redirection, sort's /o, a joined copy). A missing folder
// fails the command: its message, no file, and the program goes on. Any other failure to
// create the file ends the program.
std::unique_ptr<LineWriter> CommandOutput(const std::string& name,
                                          LineWriter::Mode mode = LineWriter::kCreate) {
  auto file = std::make_unique<LineWriter>(name, mode, LineWriter::kReport);
  if (file->is_open()) return file;
  if (!IsMissingFolder(file->error())) StopOnWriteFailure(name, file->error());
  Fail("The system cannot find the path specified.");
  return nullptr;
}

// Where a command's output goes: a redirection file, the next command of a pipe, or the
// console.
class Output {
 public:
  Output() = default;
  explicit Output(std::unique_ptr<LineWriter> file) : file_(std::move(file)) {}
  explicit Output(std::vector<std::string>* pipe) : pipe_(pipe) {}
  void Line(std::string_view text) {
    if (file_) {
      file_->WriteLine(text);
    } else if (pipe_) {
      pipe_->emplace_back(text);
    } else {
      PrintLine(text);
    }
  }

 private:
  std::unique_ptr<LineWriter> file_;
  std::vector<std::string>* pipe_ = nullptr;
};

// Input of a command that reads lines: a named file or the previous command of a pipe.
class Input {
 public:
  explicit Input(const std::vector<std::string>* pipe) : pipe_(pipe) {}
  explicit Input(std::string_view name) : reader_(std::make_unique<LineReader>(name)) {}
  bool Next(std::string* line) {
    if (reader_) return reader_->Next(line);
    if (!pipe_ || next_ >= pipe_->size()) return false;
    *line = (*pipe_)[next_++];
    return true;
  }

 private:
  const std::vector<std::string>* pipe_ = nullptr;
  size_t next_ = 0;
  std::unique_ptr<LineReader> reader_;
};

struct Command {
  std::vector<Token> args;  // args[0] is the command name
  Output* out = nullptr;
  const std::vector<std::string>* piped_input = nullptr;  // null: not in a pipe
};

bool IsSwitch(const Token& token) { return !token.quoted && StartsWith(token.text, "/"); }

bool HasSwitch(const Command& cmd, char letter) {
  for (size_t i = 1; i < cmd.args.size(); ++i) {
    const Token& t = cmd.args[i];
    if (IsSwitch(t) && t.text.size() >= 2 && (t.text[1] | 0x20) == letter) return true;
  }
  return false;
}

std::vector<std::string> Operands(const Command& cmd) {
  std::vector<std::string> operands;
  for (size_t i = 1; i < cmd.args.size(); ++i) {
    if (!IsSwitch(cmd.args[i])) operands.push_back(cmd.args[i].text);
  }
  return operands;
}

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string::npos; }

bool GlobMatch(std::string_view name, std::string_view pattern) {
  // Iterative matcher with one backtracking point per "*".
  size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    // A '*' of the pattern is a wildcard even where the name holds a '*' too.
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++n, ++p;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Windows wildcard rules, without regard to case: "*.*" is everything, a trailing "." asks
// for names without a dot, and "x.*" also matches "x".
bool NameMatches(std::string_view name, std::string_view pattern) {
  std::string n = LowerAscii(name);
  std::string p = LowerAscii(pattern);
  if (p == "*.*" || p == "*") return true;
  if (EndsWith(p, ".") && !EndsWith(p, "..")) {
    return n.find('.') == std::string::npos && GlobMatch(n, p.substr(0, p.size() - 1));
  }
  if (GlobMatch(n, p)) return true;
  if (EndsWith(p, ".*") && n.find('.') == std::string::npos) {
    return GlobMatch(n, p.substr(0, p.size() - 2));
  }
  return false;
}

bool ListingLess(const FolderEntry& a, const FolderEntry& b) {
  std::string la = LowerAscii(a.name), lb = LowerAscii(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

// The entries a pattern names: "htm_in\*.htm*" lists matches in htm_in; a plain folder
// name lists its contents; an empty pattern lists the work directory.
std::vector<FolderEntry> Expand(std::string_view pattern, bool details, std::string* folder) {
  std::string base;
  SplitFolderAndName(pattern, folder, &base);
  if (!HasWildcard(base)) {
    std::string whole(pattern);
    if (base.empty() || FolderExists(whole)) {
      *folder = whole;
      base = "*";
    }
  }
  std::vector<FolderEntry> found;
  if (!folder->empty() && !FolderExists(*folder)) return found;
  for (FolderEntry& entry : ListFolder(*folder, details)) {
    if (NameMatches(entry.name, base)) found.push_back(std::move(entry));
  }
  std::sort(found.begin(), found.end(), ListingLess);
  return found;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "\\" + name;
}

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
  std::time_t when = static_cast<std::time_t>(mtime);
  std::tm parts{};
  localtime_r(&when, &parts);
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
      for (const FolderEntry& e : Expand(pattern, false, &folder)) cmd.out->Line(e.name);
    }
    return;
  }
  char cwd[4096];
  std::string here = getcwd(cwd, sizeof cwd) ? cwd : ".";
  cmd.out->Line(" Volume in drive C has no label.");
  cmd.out->Line(" Volume Serial Number is 0000-0000");
  for (const std::string& pattern : patterns) {
    std::string folder;
    std::vector<FolderEntry> entries = Expand(pattern, true, &folder);
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
  std::string stem = "~sort_" + std::to_string(getpid()) + "_";
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
  size_t next = runs.size() + 1;
  while (runs.size() > kSortFanIn) {
    std::vector<std::string> group(runs.begin(), runs.begin() + kSortFanIn);
    runs.erase(runs.begin(), runs.begin() + kSortFanIn);
    {
      LineWriter merged(run_name(next));
      MergeSortedRuns(group, &merged, CaseBlindLines);
    }
    for (const std::string& name : group) DeleteWorkFile(name);
    runs.push_back(run_name(next++));
  }
  std::unique_ptr<LineWriter> file;
  if (!output_name.empty()) {
    file = CommandOutput(output_name);
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
void RunFind(const Command& cmd, bool is_findstr) {
  bool ignore_case = HasSwitch(cmd, 'i');
  bool invert = HasSwitch(cmd, 'v');
  bool count_only = HasSwitch(cmd, 'c') && !is_findstr;
  std::vector<std::string> operands = Operands(cmd);
  if (operands.empty()) return Fail("FIND: Parameter format not correct");
  std::string text = operands[0];
  std::vector<std::string> needles;
  if (is_findstr) {
    size_t pos = 0;
    while (pos < text.size()) {
      size_t blank = text.find(' ', pos);
      if (blank == std::string::npos) blank = text.size();
      if (blank > pos) needles.push_back(text.substr(pos, blank - pos));
      pos = blank + 1;
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
  auto scan = [&](Input& input, const std::string& header, const std::string& prefix) {
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
    Input input(cmd.piped_input);
    scan(input, "", "");
    return;
  }
  for (const std::string& name : files) {
    if (!FileExists(name)) {
      Fail((is_findstr ? "FINDSTR: Cannot open " : "File not found - ") + name);
      continue;
    }
    Input input{std::string_view(name)};
    if (is_findstr) {
      scan(input, "", files.size() > 1 ? name + ":" : "");
    } else {
      scan(input, "---------- " + UpperAscii(name), "");
    }
  }
}

// The files a source pattern of copy or del names, as work-directory names.
std::vector<std::string> MatchingFiles(std::string_view pattern) {
  std::vector<std::string> names;
  std::string folder;
  for (const FolderEntry& e : Expand(pattern, false, &folder)) {
    if (!e.is_folder) names.push_back(InFolder(folder, e.name));
  }
  return names;
}

}  // namespace

std::vector<std::string> MatchingWorkFiles(std::string_view pattern) {
  if (HasWildcard(pattern)) return MatchingFiles(pattern);
  if (FileExists(pattern)) return {std::string(pattern)};
  return {};
}

void CopyAsSecondNames(std::string_view pattern, std::string_view folder,
                       std::string_view redirect) {
  std::vector<std::string> names = MatchingWorkFiles(pattern);
  if (names.empty() || !FolderExists(folder)) {
    RunCommand("copy " + std::string(pattern) + " " + std::string(folder) + "\\ > " +
               std::string(redirect));
    return;
  }
  LineWriter placeholder(redirect);  // the redirection target, empty as after a copy
  for (const std::string& name : names) {
    std::string from_folder, base;
    SplitFolderAndName(name, &from_folder, &base);
    ShareWorkFile(name, std::string(folder) + "\\" + base);
  }
}

namespace {

void RunCopy(const Command& cmd) {
  std::vector<std::string> operands = Operands(cmd);
  if (operands.empty()) return Fail("The syntax of the command is incorrect.");
  std::string source = operands[0];
  std::string target = operands.size() > 1 ? operands[1] : "";
  std::vector<std::string> sources;
  if (HasWildcard(source)) {
    sources = MatchingFiles(source);
  } else if (FileExists(source)) {
    sources.push_back(source);
  }
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
  std::unique_ptr<LineWriter> joined = CommandOutput(target);
  if (!joined) return;
  for (const std::string& name : sources) {
    LineReader reader(name);
    std::string line;
    while (reader.Next(&line)) joined->WriteLine(line);
  }
}

void DeleteMatches(const std::string& pattern) {
  if (HasWildcard(pattern) || FolderExists(pattern)) {
    for (const std::string& name : MatchingFiles(pattern)) DeleteWorkFile(name);
  } else {
    DeleteWorkFile(pattern);
  }
}

void RunDel(const Command& cmd) {
  std::vector<std::string> operands = Operands(cmd);
  if (operands.empty()) return Fail("The syntax of the command is incorrect.");
  for (const std::string& pattern : operands) DeleteMatches(pattern);
}

void Dispatch(Command& cmd);

// for %i in (pattern) do command %i: the command runs once per matching file, with the
// name put in as one argument, never re-read as command text.
void RunFor(Command& cmd) {
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
        HasWildcard(pattern) ? MatchingFiles(pattern) : std::vector<std::string>{pattern};
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
      Dispatch(each);
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

std::string AbsolutePath(const std::string& path) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return path == "." ? std::string(cwd) : std::string(cwd) + "/" + path;
}

// Finds an executable on PATH; empty when there is none.
std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t pos = 0;
  while (pos <= dirs.size()) {
    size_t colon = dirs.find(':', pos);
    if (colon == std::string::npos) colon = dirs.size();
    std::string candidate = dirs.substr(pos, colon - pos) + "/" + program;
    if (colon > pos && access(candidate.c_str(), X_OK) == 0) return candidate;
    pos = colon + 1;
  }
  return "";
}

// Starts `argv` without a shell; with `wait`, returns once it has ended.
bool Spawn(const std::vector<std::string>& argv, const std::string& folder, bool wait) {
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    if (!wait) setsid();  // a started program outlives its caller
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (!wait) return true;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

void RunStart(const Command& cmd) {
  std::string folder;
  std::vector<std::string> rest;
  for (size_t i = 1; i < cmd.args.size(); ++i) {
    const Token& t = cmd.args[i];
    if (IsSwitch(t) && LowerAscii(t.text) == "/d" && i + 1 < cmd.args.size()) {
      folder = cmd.args[++i].text;
    } else if (!IsSwitch(t)) {
      rest.push_back(t.text);
    }
  }
  if (rest.empty()) return Fail("The system cannot find the file specified.");
  // The started program writes in its folder: one reached through a link is refused.
  std::string folder_path = ".";
  if (!folder.empty() && (!FolderExists(folder) || !ResolveConfinedPath(folder, &folder_path))) {
    return Fail("The system cannot find the path specified.");
  }
  std::string program = rest[0];
  std::string program_path;
  std::string in_folder = folder.empty() ? program : folder + "\\" + program;
  if (!ResolveWorkPath(in_folder, false, &program_path) &&
      !ResolveWorkPath(program, false, &program_path)) {
    return Fail("The system cannot find the file " + program + ".");
  }
  std::string abs_folder = AbsolutePath(folder_path);
  std::string abs_program = AbsolutePath(program_path);
  std::string argv0 = "./" + abs_program.substr(abs_program.find_last_of('/') + 1);
  bool folder_has_program = abs_program.substr(0, abs_program.find_last_of('/')) == abs_folder;
  std::string run_as = folder_has_program ? argv0 : abs_program;
  if (std::getenv("TMUX") && !FindOnPath("tmux").empty()) {
    // Two words after the window options make tmux start the program without a shell.
    if (Spawn({"tmux", "new-window", "-c", abs_folder, "env", run_as}, "", true)) return;
  }
  if (std::getenv("DISPLAY") && !FindOnPath("x-terminal-emulator").empty()) {
    if (Spawn({"x-terminal-emulator", "-e", run_as}, abs_folder, false)) return;
  }
  StartWhenThisEnds({abs_folder, abs_program, run_as});
}

std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t start = text.find_first_not_of(" \t", pos);
    if (start == std::string::npos) break;
    size_t end = text.find_first_of(" \t", start);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    pos = end;
  }
  return words;
}

void RunEditor(const Command& cmd) {
  std::vector<std::string> operands = Operands(cmd);
  std::string path;
  // The editor writes the file: never through a link.
  if (operands.empty() || !ResolveConfinedPath(operands[0], &path)) {
    return Fail("The system cannot find the path specified.");
  }
  std::vector<std::string> editor;
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    const char* value = std::getenv(variable);
    if (value && *value) {
      editor = SplitAtBlanks(value);
      if (!editor.empty()) break;
    }
  }
  if (editor.empty()) {
    for (const char* name : {"sensible-editor", "editor", "nano", "vi"}) {
      if (!FindOnPath(name).empty()) {
        editor.push_back(name);
        break;
      }
    }
  }
  if (editor.empty()) return Fail("No editor found: set VISUAL or EDITOR.");
  editor.push_back(path);
  if (!Spawn(editor, "", true)) Fail("The editor " + editor[0] + " could not be started.");
}

void Dispatch(Command& cmd) {
  // "cmd /c" only hands the rest to the interpreter, which is this routine.
  while (cmd.args.size() >= 2 && LowerAscii(cmd.args[0].text) == "cmd" &&
         LowerAscii(cmd.args[1].text) == "/c") {
    cmd.args.erase(cmd.args.begin(), cmd.args.begin() + 2);
  }
  if (cmd.args.empty()) return;
  std::string name = LowerAscii(cmd.args[0].text);
  if (name == "dir") return RunDir(cmd);
  if (name == "sort") return RunSort(cmd);
  if (name == "find") return RunFind(cmd, false);
  if (name == "findstr") return RunFind(cmd, true);
  if (name == "copy") return RunCopy(cmd);
  if (name == "del" || name == "erase") return RunDel(cmd);
  if (name == "for") return RunFor(cmd);
  if (name == "md" || name == "mkdir") return RunMd(cmd);
  if (name == "rd" || name == "rmdir") return RunRd(cmd);
  if (name == "start") return RunStart(cmd);
  if (name == "notepad.exe" || name == "notepad") return RunEditor(cmd);
  Fail("'" + cmd.args[0].text +
       "' is not recognized as an internal or external command, operable program or batch "
       "file.");
}

// One command of a pipe with its redirections taken out. Every redirection target is
// created; the output goes to the last one.
bool RunSegment(std::vector<Token> tokens, const std::vector<std::string>* piped_input,
                std::vector<std::string>* piped_output) {
  Command cmd;
  std::unique_ptr<LineWriter> target;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (!tokens[i].is_operator) {
      cmd.args.push_back(tokens[i]);
      continue;
    }
    if (i + 1 >= tokens.size() || tokens[i + 1].is_operator) {
      Fail("The syntax of the command is incorrect.");
      return false;
    }
    bool append = tokens[i].text == ">>";
    std::string name = tokens[++i].text;
    target.reset();  // an earlier target stays created, and empty
    target = CommandOutput(name, append ? LineWriter::kAppend : LineWriter::kCreate);
    if (!target) return false;
  }
  Output out = target ? Output(std::move(target)) : piped_output ? Output(piped_output) : Output();
  cmd.out = &out;
  cmd.piped_input = piped_input;
  Dispatch(cmd);
  return true;
}

}  // namespace

void RunCommand(std::string_view command_line) {
  std::vector<Token> tokens = Tokenize(command_line);
  std::vector<std::vector<Token>> segments(1);
  for (Token& t : tokens) {
    if (t.is_operator && t.text == "|") {
      segments.emplace_back();
    } else {
      segments.back().push_back(std::move(t));
    }
  }
  std::vector<std::string> previous, current;
  for (size_t i = 0; i < segments.size(); ++i) {
    bool last = i + 1 == segments.size();
    current.clear();
    if (!RunSegment(segments[i], i == 0 ? nullptr : &previous, last ? nullptr : &current)) return;
    previous.swap(current);
  }
}
