#include "indexer/decorate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "common/line_files.h"
#include "common/text.h"
#include "indexer/html_pieces.h"
#include "indexer/page_text_test_util.h"
#include "tests/test_util.h"

namespace {

struct Record {
  std::string page;
  int line;
  int column;
  std::string word;
  std::string id;
  int number;
  std::string next_page;
};

// Decorates the pages of `records` (in page, line and column order) as the run does, from
// their `texts` and with the page chain of `sorted_pages`.
void Decorate(const IndexerRun& run, const PageTexts& texts,
              const std::vector<std::string>& sorted_pages, const std::vector<Record>& records) {
  const PageChain chain = MakePageChain(sorted_pages);
  for (size_t begin = 0; begin < records.size();) {
    const std::string& page = records[begin].page;
    size_t end = begin;
    std::map<std::string, long long> highest;
    for (; end < records.size() && records[end].page == page; ++end) {
      highest[records[end].id] = std::max<long long>(highest[records[end].id], records[end].number);
    }
    PageDecorator decorator(run, page, texts.at(page), NeighbourPages(chain, page), 1,
                            end == records.size());
    for (size_t i = begin; i < end; ++i) {
      const Record& r = records[i];
      Occurrence o;
      o.page = r.page;
      o.line = r.line;
      o.column = r.column;
      o.word = r.word;
      o.word_id = r.id;
      o.number = r.number;
      o.next_page = r.next_page;
      decorator.Take(o, highest[r.id]);
    }
    begin = end;
  }
}

void Append(std::vector<std::string>* lines, const std::vector<std::string>& more) {
  lines->insert(lines->end(), more.begin(), more.end());
}

void ExpectFile(const std::vector<std::string>& expected, const std::string& name) {
  std::string difference = FirstDifference(CrLf(expected), ReadBytes(name));
  EXPECT_EQ("", difference) << name;
}

// Two pages with words and one without. page_01 has its body tag on the first word's line,
// a line with three words and "fox" twice; page_02 ends its body on its last word line.
TEST(DecoratePages, SmallSetDecoratedWhole) {
  ScopedWorkDir dir;
  const PageTexts texts = WritePageTexts({
      {"page_01.htm",
       {"<html>", "<head><title>Demo</title></head>", "<body>Fox den", "<p>", "the red fox.",
        "</body>", "</html>"}},
      {"page_02.htm", {"<html><body>", "A fox ran.</body></html>"}},
      {"page_03.htm", {"<html><body>", "<p>", "</body></html>"}},
  });
  const std::vector<Record> records = {
      Record{"page_01.htm", 3, 7, "Fox", "id00000001", 1, "page_02.htm"},
      Record{"page_01.htm", 3, 11, "den", "id00000000", 1, ""},
      Record{"page_01.htm", 5, 1, "the", "id00000006", 1, ""},
      Record{"page_01.htm", 5, 5, "red", "id00000005", 1, ""},
      Record{"page_01.htm", 5, 9, "fox", "id00000001", 2, "page_02.htm"},
      Record{"page_02.htm", 2, 3, "fox", "id00000001", 3, ""},
      Record{"page_02.htm", 2, 7, "ran", "id00000004", 1, ""},
  };

  IndexerRun run;
  Decorate(run, texts, {"page_01.htm", "page_02.htm"}, records);

  std::vector<std::string> page_01 = {"<html>", "<head><title>Demo</title></head>"};
  Append(&page_01, HighlightScript(run));
  Append(
      &page_01,
      {
          "<br>",
          "<a href=\"page_02.htm\"> Next </a> ",
          "<a href=\"files_list.htm\"> Content </a><br>",
          "<body>",
          "<span id=\"id00000001\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_01.htm#id00000001'); window.event.cancelbubble = true;\">Fox</span>",
          "<span hidden id=\"id00000001\">",
          "(1)(<a href=\"#id00000001_2\">&gt;</a>,",
          "<a href=\"i_1.htm#id00000001\">i</a>,",
          "<a href=\"s_1.htm#id00000001_1\">s</a>,",
          "<a href=\"files_list.htm\">c</a>,",
          "<a href=\"page_02.htm#id00000001\">&gt;&gt;)</a></span>",
          "<span id=\"id00000001_1\"></span>",
          " ",
          "<span id=\"id00000000\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_01.htm#id00000000'); window.event.cancelbubble = true;\">den</span>",
          "<span hidden id=\"id00000000\">",
          "(1)(<a href=\"#id00000000_1\"></a>",
          "<a href=\"i_1.htm#id00000000\">i</a>,",
          "<a href=\"s_1.htm#id00000000_1\">s</a>,",
          "<a href=\"files_list.htm\">c)</a></span>",
          "<span id=\"id00000000_1\"></span>",
          "",  // rest of "<body>Fox den"
          "<p>",
          "",  // text before "the" at column 1
          "<span id=\"id00000006\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_01.htm#id00000006'); window.event.cancelbubble = true;\">the</span>",
          "<span hidden id=\"id00000006\">",
          "(1)(<a href=\"#id00000006_1\"></a>",
          "<a href=\"i_1.htm#id00000006\">i</a>,",
          "<a href=\"s_1.htm#id00000006_1\">s</a>,",
          "<a href=\"files_list.htm\">c)</a></span>",
          "<span id=\"id00000006_1\"></span>",
          " ",
          "<span id=\"id00000005\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_01.htm#id00000005'); window.event.cancelbubble = true;\">red</span>",
          "<span hidden id=\"id00000005\">",
          "(1)(<a href=\"#id00000005_1\"></a>",
          "<a href=\"i_1.htm#id00000005\">i</a>,",
          "<a href=\"s_1.htm#id00000005_1\">s</a>,",
          "<a href=\"files_list.htm\">c)</a></span>",
          "<span id=\"id00000005_1\"></span>",
          " ",
          "<span id=\"id00000001\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_01.htm#id00000001'); window.event.cancelbubble = true;\">fox</span>",
          "<span hidden id=\"id00000001\">",
          "(2)(<a href=\"#id00000001_2\"></a>",
          "<a href=\"i_1.htm#id00000001\">i</a>,",
          "<a href=\"s_1.htm#id00000001_2\">s</a>,",
          "<a href=\"files_list.htm\">c</a>,",
          "<a href=\"page_02.htm#id00000001\">&gt;&gt;)</a></span>",
          "<span id=\"id00000001_2\"></span>",
          ".",
          "<br>",
          "<a href=\"page_02.htm\"> Next </a>",  // bottom, not the last page
          "<a href=\"files_list.htm\"> Content </a><br>",
          "</body>",
          "</html>",
      });
  ExpectFile(page_01, "page_01.htm");

  std::vector<std::string> page_02 = HighlightScript(run);
  Append(
      &page_02,
      {
          "<br>",
          "<a href=\"page_01.htm\"> Before </a> ",
          "<a href=\"files_list.htm\"> Content </a><br>",
          "<html><body>",
          "A ",
          "<span id=\"id00000001\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_02.htm#id00000001'); window.event.cancelbubble = true;\">fox</span>",
          "<span hidden id=\"id00000001\">",
          "(3)(<a href=\"#id00000001_3\"></a>",
          "<a href=\"i_1.htm#id00000001\">i</a>,",
          "<a href=\"s_1.htm#id00000001_3\">s</a>,",
          "<a href=\"files_list.htm\">c)</a></span>",
          "<span id=\"id00000001_3\"></span>",
          " ",
          "<span id=\"id00000004\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_02.htm#id00000004'); window.event.cancelbubble = true;\">ran</span>",
          "<span hidden id=\"id00000004\">",
          "(1)(<a href=\"#id00000004_1\"></a>",
          "<a href=\"i_1.htm#id00000004\">i</a>,",
          "<a href=\"s_1.htm#id00000004_1\">s</a>,",
          "<a href=\"files_list.htm\">c)</a></span>",
          "<span id=\"id00000004_1\"></span>",
          ".</body></html>",  // no bottom navigation: </body> was on a word line
      });
  ExpectFile(page_02, "page_02.htm");
  EXPECT_FALSE(PathExists("page_03.htm"));  // a page without words is not decorated
}

TEST(DecoratePages, PageWithoutBodyTagGetsOnlyBottomNavigation) {
  ScopedWorkDir dir;
  const PageTexts texts = WritePageTexts({{"page_01.htm", {"<p>Hello</p>", "</BODY>"}}});

  IndexerRun run;
  run.find_word = 0;
  Decorate(run, texts, {"page_01.htm", "page_02.htm"},
           {Record{"page_01.htm", 1, 4, "Hello", "id00000000", 1, ""}});

  // The only page decorated is the last one, so its bottom Next keeps its blank.
  const std::vector<std::string> expected = {
      "<p>",
      "<span id=\"id00000000\" type = \"text/javascript\"ondblclick = "
      "\"window.open('page_01.htm#id00000000'); window.event.cancelbubble = true;\">Hello</span>",
      "</p>",
      "<br>",
      "<a href=\"page_02.htm\"> Next </a> ",
      "<a href=\"files_list.htm\"> Content </a><br>",
      "</BODY>",
  };
  ExpectFile(expected, "page_01.htm");
}

TEST(DecoratePages, PagesListHasNoFindWordSpan) {
  ScopedWorkDir dir;
  const PageTexts texts = WritePageTexts({{"page_01.htm", {"<body>Pages_list"}}});

  IndexerRun run;
  Decorate(run, texts, {}, {Record{"page_01.htm", 1, 7, "Pages_list", "id00000000", 1, ""}});

  std::vector<std::string> expected = HighlightScript(run);
  Append(&expected, {
                        "<br>",
                        "<a href=\"files_list.htm\"> Content </a><br>",
                        "<body>",
                        "<span id=\"id00000000\" type = \"text/javascript\"ondblclick = "
                        "\"window.open('page_01.htm#id00000000'); "
                        "window.event.cancelbubble = true;\">Pages_list</span>",
                        "",
                    });
  ExpectFile(expected, "page_01.htm");
}

TEST(DecoratePages, LinesAndColumnsBeyondTheText) {
  ScopedWorkDir dir;
  const PageTexts texts = WritePageTexts({{"page_01.htm", {"short"}}, {"page_09.htm", {}}});
  const std::vector<Record> records = {
      // beyond the end of the line, then overlapping the word before
      Record{"page_01.htm", 1, 40, "far", "id00000000", 1, ""},
      Record{"page_01.htm", 1, 2, "hor", "id00000003", 1, ""},
      // lines past the end of a page's text read as empty
      Record{"page_09.htm", 2, 1, "ghost", "id00000001", 1, ""},
  };
  IndexerRun run;
  run.find_word = 0;
  Decorate(run, texts, {}, records);

  ExpectFile(
      {
          "short",
          "<span id=\"id00000000\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_01.htm#id00000000'); window.event.cancelbubble = true;\">far</span>",
          "",
          "<span id=\"id00000003\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_01.htm#id00000003'); window.event.cancelbubble = true;\">hor</span>",
          // Out of column order: the rest after "hor" was already written before "far", and
          // no byte of a line is written twice.
          "",
      },
      "page_01.htm");
  ExpectFile(
      {
          "",
          "",
          "<span id=\"id00000001\" type = \"text/javascript\"ondblclick = "
          "\"window.open('page_09.htm#id00000001'); window.event.cancelbubble = "
          "true;\">ghost</span>",
          "",
      },
      "page_09.htm");
}

}  // namespace
