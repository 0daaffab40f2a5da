#include "indexer/decorate_lines.h"

#include <gtest/gtest.h>

#include "common/line_files.h"
#include "tests/test_util.h"

namespace {

// The views point at literals, which outlive the occurrence.
Occurrence MakeOccurrence(std::string_view word, long long number, std::string_view next_page) {
  Occurrence o;
  o.page = "page_01.htm";
  o.line = 3;
  o.column = 7;
  o.word = word;
  o.word_id = "id00000004";
  o.number = number;
  o.next_page = next_page;
  return o;
}

// What WriteOccurrenceLines writes for one occurrence, read back from its file.
std::string WrittenLines(const IndexerRun& run, const Occurrence& occurrence,
                         long long highest_on_page) {
  ScopedWorkDir dir;
  LineWriter out("lines.txt");
  WriteOccurrenceLines(&out, run, occurrence, highest_on_page, 1);
  out.Close();
  return ReadBytes("lines.txt");
}

const char kWordSpan[] =
    "<span id=\"id00000004\" type = \"text/javascript\"ondblclick = "
    "\"window.open('page_01.htm#id00000004'); window.event.cancelbubble = true;\">fox</span>";

TEST(DecorateLines, FindWordSpanChoosesLinks) {
  struct Case {
    const char* name;
    long long number;
    long long highest_on_page;
    const char* next_page;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"later occurrence on this page, no next page",
       1,
       2,
       "",
       {kWordSpan, "<span hidden id=\"id00000004\">", "(1)(<a href=\"#id00000004_2\">&gt;</a>,",
        "<a href=\"i_1.htm#id00000004\">i</a>,", "<a href=\"s_1.htm#id00000004_1\">s</a>,",
        "<a href=\"files_list.htm\">c)</a></span>", "<span id=\"id00000004_1\"></span>"}},
      {"last on this page, with next page",
       9,
       9,
       "page_03.htm",
       {kWordSpan, "<span hidden id=\"id00000004\">", "(9)(<a href=\"#id00000004_9\"></a>",
        "<a href=\"i_1.htm#id00000004\">i</a>,", "<a href=\"s_1.htm#id00000004_9\">s</a>,",
        "<a href=\"files_list.htm\">c</a>,",
        "<a href=\"page_03.htm#id00000004\">&gt;&gt;)</a></span>",
        "<span id=\"id00000004_9\"></span>"}},
      {"numbers of later pages carry over: 11 of 12",
       11,
       12,
       "page_03.htm",
       {kWordSpan, "<span hidden id=\"id00000004\">", "(11)(<a href=\"#id00000004_12\">&gt;</a>,",
        "<a href=\"i_1.htm#id00000004\">i</a>,", "<a href=\"s_1.htm#id00000004_11\">s</a>,",
        "<a href=\"files_list.htm\">c</a>,",
        "<a href=\"page_03.htm#id00000004\">&gt;&gt;)</a></span>",
        "<span id=\"id00000004_11\"></span>"}},
  };
  IndexerRun run;
  for (const Case& c : cases) {
    EXPECT_EQ(CrLf(c.expected),
              WrittenLines(run, MakeOccurrence("fox", c.number, c.next_page), c.highest_on_page))
        << c.name;
  }
}

TEST(DecorateLines, WordSpanOnlyForPagesListOrWithoutFindWord) {
  struct Case {
    int find_word;
    const char* word;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {1,
       "Pages_list",
       {"<span id=\"id00000004\" type = \"text/javascript\"ondblclick = "
        "\"window.open('page_01.htm#id00000004'); window.event.cancelbubble = "
        "true;\">Pages_list</span>"}},
      // Only the exact spelling is exempt.
      {1,
       "pages_list",
       {"<span id=\"id00000004\" type = \"text/javascript\"ondblclick = "
        "\"window.open('page_01.htm#id00000004'); window.event.cancelbubble = "
        "true;\">pages_list</span>",
        "<span hidden id=\"id00000004\">", "(1)(<a href=\"#id00000004_1\"></a>",
        "<a href=\"i_1.htm#id00000004\">i</a>,", "<a href=\"s_1.htm#id00000004_1\">s</a>,",
        "<a href=\"files_list.htm\">c)</a></span>", "<span id=\"id00000004_1\"></span>"}},
      {0, "fox", {kWordSpan}},
  };
  for (const Case& c : cases) {
    IndexerRun run;
    run.find_word = c.find_word;
    EXPECT_EQ(CrLf(c.expected), WrittenLines(run, MakeOccurrence(c.word, 1, ""), 1)) << c.word;
  }
}

TEST(DecorateLines, PageNavigation) {
  struct Case {
    PageLinks links;
    bool bottom_of_inner_page;
    std::vector<std::string> expected;
  };
  const std::string content = "<a href=\"files_list.htm\"> Content </a><br>";
  const Case cases[] = {
      {{"", "page_02.htm"}, false, {"<br>", "<a href=\"page_02.htm\"> Next </a> ", content}},
      {{"", "page_02.htm"}, true, {"<br>", "<a href=\"page_02.htm\"> Next </a>", content}},
      {{"page_01.htm", "page_03.htm"},
       true,
       {"<br>", "<a href=\"page_01.htm\"> Before </a> ", "<a href=\"page_03.htm\"> Next </a>",
        content}},
      {{"page_02.htm", ""}, false, {"<br>", "<a href=\"page_02.htm\"> Before </a> ", content}},
      {{"", ""}, true, {"<br>", content}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, PageNavigation(c.links, c.bottom_of_inner_page))
        << c.links.before << "|" << c.links.next << "|" << c.bottom_of_inner_page;
  }
}

TEST(DecorateLines, NeighbourPagesFromSortedList) {
  PageChain chain = MakePageChain({"page_01.htm", "Page_02.htm", "page_03.htm"});
  struct Case {
    const char* page;
    const char* before;
    const char* next;
  };
  const Case cases[] = {
      {"page_01.htm", "", "page_02.htm"},
      {"PAGE_02.HTM", "page_01.htm", "page_03.htm"},
      {"page_03.htm", "page_02.htm", ""},
      {"page_09.htm", "", ""},
  };
  for (const Case& c : cases) {
    PageLinks links = NeighbourPages(chain, c.page);
    EXPECT_EQ(c.before, links.before) << c.page;
    EXPECT_EQ(c.next, links.next) << c.page;
  }
}

TEST(DecorateLines, ColumnPiecesClampToTheLine) {
  struct Case {
    long long from;
    long long to;
    const char* range;
    const char* rest;
  };
  // "the red fox." : columns 1..12
  const Case cases[] = {
      {1, 1, "", "the red fox."},
      {1, 5, "the ", "the red fox."},
      {4, 5, " ", " red fox."},
      {12, 40, ".", "."},
      {13, 20, "", ""},
      {50, 60, "", ""},
      {9, 5, "", "fox."},
      {0, 4, "the", "the red fox."},
      {-3, 2, "t", "the red fox."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.range, ColumnRange("the red fox.", c.from, c.to)) << c.from << "-" << c.to;
    EXPECT_EQ(c.rest, ColumnsFrom("the red fox.", c.from)) << c.from;
  }
}

}  // namespace
