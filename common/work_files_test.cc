#include "common/work_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/line_files.h"
#include "common/work_paths.h"
#include "tests/test_util.h"

namespace {

void WriteThroughLineWriter(const std::string& name, const std::vector<std::string>& lines) {
  LineWriter writer(name);
  for (const std::string& line : lines) writer.WriteLine(line);
}

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
  WriteThroughLineWriter("out.txt", {"one", ""});
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
  WriteThroughLineWriter("htm_in\\New.htm", {"x"});
  EXPECT_EQ((std::vector<std::string>{"New.htm", "Report.HTM"}), ListNames("HTM_IN"));
  // Many new files one after the other are all found again (the kept listing stays true).
  for (int i = 0; i < 300; ++i) WriteThroughLineWriter("page_" + std::to_string(i) + ".htm", {"p"});
  for (int i = 0; i < 300; i += 37) EXPECT_TRUE(FileExists("PAGE_" + std::to_string(i) + ".HTM"));
  EXPECT_TRUE(DeleteWorkFile("Page_5.htm"));
  EXPECT_FALSE(FileExists("page_5.htm"));
}

TEST(WorkDirNames, NamesWindowsReserves) {
  const struct {
    const char* name;
    bool reserved;
  } cases[] = {
      {"con.htm", true},      {"NUL.htm", true},       {"Com1.htm", true},   {"lpt9.a.htm", true},
      {"aux", true},          {"prn .htm", true},      {"a?.htm", true},     {"a*.htm", true},
      {"a\"b.htm", true},     {"a<b>.htm", true},      {"a|b.htm", true},    {"c:d.htm", true},
      {"a.htm.", true},       {"a.htm ", true},        {"com0.htm", false},  {"com10.htm", false},
      {"console.htm", false}, {"nul_list.htm", false}, {"a.con.htm", false}, {"lpt.htm", false},
      {"plain.htm", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.reserved, IsWindowsReservedName(c.name)) << c.name;
}

// Of two names that differ only in case, a case-blind lookup finds the first in byte order.
// A name the kept listing holds that went behind the program's back while the folder's time
// stood still is not trusted: at the latest the next lookup lists the folder again.
TEST(WorkDirNames, CaseTwinsAndNamesRemovedBehindTheKeptListing) {
  if (!NamesAreCaseSensitive()) GTEST_SKIP() << "names that differ only in case are one file here";
  ScopedWorkDir dir;
  WriteBytes("b.HTM", "lower");
  WriteBytes("B.htm", "upper");
  EXPECT_EQ(std::vector<std::string>{"upper"}, Lines("b.htm"));
  EXPECT_EQ((std::vector<std::string>{"B.htm", "b.HTM"}), MatchingFileNames("*.htm"));
  std::error_code error;
  const auto folder_time = std::filesystem::last_write_time(".", error);
  ASSERT_TRUE(std::filesystem::remove("B.htm"));
  std::filesystem::last_write_time(".", folder_time, error);
  if (error) GTEST_SKIP() << "a folder's time cannot be set back here";
  Lines("b.htm");  // may meet the removed name
  EXPECT_EQ(std::vector<std::string>{"lower"}, Lines("b.htm"));
}

TEST(WorkDirNames, AbsoluteAndClimbingNamesAreRefused) {
  ScopedWorkDir dir;
  std::string path;
  for (const char* name : {"/etc/passwd", "\\etc\\passwd", "..\\x", "a/../../x", "C:\\x"}) {
    EXPECT_FALSE(ResolveWorkPath(name, true, &path)) << name;
  }
  EXPECT_TRUE(ResolveWorkPath("a\\..\\b.txt", true, &path));
  EXPECT_EQ("b.txt", path);
  LineWriter refused("../escape.txt", LineWriter::kCreate, LineWriter::kReport);
  EXPECT_FALSE(refused.is_open());
  EXPECT_EQ(EXDEV, refused.error());
}

// Writes, deletions and new folders never pass through a link, whether openat2 or the
// check by hand refuses it; reading follows links.
TEST(WorkDirLinks, WritesNeverPassThroughALink) {
  for (bool by_hand : {false, true}) {
    SCOPED_TRACE(by_hand ? "by hand" : "openat2");
    CheckLinksByHandForTesting(by_hand);
    ScopedWorkDir outer;
    MakeDirs("outside");
    WriteBytes("outside/keep.txt", "keep");
    MakeDirs("work/sub");
    ASSERT_EQ(0, chdir("work"));
    if (!MakeLink("../outside", "out")) GTEST_SKIP() << "no symbolic links can be made here";
    ASSERT_TRUE(MakeLink("../../outside", "sub/out"));
    ASSERT_TRUE(MakeLink("../outside/keep.txt", "file.txt"));
    for (const char* name : {"out\\new.txt", "OUT\\keep.txt", "sub\\out\\new.txt", "file.txt"}) {
      LineWriter writer(name, LineWriter::kCreate, LineWriter::kReport);
      EXPECT_EQ(ELOOP, writer.error()) << name;
    }
    EXPECT_FALSE(DeleteWorkFile("out\\keep.txt"));
    EXPECT_FALSE(MakeFolder("sub\\out\\made"));
    EXPECT_EQ(std::vector<std::string>{"keep"}, Lines("file.txt"));
    EXPECT_TRUE(DeleteWorkFile("file.txt"));  // the link goes, not its file
    WriteThroughLineWriter("sub\\in.txt", {"in"});
    EXPECT_EQ("in\r\n", ReadBytes("sub/in.txt"));
    EXPECT_EQ(std::vector<std::string>{"keep.txt"}, ListNames("../outside"));
    EXPECT_EQ("keep", ReadBytes("../outside/keep.txt"));
  }
  CheckLinksByHandForTesting(false);
}

// Inputs that are no regular files read as empty, without blocking.
TEST(WorkDirRead, OnlyRegularFilesAreRead) {
  ScopedWorkDir dir;
  if (!MakeFifo("fifo.htm")) GTEST_SKIP() << "no FIFOs on this system";
  ASSERT_TRUE(MakeLink("/dev/zero", "zero.htm"));
  for (const char* name : {"fifo.htm", "zero.htm"}) {
    EXPECT_FALSE(LineReader(name).is_open()) << name;
    EXPECT_FALSE(CopyWorkFile(name, "copy.htm")) << name;
  }
  EXPECT_FALSE(PathExists("copy.htm"));
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

TEST(WorkDirMove, ReplacesTheTargetAndKeepsListingsCurrent) {
  ScopedWorkDir dir;
  WriteBytes("page_1_02.htm", "new");
  WriteBytes("page_1.htm", "old");
  MakeDirs("out");
  ASSERT_TRUE(FileExists("PAGE_1.HTM"));  // fills the folder's name cache
  EXPECT_TRUE(MoveWorkFile("Page_1_02.htm", "page_1.htm"));
  EXPECT_EQ("new", ReadBytes("page_1.htm"));
  EXPECT_FALSE(FileExists("page_1_02.htm"));
  EXPECT_TRUE(MoveWorkFile("page_1.htm", "OUT\\page_1.htm"));
  EXPECT_FALSE(FileExists("page_1.htm"));
  EXPECT_TRUE(FileExists("out\\Page_1.htm"));
  EXPECT_EQ("new", ReadBytes("out/page_1.htm"));
  EXPECT_FALSE(MoveWorkFile("page_1.htm", "x"));  // already gone
  EXPECT_FALSE(MoveWorkFile("out", "y"));         // a folder is not moved as a file
  EXPECT_EXIT(MoveWorkFile("out\\page_1.htm", "..\\escape.htm"), testing::ExitedWithCode(1),
              "lies outside the work directory");
  EXPECT_TRUE(FileExists("out\\page_1.htm"));
}

TEST(WorkDirShare, BothNamesHoldTheBytesUntilOneIsDeleted) {
  ScopedWorkDir dir;
  WriteBytes("sort_output.txt", "a\r\nb\r\n");
  WriteBytes("result.txt", "old");
  EXPECT_TRUE(ShareWorkFile("sort_output.txt", "RESULT.TXT"));
  EXPECT_EQ("a\r\nb\r\n", ReadBytes("result.txt"));
  WriteThroughLineWriter("sort_output.txt", {"new"});  // a new file: the other name keeps its bytes
  EXPECT_EQ("a\r\nb\r\n", ReadBytes("result.txt"));
  EXPECT_TRUE(DeleteWorkFile("sort_output.txt"));
  EXPECT_EQ("a\r\nb\r\n", ReadBytes("result.txt"));
  EXPECT_FALSE(ShareWorkFile("sort_output.txt", "other.txt"));
}

TEST(WorkDirRanges, CopiesRangesInTheOrderGiven) {
  ScopedWorkDir dir;
  WriteBytes("scratch.txt", "cc\r\nbb\r\naa\r\n");
  EXPECT_TRUE(CopyWorkFileRanges("scratch.txt", "table.txt", {{8, 12}, {4, 8}, {0, 4}, {2, 2}}));
  EXPECT_EQ("aa\r\nbb\r\ncc\r\n", ReadBytes("table.txt"));
  EXPECT_TRUE(CopyWorkFileRanges("scratch.txt", "short.txt", {{8, 40}}));  // stops at the end
  EXPECT_EQ("aa\r\n", ReadBytes("short.txt"));
  EXPECT_FALSE(CopyWorkFileRanges("missing.txt", "x.txt", {{0, 1}}));
}

TEST(WorkDirReader, SeeksToOffsetsAndStopsAtTheEndOfARange) {
  ScopedWorkDir dir;
  std::string content;
  for (int i = 0; i < 30000; ++i) content += "line " + std::to_string(i) + "\r\n";
  WriteBytes("list.txt", content);
  LineReader reader("list.txt");
  std::vector<long long> offsets;
  std::string line;
  for (offsets.push_back(reader.Offset()); reader.Next(&line);) offsets.push_back(reader.Offset());
  ASSERT_EQ(30001u, offsets.size());
  EXPECT_EQ(static_cast<long long>(content.size()), offsets.back());
  // Backwards through ranges, some inside the buffer and some far from it.
  for (int first : {29990, 15000, 20, 0}) {
    reader.Seek(offsets[first], offsets[first + 3]);
    std::vector<std::string> got;
    while (reader.Next(&line)) got.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"line " + std::to_string(first),
                                        "line " + std::to_string(first + 1),
                                        "line " + std::to_string(first + 2)}),
              got);
  }
  reader.Seek(offsets[29999]);
  EXPECT_TRUE(reader.Next(&line));
  EXPECT_EQ("line 29999", line);
  EXPECT_FALSE(reader.Next(&line));
  reader.Rewind();
  EXPECT_TRUE(reader.Next(&line));
  EXPECT_EQ("line 0", line);
}

}  // namespace
