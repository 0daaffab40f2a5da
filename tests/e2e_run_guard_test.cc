// What the programs do before their dialogue: command-line arguments, the start folder and
// the one-run-per-folder lock. None of the refusals may touch a file.

#include <gtest/gtest.h>

#include <regex>

#include "tests/test_util.h"

namespace {

const char* const kPrograms[] = {"pagoran_01_149.exe", "quillet_01_248.exe", "cellorin_083.exe"};

// Files a user keeps in a folder of their own, named like what the programs delete.
void FillWithUserFiles() {
  for (const char* name : {"notes.txt", "page.html", "keep.htm", "todo.list", "check_01.txt",
                           "chapters.txt", "sour_in.txt", "list_01.txt", "efg_cellorin.htm"}) {
    WriteBytes(name, std::string("the user's own ") + name + "\n");
  }
  MakeDirs("htm_out");
  WriteBytes("htm_out/old.htm", "kept\n");
}

TEST(RunGuard, ProgramStartedOutsideItsFolderChangesNothing) {
  for (const char* exe : kPrograms) {
    ScopedWorkDir dir;
    FillWithUserFiles();
    auto before = SnapshotTree(dir.path());
    // As "~/suite/build/pagoran_01_149.exe" typed in the user's folder.
    ProgramRun run =
        RunProgram(ProgramPath(exe), dir.path(), "11\n", "1720343103", {}, 60, {ProgramPath(exe)});
    EXPECT_EQ(2, run.status) << exe;
    EXPECT_EQ("", run.out) << exe;
    EXPECT_NE(std::string::npos, run.err.find("not started in its own folder")) << run.err;
    // The build tree holds the program, but its clean-up would delete CMakeCache.txt there:
    // the advice is a work folder of its own, never "cd" into the build tree.
    EXPECT_EQ(std::string::npos, run.err.find("cd " + std::string(BUILD_DIR))) << run.err;
    // Its first suggestion is the work folder, not an "or" without a first.
    EXPECT_NE(std::string::npos, run.err.find("\nGive it a work folder of its own: ")) << run.err;
    EXPECT_EQ(std::string::npos, run.err.find("\nor ")) << run.err;
    EXPECT_EQ(before, SnapshotTree(dir.path())) << exe;
  }
}

TEST(RunGuard, BuildTreeIsNoWorkFolder) {
  for (const char* exe : kPrograms) {
    ScopedWorkDir dir;
    InstallPrograms(dir.path(), exe);
    FillWithUserFiles();
    WriteBytes("CMakeCache.txt", "# This is the CMakeCache file.\n");
    auto before = SnapshotTree(dir.path());
    ProgramRun run = RunProgram(ProgramPath(exe), dir.path(), "11\n");
    EXPECT_EQ(2, run.status) << exe;
    EXPECT_EQ("", run.out) << exe;
    EXPECT_EQ(std::string(exe) + ": " + dir.path() +
                  " is a build tree (it holds CMakeCache.txt), not a work folder; nothing was "
                  "changed.",
              run.err.substr(0, run.err.find('\n')));
    EXPECT_NE(std::string::npos, run.err.find("\nGive it one: ")) << run.err;
    EXPECT_EQ(before, SnapshotTree(dir.path())) << exe;
  }
}

// The indexer deletes every *.htm*, *.list and *.txt file in its folder: beside quillet or
// cellorin it would take their lists and pages, so it refuses such a folder. The other two
// delete nothing of each other's, nor of the indexer's (quillet's folder holds the indexer
// for its hand-off).
TEST(RunGuard, IndexerIsKeptApartFromTheOtherPrograms) {
  struct Row {
    const char* program;
    std::vector<std::string> beside;
    const char* refused_for;  // empty when the run goes on
  } rows[] = {
      {kPrograms[0], {"quillet_01_248.exe"}, "quillet_01_248.exe"},
      {kPrograms[0], {"Cellorin_083.EXE"}, "Cellorin_083.EXE"},
      {kPrograms[0], {"quillet_01_248.exe", "cellorin_083.exe"}, "cellorin_083.exe"},
      {kPrograms[1], {"cellorin_083.exe"}, ""},
      {kPrograms[2], {"pagoran_01_149.exe", "quillet_01_248.exe"}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.program) + " beside " + row.beside.back());
    ScopedWorkDir dir;
    InstallPrograms(dir.path(), row.program);
    for (const std::string& other : row.beside) WriteBytes(other, "another program\n");
    FillWithUserFiles();
    auto before = SnapshotTree(dir.path());
    ProgramRun run = RunProgram(ProgramPath(row.program), dir.path(), "2");
    if (*row.refused_for == 0) {
      EXPECT_EQ(0, run.status) << run.err;
      EXPECT_EQ("", run.err);
      continue;
    }
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("", run.out);
    EXPECT_EQ(std::string(row.program) + ": " + dir.path() + " also holds " + row.refused_for +
                  ", whose files would be deleted here; nothing was changed.",
              run.err.substr(0, run.err.find('\n')));
#ifndef _WIN32
    // The advice works from any folder: the script by its full path.
    EXPECT_NE(std::string::npos, run.err.find("Give it one: " + std::string(SOURCE_DIR) +
                                              "/scripts/new_workdir.sh DIR && cd DIR/pagoran && "
                                              "./pagoran_01_149.exe\n"))
        << run.err;
#endif
    EXPECT_EQ(before, SnapshotTree(dir.path()));
  }
}

