// Runs the built list structurer in fresh work directories with scripted keys, answers and
// editors, and compares its transcript and files with reviewed copies.
//
// A case folder in cases/quillet holds keys.txt (standard input, byte for byte), env.txt
// (optional NAME=VALUE lines), in/ (copied into the work directory first) and expected/:
// console.txt (standard output), stderr.txt (optional; otherwise nothing is expected there)
// files/, the work files to compare, at their paths in the work directory, and folders.txt
// (optional), the entries of some folders, one path a line: each folder named there must
// hold exactly the entries listed for it. Files are compared byte for byte (the program
// writes CR LF; copies of the input keep its own line ends). In console.txt
// "{maker address}" stands for the configured address. UPDATE_GOLDEN=1 writes the actual results
// into expected/ instead of comparing, for review.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/config.h"
#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

const char kProgram[] = "quillet_01_248.exe";

std::string CaseDir(const std::string& name) { return std::string(CASES_DIR) + "/quillet/" + name; }

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string WithAddresses(const std::string& text) {
  return Replaced(text, "{maker address}", kMakerSite);
}
std::string WithoutAddresses(const std::string& text) {
  return Replaced(text, kMakerSite, "{maker address}");
}

bool Updating() {
  const char* value = std::getenv("UPDATE_GOLDEN");
  return value && *value == '1';
}

std::map<std::string, std::string> CaseEnvironment(const std::string& name) {
  // An editor of the test's own choosing: VISUAL would take precedence over EDITOR.
  std::map<std::string, std::string> env = {{"VISUAL", ""}, {"EDITOR", IdleEditor()}};
  std::string text = ReadBytes(CaseDir(name) + "/env.txt");
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    size_t equals = line.find('=');
    if (equals != std::string::npos) env[line.substr(0, equals)] = line.substr(equals + 1);
    pos = end + 1;
  }
  return env;
}

// Files below `root`, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& root) {
  std::vector<std::string> files;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(root, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_regular_file()) files.push_back(fs::relative(it->path(), root).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

ProgramRun RunCase(const ScopedWorkDir& dir, const std::string& name) {
  InstallPrograms(dir.path(), kProgram);
  std::string in = CaseDir(name) + "/in";
  for (const std::string& file : FilesBelow(in)) {
    fs::create_directories(fs::path(dir.path()) / fs::path(file).parent_path());
    fs::copy_file(fs::path(in) / file, fs::path(dir.path()) / file);
  }
  return RunProgram(ProgramPath(kProgram), dir.path(), ReadBytes(CaseDir(name) + "/keys.txt"),
                    "1720343103", CaseEnvironment(name), 30);
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(std::string(CASES_DIR) + "/quillet", ignored)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class QuilletCase : public testing::TestWithParam<std::string> {};

TEST_P(QuilletCase, TranscriptAndFiles) {
  const std::string& name = GetParam();
  if (!HasPosixTools() && (PathExists(CaseDir(name) + "/env.txt") ||
                           ReadBytes(CaseDir(name) + "/in/pagoran_01_150.exe").starts_with("#!")))
    GTEST_SKIP() << "the case's editor or indexer is a POSIX tool";
  ScopedWorkDir dir;
  ProgramRun run = RunCase(dir, name);
  EXPECT_EQ(0, run.status);
  std::string expected = CaseDir(name) + "/expected";
  if (Updating()) {
    WriteBytes(expected + "/console.txt", WithoutAddresses(run.out));
    if (!run.err.empty()) WriteBytes(expected + "/stderr.txt", run.err);
    for (const std::string& file : FilesBelow(expected + "/files")) {
      WriteBytes(expected + "/files/" + file, ReadBytes(file));
    }
    return;
  }
  EXPECT_EQ("", FirstDifference(WithAddresses(ReadBytes(expected + "/console.txt")), run.out));
  EXPECT_EQ(ReadBytes(expected + "/stderr.txt"), run.err);
  std::vector<std::string> files = FilesBelow(expected + "/files");
  for (const std::string& file : files) {
    EXPECT_TRUE(PathExists(file)) << file;
    EXPECT_EQ("", FirstDifference(ReadBytes(expected + "/files/" + file), ReadBytes(file))) << file;
  }
  std::map<std::string, std::vector<std::string>> folders;
  std::string listed = ReadBytes(expected + "/folders.txt");
  for (size_t pos = 0, end; pos < listed.size(); pos = end + 1) {
    end = listed.find('\n', pos);
    if (end == std::string::npos) end = listed.size();
    fs::path entry = listed.substr(pos, end - pos);
    if (!entry.empty()) folders[entry.parent_path().string()].push_back(entry.filename().string());
  }
  for (auto& [folder, names] : folders) {
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, ListNames(folder)) << folder;
  }
  // The chosen input is only ever read.
  for (const std::string& file : FilesBelow(CaseDir(name) + "/in")) {
    if (fs::path(file).has_parent_path()) continue;
    EXPECT_EQ(ReadBytes(CaseDir(name) + "/in/" + file), ReadBytes(file)) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, QuilletCase, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& param) {
                           return param.param;
                         });

}  // namespace

