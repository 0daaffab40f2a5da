#include "common/cmd_interpreter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "common/cmd_start.h"
#include "tests/test_util.h"

namespace {

// Runs one command line, capturing what it prints on the console and on standard error.
struct Printed {
  std::string out, err;
};
Printed Shell(const std::string& line) {
  CapturedConsole console;
  RunCommand(line);
  return Printed{console.out, console.err};
}

TEST(ShellDir, BareListingIsCaseBlindNameOrderOfFilesAndFolders) {
  ScopedWorkDir dir;
  for (const char* name : {"b.htm", "A.HTML", "c.txt", "a.htm"}) WriteBytes(name, "x");
  MakeDirs("B_folder.htm");
  Shell("dir /b *.htm* > dir_01.txt");
  EXPECT_EQ(CrLf({"a.htm", "A.HTML", "b.htm", "B_folder.htm"}), ReadBytes("dir_01.txt"));
  Shell("dir /b /o  *.txt > dir_02.txt");
  EXPECT_EQ(CrLf({"c.txt", "dir_01.txt", "dir_02.txt"}), ReadBytes("dir_02.txt"));
}

TEST(ShellDir, PatternsFollowWindowsRules) {
  if (!NamesHoldAnyByte()) GTEST_SKIP() << "such names cannot exist on this system";
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  MakeDirs("htm_out");
  for (const char* name :
       {"noext", "x.txt", "htm_in/p.htm", "htm_in/q.html", "htm_in/r.txt", "htm_in/*x.htm"}) {
    WriteBytes(name, "x");
  }
  struct Case {
    std::string pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"*.", {"htm_in", "htm_out", "noext"}},
      {"*.*", {"htm_in", "htm_out", "listing.out", "noext", "x.txt"}},
      {"htm_in\\*.htm*", {"*x.htm", "p.htm", "q.html"}},
      {"htm_in", {"*x.htm", "p.htm", "q.html", "r.txt"}},
      {"no_such_*.txt", {}},
      {"?.txt", {"x.txt"}},
  };
  for (const Case& c : cases) {
    Shell("dir /b " + c.pattern + " > listing.out");
    EXPECT_EQ(CrLf(c.names), ReadBytes("listing.out")) << c.pattern;
  }
}

TEST(ShellDir, FullListingHasHeaderEntriesAndSummary) {
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  WriteBytes("tool.exe", "12345");
  Shell("cmd /c dir > check_01.txt");
  std::string listing = ReadBytes("check_01.txt");
  EXPECT_NE(std::string::npos, listing.find(" Volume in drive C has no label.\r\n"));
  EXPECT_NE(std::string::npos, listing.find("    <DIR>          htm_in\r\n"));
  EXPECT_NE(std::string::npos, listing.find("                 5 tool.exe\r\n"));
  // The redirection target exists before the listing is made, as with the interpreter.
  EXPECT_NE(std::string::npos, listing.find(" check_01.txt\r\n"));
  EXPECT_NE(std::string::npos, listing.find("File(s)"));
}

TEST(ShellRedirection, TwoTargetsAreBothCreatedAndTheLastGetsTheOutput) {
  ScopedWorkDir dir;
  WriteBytes("a.txt", "x");
  Shell("dir /b a.txt > first.txt > second.txt");
  EXPECT_TRUE(PathExists("first.txt"));
  EXPECT_EQ("", ReadBytes("first.txt"));
  EXPECT_EQ(CrLf({"a.txt"}), ReadBytes("second.txt"));
}

TEST(ShellRedirection, AppendKeepsEarlierLines) {
  ScopedWorkDir dir;
  WriteBytes("one.txt", "");
  Shell("dir /b one.txt > log.list");
  Shell("dir /b one.txt >> log.list");
  EXPECT_EQ(CrLf({"one.txt", "one.txt"}), ReadBytes("log.list"));
}

TEST(ShellSort, OrdersWithoutRegardToCaseThenByBytes) {
  ScopedWorkDir dir;
  WriteBytes("in.txt", CrLf({"banana", "Apple", "apple", "_under", "Zed", "", "apple pie"}));
  Shell("sort in.txt /o out.txt");
  EXPECT_EQ(CrLf({"", "_under", "Apple", "apple", "apple pie", "banana", "Zed"}),
            ReadBytes("out.txt"));
}

TEST(ShellSort, SortsInPlaceAndBeyondOneRun) {
  ScopedWorkDir dir;
  std::vector<std::string> lines, expected;
  for (int i = 0; i < 250000; ++i) {
    lines.push_back("line" + std::to_string((i * 7919) % 250000));
  }
  WriteBytes("big.txt", CrLf(lines));
  Shell("sort big.txt /o big.txt");
  expected = lines;
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(ReadBytes("big.txt") == CrLf(expected));
  // No run file is left behind.
  for (const std::string& name : ListNames(".")) EXPECT_EQ(std::string::npos, name.find("~sort"));
}

