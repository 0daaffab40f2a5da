#include "indexer/all_words.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "indexer/html_pieces.h"
#include "tests/test_util.h"

namespace {

struct Occurrence {
  std::string word_id;
  std::string page;
  int line;
  int column;
  std::string word;
  int occurrence;
};

std::string AllWordsRecord(const Occurrence& r) {
  return QuotedRecord({r.word_id, "    1", r.page, RightAlign(std::to_string(r.line), 10),
                       RightAlign(std::to_string(r.column), 6), r.word,
                       std::to_string(r.occurrence)});
}

void WriteAllWordsList(const std::vector<Occurrence>& records) {
  std::vector<std::string> lines;
  for (const Occurrence& r : records) lines.push_back(AllWordsRecord(r));
  WriteBytes("wrd_15.txt", CrLf(lines));
}

// Runs the phase; returns the lines of index.htm after the header, and the console output.
std::vector<std::string> IndexBody(std::string* console) {
  setenv("SOURCE_DATE_EPOCH", "1720343103", 1);
  testing::internal::CaptureStdout();
  WriteAllWordsIndex(IndexerRun{});
  *console = testing::internal::GetCapturedStdout();
  std::vector<std::string> lines;
  std::istringstream in(ReadBytes("index.htm"));
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(EndsWith(line, "\r")) << line;
    lines.push_back(line.substr(0, line.size() - 1));
  }
  std::vector<std::string> header = IndexHeader(IndexerRun{}, "<br><br>");
  if (lines.size() < header.size()) {
    ADD_FAILURE() << "index.htm too short";
    return {};
  }
  EXPECT_EQ(header, std::vector<std::string>(lines.begin(), lines.begin() + header.size()));
  EXPECT_EQ("Date (mm-dd-yy) = 07-07-2024<br>", lines[23]);
  EXPECT_EQ("Time (h:m:s)    = 09:05:03<br>", lines[24]);
  return std::vector<std::string>(lines.begin() + header.size(), lines.end());
}

TEST(AllWordsIndex, WholeIndexForTwoPages) {
  ScopedWorkDir dir;
  // Page by page, as the consolidation writes it, not in index order. "Apple" on page 1,
  // line 2, column 5 is the first occurrence: the line and column fields are right-aligned.
  const std::vector<Occurrence> records = {
      {"id00000006", "page_0001.htm", 3, 1, "plum", 1},
      {"id00000000", "page_0001.htm", 10, 1, "apple", 3},
      {"id00000000", "page_0001.htm", 2, 30, "APPLE", 2},
      {"id00000000", "page_0001.htm", 2, 5, "Apple", 1},
      {"id00000005", "page_0001.htm", 9, 1, "cherry", 1},
      {"id00000000", "page_0002.htm", 1, 1, "apple", 4},
      {"id00000006", "page_0002.htm", 1, 9, "Plum", 2},
      {"id00000000", "page_0002.htm", 6, 1, "aPPle", 5},
  };
  WriteAllWordsList(records);
  std::string console;
  std::vector<std::string> expected = {
      "Use a combination of two keys (CTRL + F) to search.",
      "<br><br>",
      "Apple",
      "&nbsp;&nbsp;<a href=\"i_1.htm#id00000000\" id=\"id00000000\">(i_1,&nbsp;&nbsp;5)</a>",
      "<br>",
      "cherry",
      "&nbsp;&nbsp;<a href=\"i_1.htm#id00000005\" id=\"id00000005\">(i_1,&nbsp;&nbsp;1)</a>",
      "<br>",
      "plum",
      "&nbsp;&nbsp;<a href=\"i_1.htm#id00000006\" id=\"id00000006\">(i_1)</a>",
      "</body>",
      "</html>"};
  EXPECT_EQ(expected, IndexBody(&console));
  EXPECT_EQ("processed 70%\nprocessed 80%\nprocessed 90%\n", console);
  // The sorted list stays behind under its work-file name.
  EXPECT_EQ(
      CrLf({AllWordsRecord(records[3]), AllWordsRecord(records[2]), AllWordsRecord(records[1]),
            AllWordsRecord(records[5]), AllWordsRecord(records[7]), AllWordsRecord(records[4]),
            AllWordsRecord(records[0]), AllWordsRecord(records[6])}),
      ReadBytes("wrd_16.txt"));
}

std::string WordOrderRecord(const Occurrence& r) {
  return QuotedRecord({r.word_id, r.page, RightAlign(std::to_string(r.line), 10),
                       RightAlign(std::to_string(r.column), 6), r.word, r.word_id,
                       std::to_string(r.occurrence)});
}