namespace {

struct ListRun {
  ProgramRun run;
  std::string structured;  // list_03_list.txt
  std::string html;        // list_03_list.htm
  bool input_unchanged = false;
};

// One run over a single input file; the listing shows it after or before out_null.txt.
ListRun RunOnInput(const std::string& name, const std::string& bytes, const std::string& keys,
                   std::map<std::string, std::string> env = {}) {
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kProgram);
  WriteBytes(name, bytes);
  env.emplace("VISUAL", "");
  env.emplace("EDITOR", IdleEditor());
  ListRun result;
  result.run = RunProgram(ProgramPath(kProgram), dir.path(), keys, "1720343103", env, 30);
  result.structured = ReadBytes("list_03_list.txt");
  result.html = ReadBytes("list_03_list.htm");
  result.input_unchanged = ReadBytes(name) == bytes;
  return result;
}

std::string LastLine(const std::string& text) {
  std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
  return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

TEST(QuilletEndToEnd, AwkwardInputs) {
  std::string big_line(1 << 20, 'x');
  const struct {
    std::string name;
    std::string bytes;     // of a.txt
    std::string expected;  // list_03_list.txt
  } cases[] = {
      {"byte-order mark before the first chapter", "\xEF\xBB\xBF 2. Zebra\r\n1. Apple\r\n",
       CrLf({"  1. Apple", "  2. Zebra", "  "})},
      {"CR LF input", "\r\n2. Zebra\r\nz\r\n1. Apple\r\n",
       CrLf({"  1. Apple", "  2. Zebra", "  z", "  "})},
      {"LF input", "\n2. Zebra\nz\n1. Apple\n", CrLf({"  1. Apple", "  2. Zebra", "  z", "  "})},
      {"tabs are text, not blanks", "\n1. B\tx\n2. A\n", CrLf({"  1. A", "  2. B\tx", "  "})},
      {"a line of 1 MB", "\n1. Big\n" + big_line + "\n2. Small\n",
       CrLf({"  1. Big", "  " + big_line, "  ", "  2. Small"})},
  };
  for (const auto& c : cases) {
    ListRun result = RunOnInput("a.txt", c.bytes, "111\n12");
    EXPECT_EQ(0, result.run.status) << c.name;
    EXPECT_EQ("", result.run.err) << c.name;
    EXPECT_TRUE(result.input_unchanged) << c.name;
    EXPECT_EQ("", FirstDifference(c.expected, result.structured)) << c.name;
    EXPECT_EQ("<2> no, end program", LastLine(result.run.out)) << c.name;
  }
}

TEST(QuilletEndToEnd, QuoteInAnAddressStaysInsideTheLink) {
  ListRun result = RunOnInput(
      "a.txt", "\n1. Links\nsee http://x.org/\"onmouseover=\"alert(1)\"x\nfile:///a\"b\n",
      "111\n12");
  EXPECT_EQ(0, result.run.status);
  EXPECT_NE(std::string::npos,
            result.html.find("\r\n  see <a href=\"http://x.org/%22onmouseover=%22alert(1)%22x\">"
                             "http://x.org/\"onmouseover=\"alert(1)\"x</a> \r\n"
                             "  <a href=\"file:///a%22b\">file:///a\"b</a> \r\n"))
      << result.html;
}

TEST(QuilletEndToEnd, InputsWithoutChaptersEndWithTheMessage) {
  std::string binary;
  unsigned state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 1103515245u + 12345u;
    binary += static_cast<char>(state >> 23);
  }
  const struct {
    std::string name, file, bytes;
  } cases[] = {
      {"empty file", "a.txt", ""},
      {"only text", "a.txt", "\nsome text\n1.2 not a chapter\n"},
      {"binary file", "x.txt", binary},
  };
  for (const auto& c : cases) {
    // x.txt is listed after out_null.txt; a key ends at either last menu.
    ListRun result = RunOnInput(c.file, c.bytes, c.file == "a.txt" ? "111\n1x" : "112\n12");
    EXPECT_EQ(0, result.run.status) << c.name;
    EXPECT_EQ("", result.run.err) << c.name;
    EXPECT_TRUE(result.input_unchanged) << c.name;
    if (c.name != "binary file") {
      EXPECT_TRUE(result.run.out.find("The file does not have a chapter marked.\n") !=
                  std::string::npos)
          << c.name;
      EXPECT_EQ("", result.structured) << c.name;
    }
  }
}