TEST(RunGuard, NameThatIsNotInTheFolderIsRefused) {
  ScopedWorkDir dir;
  FillWithUserFiles();
  auto before = SnapshotTree(dir.path());
  // "./pagoran_01_149.exe" where the folder holds no such file: the caller lied about it.
  ProgramRun run = RunProgram(ProgramPath(kPrograms[0]), dir.path(), "11\n", "1720343103", {}, 60,
                              {std::string("./") + kPrograms[0]});
  EXPECT_EQ(2, run.status);
  EXPECT_EQ(before, SnapshotTree(dir.path()));
}

struct ArgumentCase {
  std::string argument;
  int status;
  std::string out_pattern;  // regular expression for the whole standard output
  std::string err_pattern;  // and for the whole standard error
};

TEST(RunGuard, ArgumentsAreAnsweredWithoutTouchingAFile) {
  const ArgumentCase cases[] = {
      {"--help", 0,
       "Usage: \\./NAME \\[-h \\| --help \\| --version\\]\n\n[^]*works only in a "
       "folder of its own[^]*SOURCE_DATE_EPOCH[^]*Output: [^]*",
       ""},
      {"-h", 0, "Usage: \\./NAME [^]*", ""},
      {"--version", 0, "NAME [0-9]+\\.[0-9]+\\.[0-9]+\n", ""},
      {"--bogus", 2, "", "NAME: unexpected argument '--bogus'; usage: [^\n]*\n"},
      {"report.htm", 2, "", "NAME: unexpected argument 'report.htm'; usage: [^\n]*\n"},
  };
  for (const char* exe : kPrograms) {
    for (const ArgumentCase& c : cases) {
      ScopedWorkDir dir;
      InstallPrograms(dir.path(), exe);
      FillWithUserFiles();
      auto before = SnapshotTree(dir.path());
      std::string argv0 = std::string("./") + exe;
      ProgramRun run =
          RunProgram(argv0, dir.path(), "11\n", "1720343103", {}, 60, {argv0, c.argument});
      auto named = [&](std::string pattern) {
        return std::regex(std::regex_replace(pattern, std::regex("NAME"), exe));
      };
      EXPECT_EQ(c.status, run.status) << exe << " " << c.argument;
      EXPECT_TRUE(std::regex_match(run.out, named(c.out_pattern))) << exe << " " << run.out;
      EXPECT_TRUE(std::regex_match(run.err, named(c.err_pattern))) << exe << " " << run.err;
      EXPECT_EQ(before, SnapshotTree(dir.path())) << exe << " " << c.argument;
    }
  }
}

TEST(RunGuard, SecondRunInTheSameFolderIsRefusedUntilTheFirstEnds) {
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kPrograms[0]);
  MakeDirs("htm_in");
  WriteBytes("htm_in/a.htm", "<p>alpha beta gamma</p>\n");
  WaitingRun first;
  ASSERT_TRUE(first.Start(dir.path(), kPrograms[0]));
  ProgramRun second = RunProgram(ProgramPath(kPrograms[0]), dir.path(), "11");
  EXPECT_EQ(2, second.status);
  EXPECT_NE(std::string::npos, second.err.find("another run is going on")) << second.err;
  EXPECT_EQ("", second.out);
  EXPECT_FALSE(PathExists("check_01.txt"));
  // A killed run leaves no lock behind.
  first.Kill();
  ProgramRun third = RunProgram(ProgramPath(kPrograms[0]), dir.path(), "2");
  EXPECT_EQ(0, third.status) << third.err;
  EXPECT_EQ("", third.err);
}

}  // namespace
