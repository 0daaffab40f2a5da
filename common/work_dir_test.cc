#include "common/work_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/test_util.h"

namespace {

std::vector<std::string> Lines(const std::string& name) { return ReadAllLines(name); }

TEST(WorkDirRead, LineEndsAndMissingFiles) {
  ScopedWorkDir dir;
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\r\nb\rc\n", {"a\r", "b\rc"}},
      {"\n\n", {"", ""}},
      {"", {}},
      {std::string("x\0y\n", 4), {std::string("x\0y", 3)}},
  };
  for (const Case& c : cases) {
    WriteBytes("in.txt", c.bytes);
    EXPECT_EQ(c.lines, Lines("in.txt")) << Visible(c.bytes);
  }
  EXPECT_TRUE(Lines("missing.txt").empty());
  MakeDirs("folder.htm");
  EXPECT_TRUE(Lines("folder.htm").empty());  // a folder reads as an empty file
}

TEST(WorkDirRead, VeryLongLinesAndRewind) {
  ScopedWorkDir dir;
  std::string big(5 << 20, 'w');
  WriteBytes("big.htm", big + "\r\nend\r\n");
  LineReader reader("big.htm");
  std::string line;
  ASSERT_TRUE(reader.Next(&line));
  EXPECT_EQ(big.size(), line.size());
  ASSERT_TRUE(reader.Next(&line));
  EXPECT_EQ("end", line);
  EXPECT_FALSE(reader.Next(&line));
  reader.Rewind();
  ASSERT_TRUE(reader.Next(&line));
  EXPECT_EQ(big.size(), line.size());
}

TEST(WorkDirWrite, LinesEndWithCrLfAndAppendKeepsOldLines) {
  ScopedWorkDir dir;
  WriteAllLines("out.txt", {"one", ""});
  { LineWriter(std::string_view("out.txt"), LineWriter::kAppend).WriteLine("two"); }
  EXPECT_EQ("one\r\n\r\ntwo\r\n", ReadBytes("out.txt"));
}

TEST(WorkDirNames, CaseBlindMatchingAndNewNamesAsWritten) {
  ScopedWorkDir dir;
  MakeDirs("HTM_IN");
  WriteBytes("HTM_IN/Report.HTM", "text\n");
  EXPECT_EQ(std::vector<std::string>{"text"}, Lines("htm_in\\report.htm"));
  EXPECT_TRUE(FileExists("htm_in/REPORT.htm"));
  EXPECT_TRUE(FolderExists("Htm_In"));
  WriteAllLines("htm_in\\New.htm", {"x"});
  EXPECT_EQ((std::vector<std::string>{"New.htm", "Report.HTM"}), ListNames("HTM_IN"));
  // Many new files one after the other are all found again (the kept listing stays true).
  for (int i = 0; i < 300; ++i) WriteAllLines("page_" + std::to_string(i) + ".htm", {"p"});
  for (int i = 0; i < 300; i += 37) EXPECT_TRUE(FileExists("PAGE_" + std::to_string(i) + ".HTM"));
  EXPECT_TRUE(DeleteWorkFile("Page_5.htm"));
  EXPECT_FALSE(FileExists("page_5.htm"));
}

TEST(WorkDirNames, AbsoluteAndClimbingNamesAreRefused) {
  ScopedWorkDir dir;
  std::string path;
  for (const char* name : {"/etc/passwd", "\\etc\\passwd", "..\\x", "a/../../x", "C:\\x"}) {
    EXPECT_FALSE(ResolveWorkPath(name, true, &path)) << name;
  }
  EXPECT_TRUE(ResolveWorkPath("a\\..\\b.txt", true, &path));
  EXPECT_EQ("b.txt", path);
  LineWriter refused("../escape.txt");
  EXPECT_FALSE(refused.is_open());
}

TEST(WorkDirCopy, CopiesBytesAndKeepsExecutablesRunnable) {
  ScopedWorkDir dir;
  WriteBytes("tool.exe", std::string("#!/bin/sh\n\0x", 12));
  ASSERT_EQ(0, chmod("tool.exe", 0755));
  MakeDirs("sub");
  EXPECT_TRUE(CopyWorkFile("TOOL.EXE", "sub\\tool.exe"));
  EXPECT_EQ(std::string("#!/bin/sh\n\0x", 12), ReadBytes("sub/tool.exe"));
  EXPECT_EQ(0, access("sub/tool.exe", X_OK));
  EXPECT_FALSE(CopyWorkFile("missing", "x"));
  EXPECT_FALSE(CopyWorkFile("sub", "x"));  // a folder is not copied as a file
}

}  // namespace
