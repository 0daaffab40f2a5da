// The start-up dialogue and tool check of the three programs, run through the built
// executables with scripted keys, compared whole with the expected transcripts.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>

#include "tests/test_util.h"

namespace {

std::string Expected(const std::string& name) {
  return ReadBytes(std::string(CASES_DIR) + "/startup/" + name);
}

struct Case {
  std::string name;  // expected transcript in cases/startup/
  std::string program;
  std::string keys;
  std::vector<std::string> exe_files;  // empty: what the program's own folder holds
  bool block_check_file = false;       // a folder stands where check_01.txt goes
};

// Test listings name the case, not its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class StartupDialogue : public testing::TestWithParam<Case> {};

TEST_P(StartupDialogue, TranscriptIsExact) {
  const Case& c = GetParam();
  ScopedWorkDir dir;
  if (c.exe_files.empty()) {
    InstallPrograms(dir.path(), c.program);
  } else {
    for (const std::string& exe : c.exe_files) {
      InstallProgram(dir.path(), exe);
    }
  }
  if (c.block_check_file) MakeDirs("check_01.txt");
  ProgramRun run = RunProgram(ProgramPath(c.program), dir.path(), c.keys);
  // The check's listing cannot be written: the program stops there, saying why.
  EXPECT_EQ(c.block_check_file ? 1 : 0, run.status);
  EXPECT_EQ(c.block_check_file ? "Cannot write check_01.txt: Is a directory\n" : "", run.err);
  std::string expected = Expected(c.name);
  EXPECT_EQ(expected, run.out) << c.name << ": " << FirstDifference(expected, run.out);
}

const char kPagoran[] = "pagoran_01_149.exe";
const char kQuillet[] = "quillet_01_248.exe";
const char kCellorin[] = "cellorin_083.exe";

INSTANTIATE_TEST_SUITE_P(
    Programs, StartupDialogue,
    testing::Values(
        // "2" at the terms ends at once; other keys (3, Enter, an arrow) are ignored.
        Case{"pagoran_terms_end.out", kPagoran, "2", {}},
        Case{"pagoran_terms_end.out", kPagoran, "3\n\x1b[A\r2", {}},
        Case{"pagoran_notice_end.out", kPagoran, "12", {}},
        // End of input at a prompt ends the program instead of waiting.
        Case{"pagoran_terms_end.out", kPagoran, "", {}},
        Case{"pagoran_cmd_failure.out", kPagoran, "11", {}, true},
        // One listing line naming ".exe": find passes (header and one match), findstr fails.
        Case{"pagoran_findstr_failure.out", kPagoran, "111", {"pagoran_01_149.exe"}},
        Case{"quillet_terms_end.out", kQuillet, "2", {}},
        Case{"quillet_notice_end.out", kQuillet, "12", {}},
        Case{"quillet_cmd_failure.out", kQuillet, "11", {}, true},
        Case{"quillet_findstr_failure.out", kQuillet, "111", {"quillet_01_248.exe"}},
        // cellorin shows its one choice prompt twice.
        Case{"cellorin_terms_end.out", kCellorin, "2", {}},
        Case{"cellorin_notice_end.out", kCellorin, "12", {}},
        Case{"cellorin_cmd_failure.out", kCellorin, "11", {}, true}),
    [](const testing::TestParamInfo<Case>& param) {
      std::string name = param.param.name.substr(0, param.param.name.find('.'));
      return name + "_" + std::to_string(param.index);
    });

TEST(StartupWorkDir, UnwritableWorkDirectoryStopsAtTheFirstWorkFile) {
  if (WritesEverywhere()) GTEST_SKIP() << "no folder permission keeps this process out";
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kPagoran);
  ASSERT_EQ(0, chmod(dir.path().c_str(), 0555));
  ProgramRun run = RunProgram(ProgramPath(kPagoran), dir.path(), "111");
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("Cannot write dir_01.txt: Permission denied\n", run.err);
  EXPECT_EQ(std::string::npos, run.out.find("Checking for cmd.exe"));
}

}  // namespace