TEST(ShellSort, MissingInputFailsWithoutOutput) {
  ScopedWorkDir dir;
  Printed p = Shell("sort nothing.txt /o out.txt");
  EXPECT_FALSE(PathExists("out.txt"));
  EXPECT_EQ("The system cannot find the file specified.\n", p.err);
}

TEST(ShellFind, HeaderThenMatchingLines) {
  ScopedWorkDir dir;
  WriteBytes("check_01.txt", CrLf({"a.EXE here", "nothing", "b.exe"}));
  struct Case {
    std::string command;
    std::string expected;
  } cases[] = {
      {"cmd /c find /i \".exe\" check_01.txt >  out.txt",
       CrLf({"---------- CHECK_01.TXT", "a.EXE here", "b.exe"})},
      {"find \".exe\" check_01.txt > out.txt", CrLf({"---------- CHECK_01.TXT", "b.exe"})},
      {"find /v \".exe\" check_01.txt > out.txt",
       CrLf({"---------- CHECK_01.TXT", "a.EXE here", "nothing"})},
      {"find /c \".exe\" check_01.txt > out.txt", CrLf({"---------- CHECK_01.TXT: 1"})},
      {"find /c /i \".exe\" check_01.txt > out.txt", CrLf({"---------- CHECK_01.TXT: 2"})},
      {"findstr /i \".exe\" check_01.txt > out.txt", CrLf({"a.EXE here", "b.exe"})},
      {"findstr \"here nothing\" check_01.txt > out.txt", CrLf({"a.EXE here", "nothing"})},
  };
  for (const Case& c : cases) {
    Shell(c.command);
    EXPECT_EQ(c.expected, ReadBytes("out.txt")) << c.command;
  }
}

TEST(ShellFind, PipeFiltersTheListing) {
  ScopedWorkDir dir;
  for (const char* name : {"notes.txt", "my_list.txt", "LIST_01.txt", "plan.txt"}) {
    WriteBytes(name, "");
  }
  Shell("dir /b *.txt | find /i /v \"list\" > dir_files.txt");
  // The listing is made before the filter creates its output file.
  EXPECT_EQ(CrLf({"notes.txt", "plan.txt"}), ReadBytes("dir_files.txt"));
}

TEST(ShellCopy, FilesWildcardsAndFolderTargets) {
  ScopedWorkDir dir;
  MakeDirs("htm_out");
  WriteBytes("i_1.htm", "one");
  WriteBytes("i_2.htm", "two");
  WriteBytes("my list.txt", "blank name");
  Shell("copy i_*.htm htm_out\\ > out_null.list");
  EXPECT_EQ((std::vector<std::string>{"i_1.htm", "i_2.htm"}), ListNames("htm_out"));
  Shell("copy i_1.htm htm_out > out_null.list");
  EXPECT_EQ("one", ReadBytes("htm_out/i_1.htm"));
  Shell("copy \"my list.txt\" list_01.txt > out_null.txt");
  EXPECT_EQ("blank name", ReadBytes("list_01.txt"));
  Shell("copy I_2.HTM i_1.htm > out_null.txt");
  EXPECT_EQ("two", ReadBytes("i_1.htm"));
  Shell("copy i_1.htm i_1.htm");
  EXPECT_EQ("two", ReadBytes("i_1.htm"));
}

TEST(ShellCopy, MissingSourceReportsOnStandardError) {
  ScopedWorkDir dir;
  Printed p = Shell("copy wget.exe pagoran\\wget.exe > out.list");
  EXPECT_EQ("The system cannot find the file specified.\n", p.err);
  EXPECT_EQ("", p.out);
  EXPECT_EQ("", ReadBytes("out.list"));
}

TEST(ShellDelete, PatternsFoldersAndForLoops) {
  ScopedWorkDir dir;
  MakeDirs("htm_out/sub");
  MakeDirs("keep.txt");
  for (const char* name :
       {"check_01.txt", "check_02.txt", "other.txt", "htm_out/a.htm", "htm_out/f_01.txt"}) {
    WriteBytes(name, "x");
  }
  Shell("cmd /c for %i in (check_*.txt) do del /q %i >> out_null.txt");
  EXPECT_FALSE(PathExists("check_01.txt"));
  EXPECT_FALSE(PathExists("check_02.txt"));
  EXPECT_TRUE(PathExists("other.txt"));
  Shell("del /q htm_out\\*.* > out_null.list");
  EXPECT_EQ(std::vector<std::string>{"sub"}, ListNames("htm_out"));
  Shell("del /q *.txt");
  EXPECT_TRUE(PathExists("keep.txt"));  // a folder is never deleted as a file
  EXPECT_FALSE(PathExists("other.txt"));
  Printed p = Shell("del /q nothing_*.txt");
  EXPECT_EQ("", p.err);
}