// The sorted all-words list comes from the word-order list when that holds the same
// records; a word-order list that differs (stale, damaged) is never trusted.
TEST(AllWordsIndex, SortedListIsTheSameWithOrWithoutTheWordOrderList) {
  const std::vector<Occurrence> records = {
      {"id00000006", "page_0001.htm", 3, 1, "plum", 1},
      {"id00000000", "page_0001.htm", 10, 1, "apple", 3},
      {"id00000000", "page_0001.htm", 2, 5, "Apple", 1},
      {"id00000000", "page_0002.htm", 1, 1, "apple", 4},
  };
  const std::vector<size_t> sorted = {2, 1, 3, 0};
  struct Case {
    const char* what;
    std::vector<size_t> word_order;  // records written to wrd_14_1.txt, in this order
  } cases[] = {
      {"same records in word order", sorted},
      {"word-order list missing a record", {2, 1, 0}},
      {"word-order list out of order", {1, 2, 3, 0}},
  };
  for (const Case& c : cases) {
    ScopedWorkDir dir;
    WriteAllWordsList(records);
    std::vector<std::string> word_order;
    for (size_t i : c.word_order) word_order.push_back(WordOrderRecord(records[i]));
    WriteBytes("wrd_14_1.txt", CrLf(word_order));
    std::string console;
    IndexBody(&console);
    std::vector<std::string> expected;
    for (size_t i : sorted) expected.push_back(AllWordsRecord(records[i]));
    EXPECT_EQ(CrLf(expected), ReadBytes("wrd_16.txt")) << c.what;
  }
}

TEST(AllWordsIndex, SmallListsAndProgress) {
  const std::string progress_without_80 = "processed 70%\nprocessed 90%\n";
  struct Case {
    const char* name;
    std::vector<Occurrence> records;
    std::vector<std::string> words_and_links;
    std::string console;
  };
  const std::vector<Case> cases = {
      {"empty list",
       {},
       {"", "&nbsp;&nbsp;<a href=\"i_1.htm#\" id=\"\">(i_1)</a>"},
       progress_without_80},
      {"one record",
       {{"id00000000", "page_0001.htm", 1, 1, "Solo", 1}},
       {"Solo", "&nbsp;&nbsp;<a href=\"i_1.htm#id00000000\" id=\"id00000000\">(i_1)</a>"},
       progress_without_80},
      {"two records of two words",
       {{"id00000001", "page_0001.htm", 1, 5, "two", 1},
        {"id00000000", "page_0001.htm", 1, 1, "one", 1}},
       {"one",
        "&nbsp;&nbsp;<a href=\"i_1.htm#id00000000\" id=\"id00000000\">(i_1,&nbsp;&nbsp;1)</a>",
        "<br>", "two", "&nbsp;&nbsp;<a href=\"i_1.htm#id00000001\" id=\"id00000001\">(i_1)</a>"},
       progress_without_80},
      // Counting by word id, not by text: a word spelled like another word's id is not
      // counted for it (find /c over the text would count 2).
      {"three records, a word that looks like an id",
       {{"id00000000", "page_0001.htm", 1, 1, "ant", 1},
        {"id00000001", "page_0001.htm", 1, 5, "xid00000000", 1},
        {"id00000001", "page_0001.htm", 2, 5, "xid00000000", 2}},
       {"ant",
        "&nbsp;&nbsp;<a href=\"i_1.htm#id00000000\" id=\"id00000000\">(i_1,&nbsp;&nbsp;1)</a>",
        "<br>", "xid00000000",
        "&nbsp;&nbsp;<a href=\"i_1.htm#id00000001\" id=\"id00000001\">(i_1)</a>"},
       "processed 70%\nprocessed 80%\nprocessed 90%\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedWorkDir dir;
    if (!c.records.empty()) WriteAllWordsList(c.records);
    std::string console;
    std::vector<std::string> expected = {"Use a combination of two keys (CTRL + F) to search.",
                                         "<br><br>"};
    expected.insert(expected.end(), c.words_and_links.begin(), c.words_and_links.end());
    expected.insert(expected.end(), {"</body>", "</html>"});
    EXPECT_EQ(expected, IndexBody(&console));
    EXPECT_EQ(c.console, console);
    EXPECT_TRUE(PathExists("wrd_16.txt"));
  }
}

}  // namespace
