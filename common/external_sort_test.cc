#include "common/external_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "tests/test_util.h"

namespace {

std::vector<std::string> RandomLines(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> lines;
  const char alphabet[] = "aAbB _z\xC3\xA9";
  for (size_t i = 0; i < count; ++i) {
    std::string line;
    size_t length = random() % 6;
    for (size_t k = 0; k < length; ++k) line += alphabet[random() % (sizeof alphabet - 1)];
    lines.push_back(line);
  }
  return lines;
}

std::string Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return CrLf(lines);
}

class ExternalSort : public testing::Test {
 protected:
  void TearDown() override { SetMergeSortLimitsForTesting({}); }
  ScopedWorkDir dir_;
};

TEST_F(ExternalSort, ChunkFilesHoldRunsOfTwoThousandLines) {
  struct Case {
    size_t lines;
    std::vector<size_t> chunk_lines;  // of the chunk files left after the last pass
  } cases[] = {
      {2000, {2000}},
      {2001, {2000, 1}},
      {100000, std::vector<size_t>(50, 2000)},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = RandomLines(c.lines, 7);
    WriteBytes("in.txt", CrLf(lines));
    MergeSortFile("in.txt", "out.txt");
    EXPECT_TRUE(Sorted(lines) == ReadBytes("out.txt")) << c.lines;
    for (size_t n = 0; n < c.chunk_lines.size(); ++n) {
      std::string name = "file_s_" + std::to_string(n + 1) + ".txt";
      std::string bytes = ReadBytes(name);
      EXPECT_EQ(c.chunk_lines[n], static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')))
          << name;
    }
    EXPECT_FALSE(PathExists("file_s_" + std::to_string(c.chunk_lines.size() + 1) + ".txt"));
    EXPECT_TRUE(PathExists("null.txt"));
    EXPECT_EQ(ReadBytes("out.txt"), ReadBytes("sort_output.txt"));
  }
}

// Merges take the smallest runs first, the first merge only as many as needed, so that
// the last pass merges exactly 50: `merges` level merges leave chunks numbered up to
// runs + merges, 50 of them for the last pass.
TEST_F(ExternalSort, MoreRunsThanTheFanInAreMergedInLevels) {
  struct Case {
    size_t lines;
    size_t run_lines;
    size_t runs;
    size_t merges;
  } cases[] = {
      {100001, 2000, 51, 1},   // 2 runs merged, then the last pass over 50
      {652000, 2000, 326, 6},  // 32 runs, then five merges of 50
      {10004, 4, 2501, 51},    // 2 runs, then 50 of 50: only those 2 go through two levels
  };
  for (const Case& c : cases) {
    ScopedWorkDir dir;
    SetMergeSortLimitsForTesting({c.run_lines, 50});
    std::vector<std::string> lines = RandomLines(c.lines, 11);
    WriteBytes("in.txt", CrLf(lines));
    MergeSortFile("in.txt", "out.txt");
    EXPECT_TRUE(Sorted(lines) == ReadBytes("out.txt")) << c.lines;
    size_t chunks = 0;
    for (size_t n = 1; n <= c.runs + c.merges + 1; ++n) {
      chunks += PathExists("file_s_" + std::to_string(n) + ".txt");
    }
    EXPECT_EQ(50u, chunks) << c.lines;
    EXPECT_TRUE(PathExists("file_s_" + std::to_string(c.runs + c.merges) + ".txt")) << c.lines;
  }
}

TEST_F(ExternalSort, ByteOrderUpperCaseFirstDuplicatesKeptEmptyLinesFirst) {
  WriteBytes("in.txt", CrLf({"b", "a", "B", "", "a", "A", "ab", "\xC3\xA9", "~"}));
  WriteBytes("out.txt", "old contents\r\n");
  MergeSortFile("in.txt", "out.txt");
  EXPECT_EQ(CrLf({"", "A", "B", "a", "a", "ab", "b", "~", "\xC3\xA9"}), ReadBytes("out.txt"));
}

TEST_F(ExternalSort, EmptyInputGivesAnEmptyOutputThatExists) {
  WriteBytes("in.txt", "");
  MergeSortFile("in.txt", "out.txt");
  EXPECT_TRUE(PathExists("out.txt"));
  EXPECT_EQ("", ReadBytes("out.txt"));
  MergeSortFile("missing.txt", "out2.txt");
  EXPECT_EQ("", ReadBytes("out2.txt"));
  EXPECT_TRUE(PathExists("out2.txt"));
}

TEST_F(ExternalSort, NoHandleForThePassOutputIsReported) {
  WriteBytes("in.txt", CrLf({"b", "a"}));
  MakeDirs("sort_output.txt");  // cannot be opened as a file
  EXPECT_EXIT(
      {
        if (!freopen("console.out", "w", stdout)) abort();
        MergeSortFile("in.txt", "out.txt");
      },
      testing::ExitedWithCode(1), "^Cannot write sort_output.txt: Is a directory\n$");
  EXPECT_EQ(
      "---------- sort error ----------\n"
      "number of files > file.max\n"
      "file.max =  1\n"
      "sort.input$ = in.txt\n"
      "sort.output$ = out.txt\n"
      "file.name.02$ = sort_output.txt\n"
      "file.num.02 =  0\n",
      ReadBytes("console.out"));
}

}  // namespace
