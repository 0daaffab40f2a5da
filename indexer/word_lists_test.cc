#include "indexer/word_lists.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The groups of pages holding these numbers of occurrences, cut at 10.
std::vector<uint32_t> GroupsOf(const std::vector<size_t>& counts) {
  WordLists lists;
  for (size_t count : counts) lists.pages.push_back(PageWords{"page", {}, 0, count});
  lists = CutPageGroups(std::move(lists), 10);
  std::vector<uint32_t> groups;
  for (const PageWords& page : lists.pages) groups.push_back(page.group);
  EXPECT_EQ(groups.empty() ? 1 : groups.back(), PageGroupCount(lists));
  return groups;
}

TEST(PageGroups, AGroupTakesPagesUpToTheLimitAndABigPageStandsAlone) {
  const struct {
    std::vector<size_t> counts;
    std::vector<uint32_t> groups;
  } cases[] = {
      {{}, {}},
      {{3, 3, 4}, {1, 1, 1}},                // exactly the limit
      {{3, 3, 5}, {1, 1, 2}},                // one over: the page starts the next group
      {{25, 1, 1}, {1, 2, 2}},               // a big first page alone
      {{2, 11, 12, 9, 1}, {1, 2, 3, 4, 4}},  // big pages alone, one after the other
  };
  for (const auto& c : cases) EXPECT_EQ(c.groups, GroupsOf(c.counts));
}

}  // namespace
