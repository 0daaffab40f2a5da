#include "indexer/body_blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/line_files.h"
#include "tests/test_util.h"

namespace {

// The sizes of the blocks in `lines`, in lines between "<div>" and "</div>"; -1 marks a
// line outside every block, -2 a block line out of place.
std::vector<int> BlockSizes(const std::vector<std::string>& lines) {
  std::vector<int> sizes;
  bool open = false;
  for (const std::string& line : lines) {
    if (line == "<div>") {
      if (open) sizes.push_back(-2);
      open = true;
      sizes.push_back(0);
    } else if (line == "</div>") {
      if (!open) sizes.push_back(-2);
      open = false;
    } else if (open) {
      ++sizes.back();
    } else {
      sizes.push_back(-1);
    }
  }
  if (open) sizes.push_back(-2);
  return sizes;
}

// Entries of `lines_per_entry` lines each; a group of entries is as many entries as a size says.
std::vector<std::string> WriteEntryGroups(const std::vector<int>& entries_per_group,
                                          int lines_per_entry = 3) {
  {
    LineWriter out("page.htm");
    BodyBlocks blocks(&out);
    for (size_t group = 0; group < entries_per_group.size(); ++group) {
      for (int entry = 0; entry < entries_per_group[group]; ++entry) {
        blocks.Break(entry == 0);
        blocks.Open();
        for (int line = 0; line < lines_per_entry; ++line) out.WriteLine("entry line");
        blocks.Count(lines_per_entry);
      }
    }
    blocks.Close();
  }
  return ReadAllLines("page.htm");
}

TEST(BodyBlocks, EachGroupInBlocksOfAtMostOneEntryBeyondTheLimit) {
  ASSERT_EQ(100, kBlockLines);
  ScopedWorkDir dir;
  // 34 entries make the first block that holds 100 lines or more: 102.
  EXPECT_EQ((std::vector<int>{3, 102, 102, 3, 6}), BlockSizes(WriteEntryGroups({1, 69, 2})));
  EXPECT_EQ((std::vector<int>{}), BlockSizes(WriteEntryGroups({})));
  // A block that holds the limit exactly is full.
  EXPECT_EQ((std::vector<int>{100, 4}), BlockSizes(WriteEntryGroups({26}, 4)));
}

}  // namespace
