#include "indexer/occurrence_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "indexer/page_text_test_util.h"
#include "tests/test_util.h"

namespace {

// Scans the literal pages as a run does, numbers their words and walks them: one line per
// occurrence as the walk hands it on, "page line column word id number next-page".
std::vector<std::string> Walk(const PageLines& pages) {
  ScopedWorkDir dir;
  WordLists lists = ScanPages(pages);
  const WordIds ids = NumberWords(lists);
  const NextPages next_pages = FindNextPages(lists);
  std::vector<std::string> walked;
  WalkOccurrences(lists, ids, next_pages, [&](const Occurrence& o, const WalkStep&) {
    walked.push_back(std::string(o.page) + " " + std::to_string(o.line) + " " +
                     std::to_string(o.column) + " " + std::string(o.word) + " " +
                     std::string(o.word_id) + " " + std::to_string(o.number) + " " +
                     std::string(o.next_page));
  });
  return walked;
}

// `word` standing at the 1-based byte `column` of a line that `line` leads up to.
void PutAt(std::string* line, size_t column, const std::string& word) {
  line->resize(column - 1, ' ');
  *line += word;
}

TEST(OccurrenceWalk, NumbersByPageLineSpellingThenColumn) {
  // "Rose" and "rose" share a key: on one line the spelling that sorts first comes first,
  // whatever its column.
  EXPECT_EQ(
      (std::vector<std::string>{
          "page_1.htm 1 1 rose id00000001 2 page_2.htm",
          "page_1.htm 1 6 Rose id00000001 1 page_2.htm",
          "page_1.htm 1 11 tea id00000005 1 page_2.htm",
          "page_1.htm 2 1 Rose id00000001 3 page_2.htm",
          "page_1.htm 2 6 again id00000000 1 ",
          "page_1.htm 2 12 tea id00000005 2 page_2.htm",
          "page_2.htm 1 1 rose id00000001 4 ",
          "page_2.htm 1 6 tea id00000005 3 ",
      }),
      Walk({{"page_1.htm", {"rose Rose tea", "Rose again tea"}}, {"page_2.htm", {"rose tea"}}}));
}

TEST(OccurrenceWalk, ColumnsBeyondTheFieldWidthCompareAsTheirFields) {
  // The fields "999999", "2000000" and "10000000" compare as text: 10000000 comes first,
  // both in the numbering of one word's occurrences on a line and in the document order.
  std::string line;
  PutAt(&line, 999999, "one");
  PutAt(&line, 2000000, "tea");
  PutAt(&line, 10000000, "tea");
  EXPECT_EQ((std::vector<std::string>{
                "page_1.htm 1 10000000 tea id00000001 1 ",
                "page_1.htm 1 2000000 tea id00000001 2 ",
                "page_1.htm 1 999999 one id00000000 1 ",
            }),
            Walk({{"page_1.htm", {line}}}));
}

}  // namespace
