#include "indexer/page_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "indexer/input_pages.h"
#include "tests/test_util.h"

namespace {

TEST(PageNames, WidthFollowsInputCount) {
  struct Case {
    size_t count;
    size_t width;
    std::string first_page;
  } cases[] = {
      {0, 0, "page_1.htm"},
      {1, 0, "page_1.htm"},
      {2, 2, "page_01.htm"},
      {10, 2, "page_01.htm"},
      {11, 3, "page_001.htm"},
      {100, 3, "page_001.htm"},
      {101, 4, "page_0001.htm"},
      {1000, 4, "page_0001.htm"},
      {1001, 5, "page_00001.htm"},
      {1000000, 7, "page_0000001.htm"},
      {1000001, 8, "page_00000001.htm"},
      {50000000, 8, "page_00000001.htm"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.width, PageNumberWidth(c.count)) << c.count;
    EXPECT_EQ(c.first_page, PageName(1, PageNumberWidth(c.count))) << c.count;
  }
  EXPECT_EQ("page_10.htm", PageName(10, 2));
  EXPECT_EQ("page_011.htm", PageName(11, 3));
  EXPECT_EQ("page_1234.htm", PageName(1234, 3));  // longer numbers in full
}

// Each page's text as it stands in the page-text file.
struct MadePages {
  std::map<std::string, std::string> text;
};

// Runs the phase and makes the page files; every page file it names must be there, empty
// until written in its final form.
MadePages RunMakePageFiles() {
  MadePages made;
  PageMaker maker(ListInputPages());
  const PageTexts texts = maker.Finish();
  const std::string all = ReadBytes(kPageTextFile);
  for (const auto& [page, text] : texts) {
    EXPECT_TRUE(PathExists(page)) << page;
    EXPECT_EQ("", ReadBytes(page)) << page;
    EXPECT_LE(text.begin, text.end) << page;
    made.text[page] =
        all.substr(static_cast<size_t>(text.begin), static_cast<size_t>(text.end - text.begin));
  }
  return made;
}

TEST(PageFiles, PagesInSortedOrderWithCarriedTableState) {
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  WriteBytes("htm_in/b.html", "<table border=1>\r\n\tcell\r\n");  // ends inside the table
  WriteBytes("htm_in/C.htm", "\tstill table\r\n</table>\r\nout\r\n");
  WriteBytes("htm_in/a.htm", "  first\n<pre>gone\n");
  WriteBytes("htm_in/f_promote.htm", "never indexed\r\n");
  WriteBytes("htm_in/notes.txt", "not html\r\n");

  MadePages made = RunMakePageFiles();
  EXPECT_EQ(CrLf({"a.htm", "b.html", "c.htm"}), ReadBytes("dir_01.txt"));
  EXPECT_EQ(CrLf({"<br>&nbsp;&nbsp;  first"}), made.text["page_01.htm"]);
  EXPECT_EQ(CrLf({"<table border=1>", "\tcell"}), made.text["page_02.htm"]);
  EXPECT_EQ(CrLf({"\tstill table", "<br></table>", "<br>out"}), made.text["page_03.htm"]);
  EXPECT_EQ(3u, made.text.size());
  EXPECT_FALSE(PathExists("page_04.htm"));
}

// A page that ends inside a script block leaves the next page outside one, as the word scan
// sees it; names with wildcard characters name one file each.
TEST(PageFiles, EachPageStartsOutsideBlocksAndNamesAreNotPatterns) {
  if (!NamesHoldAnyByte()) GTEST_SKIP() << "such names cannot exist on this system";
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  WriteBytes("htm_in/*.htm", "<script>\nvar a;\n");
  WriteBytes("htm_in/a?.htm", "var b;\n");
  WriteBytes("htm_in/ab.htm", "other\n");
  MadePages made = RunMakePageFiles();
  EXPECT_EQ(CrLf({"<script>", "var a;"}), made.text["page_01.htm"]);
  EXPECT_EQ(CrLf({"<br>var b;"}), made.text["page_02.htm"]);
  EXPECT_EQ(CrLf({"<br>other"}), made.text["page_03.htm"]);
}

TEST(PageFiles, ElevenInputsGetThreeDigits) {
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  for (int i = 0; i < 11; ++i) {
    WriteBytes("htm_in/f" + std::string(1, static_cast<char>('a' + i)) + ".htm",
               "text " + std::to_string(i) + "\n");
  }
  MadePages made = RunMakePageFiles();
  EXPECT_EQ(CrLf({"<br>text 0"}), made.text["page_001.htm"]);
  EXPECT_EQ(CrLf({"<br>text 10"}), made.text["page_011.htm"]);
  EXPECT_FALSE(PathExists("page_01.htm"));
}

TEST(PageFiles, AwkwardNames) {
  if (!NamesAreCaseSensitive()) GTEST_SKIP() << "A.htm and a.htm are one file here";
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  WriteBytes("htm_in/A.htm", "upper\n");
  WriteBytes("htm_in/a.htm", "lower\n");
  WriteBytes("htm_in/my page.htm", "blank name\n");
  WriteBytes("htm_in/\xc3\xa9t\xc3\xa9.htm", "summer\n");
  WriteBytes("htm_in/page.htm", "named like a page\n");
  WriteBytes("htm_in/s_x>y.htm", "odd\n");
  std::vector<std::string> before = ListNames("htm_in");

  MadePages made = RunMakePageFiles();
  // Sorted without regard to case: a, a, my page, page, s_x>y, then the UTF-8 name, whose
  // first byte is above every ASCII letter.
  std::vector<std::string> expected = {
      CrLf({"<br>upper"}),      CrLf({"<br>lower"}),
      CrLf({"<br>blank name"}), CrLf({"<br>named like a page"}),
      CrLf({"<br>odd"}),        CrLf({"<br>summer"}),
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    std::string page = "page_0" + std::to_string(i + 1) + ".htm";
    ASSERT_TRUE(PathExists(page)) << page;
    EXPECT_EQ(expected[i], made.text[page]) << page;
  }
  EXPECT_FALSE(PathExists("page_07.htm"));
  EXPECT_EQ(before, ListNames("htm_in"));
  EXPECT_EQ("upper\n", ReadBytes("htm_in/A.htm"));
}

TEST(PageFiles, NamesThatCannotBeUsedAsListed) {
  if (!NamesHoldAnyByte()) GTEST_SKIP() << "such names cannot exist on this system";
  ScopedWorkDir dir;
  MakeDirs("htm_in/a");
  WriteBytes("htm_in/a\\b.htm", "backslash in the name\n");  // would name htm_in/a/b.htm
  WriteBytes("htm_in/a/b.htm", "not this one\n");
  WriteBytes("htm_in/c\x01\t.htm", "control bytes in the name\n");
  std::string long_name(250, 'l');  // near the longest name the file system takes
  WriteBytes("htm_in/" + long_name + ".htm", "long name\n");
  std::vector<std::string> before = ListNames("htm_in");
  CapturedConsole console;
  MadePages made = RunMakePageFiles();
  // The odd name takes no page number: the one other page is page_1.htm.
  EXPECT_EQ(1u, made.text.size());
  EXPECT_EQ(CrLf({"<br>long name"}), made.text["page_1.htm"]);
  EXPECT_EQ(
      "Skipped htm_in page \"a\\\\b.htm\": a Windows folder cannot hold its name (a backslash "
      "or a control character)\n"
      "Skipped htm_in page \"c\\x01\\t.htm\": a Windows folder cannot hold its name (a "
      "backslash or a control character)\n",
      console.err);
  EXPECT_EQ(before, ListNames("htm_in"));
  EXPECT_EQ(std::vector<std::string>{"b.htm"}, ListNames("htm_in/a"));
}

TEST(PageFiles, BinaryInputAndLongLine) {
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  std::string nul_bytes("a\0b\0\0c\r\n\0\0\0", 12);
  std::string long_line(5 << 20, 'x');
  WriteBytes("htm_in/bin.htm", nul_bytes);
  WriteBytes("htm_in/long.htm", long_line + "\n");
  MadePages made = RunMakePageFiles();
  EXPECT_EQ(CrLf({"<br>abc", "<br>"}), made.text["page_01.htm"]);
  EXPECT_EQ(CrLf({"<br>" + long_line}), made.text["page_02.htm"]);
}

}  // namespace