TEST(QuilletEndToEnd, EndOfInputAtEveryPrompt) {
  const struct {
    std::string keys;
    std::string last_line;
  } cases[] = {
      {"", "<2> no, end"},
      {"1", "<2> end"},
      {"11", "<...> any key for continue, end"},  // the typed answer reads as empty
      {"111\n", "<2> end"},
      {"111\n1", "<2> no, end program"},
      {"111\n11", "<2> no, end"},  // the indexer, started in the same console, meets it too
  };
  for (const auto& c : cases) {
    ListRun result = RunOnInput("a.txt", "\n1. A\n", c.keys);
    EXPECT_EQ(0, result.run.status) << Visible(c.keys);
    EXPECT_TRUE(result.input_unchanged) << Visible(c.keys);
    EXPECT_EQ(c.last_line, LastLine(result.run.out)) << Visible(c.keys);
  }
}

TEST(QuilletEndToEnd, EditorMissingOrFailing) {
  const struct {
    std::string name;
    std::map<std::string, std::string> env;
    std::string err;
  } cases[] = {
      {"editor not installed",
       {{"EDITOR", "/nonexistent/editor"}},
       "The editor /nonexistent/editor could not be started.\n"},
      {"no editor at all",
       {{"EDITOR", ""}, {"PATH", "/nonexistent"}},
       "No editor found: set VISUAL or EDITOR.\n"},
      {"editor fails", {{"EDITOR", FailingEditor()}}, ""},
  };
  for (const auto& c : cases) {
    if (c.name == "no editor at all" && !HasPosixTools()) continue;  // Notepad is always there
    ListRun result = RunOnInput("a.txt", "\n2. B\n1. A\n", "111\n12", c.env);
    EXPECT_EQ(0, result.run.status) << c.name;
    EXPECT_EQ(c.err, result.run.err) << c.name;
    EXPECT_TRUE(result.input_unchanged) << c.name;
    // The list goes on unedited.
    EXPECT_EQ(CrLf({"  1. A", "  2. B", "  "}), result.structured) << c.name;
  }
}

TEST(QuilletEndToEnd, NoIndexerEndsAfterTheToolCheck) {
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kProgram);
  std::filesystem::remove("pagoran_01_149.exe");
  WriteBytes("a.txt", "\n1. A\n");
  // Only key 1 ends; the 2 before it is ignored.
  ProgramRun run = RunProgram(ProgramPath(kProgram), dir.path(), "1121");
  EXPECT_EQ(0, run.status);
  std::string tail = "pagoran*.exe\n" + std::string(28, '-') +
                     "\nChecking for pagoran*.exe\nCheck the contents of the marrowin.7z "
                     "file.\n<1> = continue and end\n";
  ASSERT_GE(run.out.size(), tail.size());
  EXPECT_EQ(tail, run.out.substr(run.out.size() - tail.size()));
  EXPECT_FALSE(PathExists("list_01.txt"));
  EXPECT_FALSE(PathExists("dir_files.txt"));
}

}  // namespace

// The hand-off replaces pagoran/htm_in and the indexer's program file there: while a run
// of the indexer holds that folder (here waiting at its first prompt), it stops before it
// deletes anything; once the run is gone it goes through.
TEST(QuilletEndToEnd, HandOffLeavesARunningIndexerAlone) {
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kProgram);
  WriteBytes("garden.txt", "\n1. Garden\n1.1 roses\n");
  MakeDirs("pagoran/htm_in");
  WriteBytes("pagoran/htm_in/earlier.htm", "<body>\nthe earlier list\n</body>\n");
  // Copies, as an earlier hand-off made them (the hand-off writes through no link).
  for (const char* file : {"pagoran_01_149.exe", "wget.exe"}) {
    std::filesystem::copy_file(ProgramPath(file), dir.path() + "/pagoran/" + file);
  }
  const std::map<std::string, std::string> env = {{"VISUAL", ""}, {"EDITOR", IdleEditor()}};
  WaitingRun indexer;
  ASSERT_TRUE(indexer.Start(dir.path() + "/pagoran", "pagoran_01_149.exe"));
  const auto before = SnapshotTree(dir.path() + "/pagoran");
  ProgramRun refused = RunProgram(ProgramPath(kProgram), dir.path(), "111\n11", "1720343103", env);
  EXPECT_EQ(1, refused.status);
  EXPECT_EQ(
      "Cannot hand the HTML file to the indexer: a run of it is going on in pagoran; nothing "
      "there was changed. Let it end, then start this program again.\n",
      refused.err);
  EXPECT_EQ(std::string::npos, refused.out.find("INDEXING RESULTS"));
  EXPECT_EQ(before, SnapshotTree(dir.path() + "/pagoran"));
  indexer.Kill();
  ProgramRun handed = RunProgram(ProgramPath(kProgram), dir.path(), "111\n1112", "1720343103", env);
  EXPECT_EQ(0, handed.status) << handed.err;
  EXPECT_EQ(std::vector<std::string>{"garden_2024_07_07_09_05_03.htm"},
            ListNames("pagoran/htm_in"));
}
