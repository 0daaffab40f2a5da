#include "liststruct/chapter_sort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/line_files.h"
#include "tests/test_util.h"

namespace {

using Lines = std::vector<std::string>;

TEST(ChapterSort, TopLevelChapterLines) {
  const struct {
    std::string line;
    bool expected;
  } cases[] = {
      {"3. Fruit", true},
      {"12. x", true},
      {"Note. see below", true},
      {"Mr. Smith called", true},
      {". x", true},
      {"3.", false},  // a mark alone has no blank
      {"1.2 Details", false},
      {"A1.2. notes", false},
      {"1.x y", false},
      {"plain text", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, IsTopLevelChapterLine(c.line)) << c.line;
}

TEST(ChapterSort, Pass1RenumbersTopLevelChapters) {
  const struct {
    std::string name;
    std::string input;  // raw bytes of list_01.txt
    Lines expected;
    long long count;
  } cases[] = {
      {"marks replaced in order",
       "7. Fruit\r\nNote. see below\r\n1.2 x\r\ntext\r\n",
       {"1. Fruit", "2. see below", "1.2 x", "text"},
       2},
      {"lines trimmed", "   5. Intro  \r\n  body \r\n", {"1. Intro", "body"}, 1},
      {"LF-only input", "\n1. a\n2. b\n", {"", "1. a", "2. b"}, 2},
      {"byte-order mark before a blank and a chapter",
       "\xEF\xBB\xBF 4. Zebra\r\n",
       {"1. Zebra"},
       1},
      {"byte-order mark alone", "\xEF\xBB\xBF\r\n3. x\r\n", {"", "1. x"}, 1},
      {"byte-order mark later is text", "\r\n\xEF\xBB\xBF 1. x\r\n", {"", "\xEF\xBB\xBF 1. x"}, 0},
      {"empty file", "", {}, 0},
  };
  for (const auto& c : cases) {
    ScopedWorkDir dir;
    WriteBytes("list_01.txt", c.input);
    EXPECT_EQ(c.count, RenumberTopLevelChapters("list_01.txt", "list_02.txt")) << c.name;
    EXPECT_EQ(c.expected, ReadAllLines("list_02.txt")) << c.name;
  }
}

TEST(ChapterSort, Pass2NormalisesBlankLines) {
  const struct {
    std::string name;
    Lines input;
    Lines expected;
    size_t longest;
  } cases[] = {
      {"chapter on the first line gets an empty line", {"1. A", "x"}, {"", "1. A", "x"}, 4},
      {"runs shrink to one",
       {"", "", "", "1. A", "", "", "b", "2. B"},
       {"", "1. A", "", "b", "", "2. B"},
       4},
      {"existing empty line kept once",
       {"", "1. A", "a", "", "2. B"},
       {"", "1. A", "a", "", "2. B"},
       4},
      {"trailing run", {"1. A", "", "", ""}, {"", "1. A", ""}, 4},
      {"longest counts trimmed bytes",
       {"  \xC3\xA9t\xC3\xA9  ", "1. x"},
       {"\xC3\xA9t\xC3\xA9", "", "1. x"},
       5},
  };
  for (const auto& c : cases) {
    ScopedWorkDir dir;
    WriteLines("list_01.txt", c.input);
    EXPECT_EQ(c.longest, NormaliseBlankLines("list_01.txt", "list_02.txt")) << c.name;
    EXPECT_EQ(c.expected, ReadAllLines("list_02.txt")) << c.name;
  }
}

TEST(ChapterSort, SortRecordLayout) {
  EXPECT_EQ("\"Apple   \",\"         2.\"", SortRecord("Apple", 2, 8));
  EXPECT_EQ("\"x\",\"        10.\"", SortRecord("x", 10, 1));
  EXPECT_EQ("\"longer than width\",\"         1.\"", SortRecord("longer than width", 1, 3));
}

TEST(ChapterSort, SortRecordNumberReadsLastField) {
  const struct {
    std::string record;
    long long expected;
  } cases[] = {
      {SortRecord("Apple", 2, 8), 2},
      {SortRecord("say \"hi\" twice", 3, 20), 3},
      {SortRecord("a\",\"b", 4, 10), 4},
      {SortRecord("\"", 12345, 1), 12345},
      {"\"x\",\"  01.\"", 0},
      {"\"x\",\"  1\"", 0},
      {"\"x\",\" 1a.\"", 0},
      {"\"x\",\"1-2.\"", 0},
      {"\"x\",\"9999999999999999999.\"", 0},  // too large to hold
      {"\"x\"", 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, SortRecordNumber(c.record)) << c.record;
}

TEST(ChapterSort, ProgressLinesOverARun) {
  const struct {
    long long n;
    Lines expected;  // "k: line" for every line printed over the whole run
  } cases[] = {
      {1, {}},
      {2, {"1: processed 80%", "1: processed 60%"}},
      {5, {"1: processed 20%", "2: processed 40%", "3: processed 60%", "4: processed 80%"}},
      {10,
       {"1: processed 10%", "2: processed 20%", "4: processed 40%", "6: processed 60%",
        "8: processed 80%"}},
  };
  for (const auto& c : cases) {
    Lines printed;
    for (long long k = 1; k <= c.n; ++k) {
      for (const std::string& line : ReassemblyProgress(k, c.n)) {
        printed.push_back(std::to_string(k) + ": " + line);
      }
    }
    EXPECT_EQ(c.expected, printed) << "N = " << c.n;
  }
}

TEST(ChapterSort, ReassemblyOrdersChaptersByTitle) {
  const struct {
    std::string name;
    Lines input;     // list_01.txt
    Lines expected;  // list_03.txt
    long long count;
  } cases[] = {
      {"empty line travels with the chapter before it",
       {"", "1. Zebra", "1.1 a", "2. Apple", "2.1 b"},
       {"1. Apple", "2.1 b", "2. Zebra", "1.1 a", ""},
       2},
      {"single chapter renumbered, text before it dropped",
       {"intro text", "5. Intro", "body"},
       {"1. Intro", "body"},
       1},
      {"a word with a full stop makes a chapter",
       {"", "1. Zebra", "Mr. Smith called", "x"},
       {"1. Smith called", "x", "2. Zebra", ""},
       2},
      {"sub-marks and inner full stops are body lines",
       {"", "1. Only", "1.2 Details", "A1.2. notes"},
       {"1. Only", "1.2 Details", "A1.2. notes"},
       1},
      {"prefix first, case ignored",
       {"", "1. apple pie", "2. Banana", "3. Apple"},
       {"1. Apple", "2. apple pie", "", "3. Banana", ""},
       3},
      {"equal titles keep their order",
       {"", "1. Same", "a", "2. Same", "b"},
       {"1. Same", "a", "", "2. Same", "b"},
       2},
      {"titles with double quotes keep their chapters",
       {"", "1. Zebra \"z\"", "z body", "2. Apple \"a\",\"pie\""},
       {"1. Apple \"a\",\"pie\"", "2. Zebra \"z\"", "z body", ""},
       2},
      {"blanks after the mark do not count",
       {"", "1.  Zebra", "2. Apple"},
       {"1. Apple", "2. Zebra", ""},
       2},
      {"no chapters", {"text", "more"}, {}, 0},
  };
  for (const auto& c : cases) {
    ScopedWorkDir dir;
    WriteLines("list_01.txt", c.input);
    EXPECT_EQ(c.count, SortTopLevelChapters()) << c.name;
    EXPECT_EQ(c.expected, ReadAllLines("list_03.txt")) << c.name;
  }
}

TEST(ChapterSort, RecordNamingNoChapterIsSkipped) {
  ScopedWorkDir dir;
  WriteLines("list_02.txt", {"", "1. A", "a", "", "2. B", "b"});
  WriteLines("sorted.txt", {SortRecord("B", 2, 4), SortRecord("X", 7, 4), "\"Y\",\"  0.\"",
                            SortRecord("A", 1, 4)});
  ReassembleChapters("sorted.txt", "list_02.txt", "list_03.txt", 2);
  // The k of a record counts every record, found or not.
  EXPECT_EQ((Lines{"1. B", "b", "4. A", "a", ""}), ReadAllLines("list_03.txt"));
}

}  // namespace