TEST(ShellFolders, MakeAndRemove) {
  ScopedWorkDir dir;
  EXPECT_EQ("", Shell("md htm_in > out_null.list").err);
  EXPECT_EQ("", Shell("md htm_in > out_null.list").err);  // an existing folder is no error
  Shell("md pagoran\\htm_in");
  EXPECT_TRUE(PathExists("pagoran/htm_in"));
  WriteBytes("pagoran/htm_in/x.htm", "");
  EXPECT_EQ("The directory is not empty.\n", Shell("rd pagoran\\htm_in").err);
  Shell("del /q pagoran\\htm_in\\*.*");
  Shell("rd pagoran\\htm_in > out_null.list");
  EXPECT_FALSE(PathExists("pagoran/htm_in"));
}

TEST(ShellPaths, NamesNeverLeaveTheWorkDirectory) {
  ScopedWorkDir outer;
  MakeDirs("inner");
  WriteBytes("secret.txt", "outside");
  ASSERT_EQ(0, chdir("inner"));
  const char* commands[] = {
      "copy ..\\secret.txt stolen.txt",
      "copy /etc/hostname stolen.txt",
      "copy \\etc\\hostname stolen.txt",
      "del /q ..\\secret.txt",
      "md ..\\made",
      "copy C:\\x.txt stolen.txt",
  };
  for (const char* command : commands) Shell(command);
  // Output that would land outside ends the program instead.
  EXPECT_EXIT(RunCommand("dir /b .. > stolen.txt > ..\\leak.txt"), testing::ExitedWithCode(1),
              "^Cannot write ...leak.txt: lies outside the work directory\n$");
  EXPECT_FALSE(PathExists("stolen.txt") && ReadBytes("stolen.txt") != "");
  EXPECT_FALSE(PathExists("../leak.txt"));
  EXPECT_FALSE(PathExists("../made"));
  EXPECT_EQ("outside", ReadBytes("../secret.txt"));
  // A name that climbs and comes back stays inside.
  WriteBytes("a.txt", "in");
  Shell("copy sub\\..\\a.txt b.txt");
  EXPECT_EQ("in", ReadBytes("b.txt"));
  ASSERT_EQ(0, chdir(".."));
}

TEST(ShellPaths, NamesFromListingsAreDataNeverCommands) {
  if (!NamesHoldAnyByte()) GTEST_SKIP() << "such names cannot exist on this system";
  ScopedWorkDir dir;
  std::string odd = "a & b > c | d \xC3\xA9.htm";
  WriteBytes(odd, "odd");
  Shell("copy \"" + odd + "\" plain.htm > out_null.list");
  EXPECT_EQ("odd", ReadBytes("plain.htm"));
  EXPECT_FALSE(PathExists("c"));
  EXPECT_FALSE(PathExists("d"));
  Shell("cmd /c for %i in (*.htm) do del /q %i");
  EXPECT_FALSE(PathExists(odd));
}

TEST(ShellCase, NamesMatchWithoutRegardToCase) {
  ScopedWorkDir dir;
  WriteBytes("Report.HTM", "old");
  WriteBytes("new.htm", "new");
  Shell("copy new.htm report.htm > out_null.list");
  EXPECT_EQ((std::vector<std::string>{"Report.HTM", "new.htm", "out_null.list"}), ListNames("."));
  EXPECT_EQ("new", ReadBytes("Report.HTM"));
  Shell("del /q REPORT.htm");
  EXPECT_FALSE(PathExists("Report.HTM"));
}

TEST(ShellStart, WithoutTerminalWindowsTheProgramWaitsForTheCallerToEnd) {
  ScopedWorkDir dir;
  MakeDirs("pagoran");
  WriteBytes("pagoran/tool.exe", "#!/bin/sh\n");
  UnsetEnv("TMUX");
  UnsetEnv("DISPLAY");
  Shell("start /D pagoran tool.exe");
  // Absolute paths are written with "/" on both systems.
  std::string here = dir.path();
  std::replace(here.begin(), here.end(), '\\', '/');
  EXPECT_EQ("./tool.exe", ProgramStartedAtEnd().argv0);
  EXPECT_EQ(here + "/pagoran", ProgramStartedAtEnd().folder);
  EXPECT_EQ(here + "/pagoran/tool.exe", ProgramStartedAtEnd().program_path);
}

TEST(ShellEditor, RunsTheChosenEditorAndWaits) {
  ScopedWorkDir dir;
  SetEnv("VISUAL", AppendingEditor());
  WriteBytes("list_01.txt", "line\r\n");
  Shell("notepad.exe list_01.txt");
  UnsetEnv("VISUAL");
  EXPECT_EQ("line\r\nedited\r\n", ReadBytes("list_01.txt"));
}

TEST(ShellErrors, UnknownCommandsAndBadSyntaxReportOneLine) {
  ScopedWorkDir dir;
  EXPECT_EQ(
      "'format' is not recognized as an internal or external command, operable program or "
      "batch file.\n",
      Shell("format c:").err);
  EXPECT_EQ("The syntax of the command is incorrect.\n", Shell("dir >").err);
}

}  // namespace
