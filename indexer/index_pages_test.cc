#include "indexer/index_pages.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/text.h"
#include "common/work_dir.h"
#include "tests/test_util.h"

namespace {

// A word-order list record: word id, page, line, column, word, word id, occurrence number.
std::string Record(const std::string& id, const std::string& page, int line, int column,
                   const std::string& word, int number) {
  std::string line_field = RightAlign(std::to_string(line), 10);
  std::string column_field = RightAlign(std::to_string(column), 6);
  std::string number_field = std::to_string(number);
  return QuotedRecord({id, page, line_field, column_field, word, id, number_field});
}

// The header as the pages show it at SOURCE_DATE_EPOCH 1720343103 (2024-07-07 09:05:03 UTC).
std::vector<std::string> Header(const std::string& last_line) {
  return {"<html>",
          "<br>",
          "<head>",
          "<br>",
          "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">",
          "<br>",
          "<title>index of key words</title>",
          "<br>",
          "</head>",
          "<br>",
          "<body>",
          "<br>",
          "QUICK AND EASY INFORMATION SEARCH",
          "<br>",
          "We offer users a fast and efficient way to search for information in input files, and "
          "they can also continue their search with the help of program-defined Google search "
          "phrases.",
          "<br>",
          "Just double-clicking on any word is enough to access the index of all words.",
          "<br>",
          "<br>",
          "Details:",
          "<br>",
          "<a href=\"https://www.example.org/\">https://www.example.org/</a>",
          "<br><br>",
          "Date (mm-dd-yy) = 07-07-2024<br>",
          "Time (h:m:s)    = 09:05:03<br>",
          last_line};
}

std::vector<std::string> Concat(std::vector<std::string> lines,
                                const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

class IndexPagesTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1720343103", 1); }
  void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }
  void ExpectFile(const std::vector<std::string>& expected, const std::string& name) {
    EXPECT_EQ("", FirstDifference(CrLf(expected), ReadBytes(name))) << name;
  }
  ScopedWorkDir dir_;
  IndexerRun run_;
};

TEST_F(IndexPagesTest, EntriesPerWordAndPage) {
  WriteAllLines("group_page_all_sort.txt", {"page_01.htm", "page_02.htm", "page_03.htm"});
  WriteAllLines("wrd_14_1.txt", {
                                    Record("id00000000", "page_02.htm", 4, 1, "den", 1),
                                    Record("id00000001", "page_01.htm", 2, 5, "Fox", 1),
                                    Record("id00000001", "page_01.htm", 3, 1, "fox", 2),
                                    Record("id00000001", "page_01.htm", 3, 9, "FOX", 3),
                                    Record("id00000001", "page_02.htm", 1, 1, "fox", 4),
                                    Record("id00000001", "page_03.htm", 7, 2, "fox", 5),
                                });
  WriteWordIndexAndContents(run_);

  ExpectFile(Concat(Header("<br><br>"),
                    {
                        "<a href=\"files_list.htm\"> Content </a><br>",
                        "<br>",
                        "<br>",
                        "<a href=\"page_02.htm#id00000000\" id=\"id00000000\">den</a>"
                        "&nbsp;&nbsp;&nbsp; (page_02.htm, 1)",
                        "&nbsp;&nbsp;<a href=\"s_1.htm#id00000000_1\">s_1</a>",
                        "&nbsp;&nbsp;<a href=\"index.htm#id00000000\"> index</a>",
                        "&nbsp;&nbsp;<a href=\"files_list.htm#page_02.htm\"> Content </a>",
                        "<br>",
                        "<a href=\"page_01.htm#id00000001\" id=\"id00000001\">Fox</a>"
                        "&nbsp;&nbsp;&nbsp; (page_01.htm, 3)",
                        "&nbsp;&nbsp;<a href=\"s_1.htm#id00000001_1\">s_1</a>",
                        "&nbsp;&nbsp;<a href=\"index.htm#id00000001\"> index</a>",
                        "&nbsp;&nbsp;<a href=\"files_list.htm#page_01.htm\"> Content </a>",
                        "<br>",
                        "<a href=\"page_02.htm#id00000001\" id=\"id00000001\">fox</a>"
                        "&nbsp;&nbsp;&nbsp; (page_02.htm, 1)",
                        "&nbsp;&nbsp;<a href=\"s_1.htm#id00000001_4\">s_1</a>",
                        "&nbsp;&nbsp;<a href=\"index.htm#id00000001\"> index</a>",
                        "&nbsp;&nbsp;<a href=\"files_list.htm#page_02.htm\"> Content </a>",
                        "<a href=\"page_03.htm#id00000001\" id=\"id00000001\">fox</a>"
                        "&nbsp;&nbsp;&nbsp; (page_03.htm, 1)<br>",
                        "</body>",
                        "</html>",
                    }),
             "i_1.htm");

  ExpectFile(
      Concat(Header("<br>"),
             {
                 "<a href=\"page_01.htm\"><span id = \"page_01.htm\" >page_01.htm</span></a><br>",
                 "<a href=\"page_02.htm\"><span id = \"page_02.htm\" >page_02.htm</span></a><br>",
                 "<a href=\"page_03.htm\"><span id = \"page_03.htm\" >page_03.htm</span></a><br>",
                 "<br><br>",
                 "</body>",
                 "</html>",
             }),
      "files_list.htm");
}

TEST_F(IndexPagesTest, SingleGroupIsTheLastEntryOnly) {
  WriteAllLines("wrd_14_1.txt", {Record("id00000000", "page_01.htm", 1, 1, "Solo", 1),
                                 Record("id00000000", "page_01.htm", 2, 1, "solo", 2)});
  WriteWordIndexAndContents(run_);
  ExpectFile(Concat(Header("<br><br>"), {"<a href=\"files_list.htm\"> Content </a><br>", "<br>",
                                         "<a href=\"page_01.htm#id00000000\" id=\"id00000000\">"
                                         "Solo</a>&nbsp;&nbsp;&nbsp; (page_01.htm, 2)<br>",
                                         "</body>", "</html>"}),
             "i_1.htm");
}

TEST_F(IndexPagesTest, EmptyListsStillGiveBothPages) {
  // Missing and empty inputs read alike.
  for (bool files_present : {false, true}) {
    if (files_present) {
      WriteAllLines("wrd_14_1.txt", {});
      WriteAllLines("group_page_all_sort.txt", {});
    }
    WriteWordIndexAndContents(run_);
    ExpectFile(Concat(Header("<br><br>"), {"<a href=\"files_list.htm\"> Content </a><br>", "<br>",
                                           "<a href=\"#\" id=\"\"></a>&nbsp;&nbsp;&nbsp; (, 0)<br>",
                                           "</body>", "</html>"}),
               "i_1.htm");
    ExpectFile(Concat(Header("<br>"), {"<br><br>", "</body>", "</html>"}), "files_list.htm");
  }
}

}  // namespace
