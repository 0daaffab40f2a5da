#include "common/sorted_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "tests/test_util.h"

namespace {

bool ByteLess(const std::string& a, const std::string& b) { return a < b; }

// Whether the file fits the budget or needs several levels of merges, every line comes out
// once, in order, and only the input and the output are left in the folder.
TEST(SortFileLines, InMemoryAndThroughLevelsOfRuns) {
  for (size_t count : {0u, 3u, 40u, 400u}) {
    ScopedWorkDir dir;
    std::mt19937 random(static_cast<unsigned>(count));
    std::vector<std::string> lines;
    for (size_t i = 0; i < count; ++i) lines.push_back(std::to_string(random() % 50) + "x");
    WriteLines("in.txt", lines);
    // Runs of about 4 lines, merged 3 at a time: 400 lines need three levels.
    EXPECT_TRUE(SortFileLines("in.txt", "out.txt", "run_", ByteLess, 150, 3)) << count;
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(CrLf(lines), ReadBytes("out.txt")) << count;
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(2u, files) << count;
  }
}

}  // namespace
