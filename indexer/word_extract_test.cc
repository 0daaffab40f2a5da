#include "indexer/word_extract.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/text.h"
#include "indexer/input_pages.h"
#include "indexer/page_files.h"
#include "indexer/page_text_test_util.h"
#include "tests/test_util.h"

namespace {

using Words = std::vector<std::string>;

// The occurrence records of one page, as the scan wrote them.
std::vector<OccurrenceRecord> RecordsOf(const WordLists& lists, const PageWords& page) {
  std::vector<OccurrenceRecord> records;
  RecordReader<OccurrenceRecord> reader(lists.occurrence_file);
  reader.Seek(page.first, page.first + page.count);
  OccurrenceRecord r;
  while (reader.Next(&r)) records.push_back(r);
  return records;
}

// The occurrence records of the scan, shown as "word","page","line","column".
std::vector<std::string> Records(const WordLists& lists) {
  std::vector<std::string> lines;
  for (const PageWords& page : lists.pages) {
    for (const OccurrenceRecord& r : RecordsOf(lists, page)) {
      lines.push_back(QuotedRecord({lists.vocabulary.SpellingText(r.spelling), page.name,
                                    std::to_string(r.line), std::to_string(r.column)}));
    }
  }
  return lines;
}

// The words a run files from a page of one line, as "word@column".
Words LineWords(const std::string& line) {
  ScopedWorkDir dir;
  const WordLists lists = ScanPages({{"page_1.htm", {line}}});
  Words words;
  for (const PageWords& page : lists.pages) {
    for (const OccurrenceRecord& r : RecordsOf(lists, page)) {
      words.push_back(std::string(lists.vocabulary.SpellingText(r.spelling)) + "@" +
                      std::to_string(r.column));
    }
  }
  return words;
}

TEST(ExtractWords, WordRulesOnSingleLines) {
  struct Case {
    std::string line;
    Words words;
  } cases[] = {
      {"<br>Hello world", {"Hello@5", "world@11"}},
      {"<br>Hi", {}},
      {"<br><b>Bold</b>", {"Bold@8"}},
      {"<br><a href=\"#12\">Link</a> more words here", {}},
      {"<br>Alpha beta <a href=\"#2000\">link</a> after", {"Alpha@5", "beta@11"}},
      {"<br>say \"hello\" now", {"say@5", "hello@10", "now@17"}},
      {"<br>don\"t \"xy\"\" stop", {"don't@5", "xy'@12", "stop@17"}},
      {"Wordless", {"Wordless@1"}},
      {"ab", {}},
      {"alpha beta gamma", {"alpha@1", "beta@7", "gamma@12"}},
      {"<br>&nbsp;&nbsp;&nbsp; text", {"text@24"}},  // the blanks are no word of any list
      {"<br>one two<b>x</b>", {"one@5", "two@9"}},
      {"<b>x</b>tail", {"tail@9"}},
      {"<br>word ", {"word@5"}},
      {"cell</td>", {}},  // a word that runs from the line start into a tag
      {"<br>see look_at: here", {"see@5", "look_at:@9", "here@18"}},
      {"<SCRIPT>var abc = 1;</SCRIPT>", {"var@9", "abc@13"}},
      {"<br>caf\xc3\xa9 ok", {"caf\xc3\xa9@5"}},  // bytes count toward the length
      {"<br>  <i>x</i> end", {"end@16"}},
      {"<br>lost<", {}},  // the word meets a tag that starts and ends at the last column
  };
  for (const Case& c : cases) EXPECT_EQ(c.words, LineWords(c.line)) << c.line;
}

TEST(ExtractWords, LinesSkippedWhole) {
  struct Case {
    std::string line;
    Words words;  // none where the line is skipped
  } cases[] = {
      {"<br>see <a href=\"#2001\">x</a>", {}},
      {"<br>see <a href=\"#2000\">x</a>", {"see@5"}},
      {"<br>see <a HREF =\"#2500\">x</a>", {}},
      {"<br>see <a href = \"#2500\">x</a>", {"see@5"}},  // the number is looked for right after ="#
      {"<br>see <a href=\"#1999.5\">x</a>", {"see@5"}},
      {"<br>see <a href=\"#abc\">x</a>", {"see@5"}},
      {"<br>see <a href=\"", {"see@5"}},
      {"<br>look_at: <a href=\"#12\">x</a>", {}},
      {"<br>see <a href=\"#12\">x</a> look_at: y", {"see@5"}},
      {"<br>say <script>alert(1)</script>", {}},
      {"<br>say <Style>p{}</STYLE>", {}},
      {"javascript <script>", {"javascript@1"}},  // only the first "script" counts
  };
  for (const Case& c : cases) EXPECT_EQ(c.words, LineWords(c.line)) << c.line;
}

TEST(ExtractWords, BlocksSpanLinesButNotPages) {
  ScopedWorkDir dir;
  const WordLists lists = ScanPages({
      {"page_1.htm",
       {
           "<br><script type=\"a\">",
           "<br>var inside = 1;",
           "<br></script>",
           "<br>after script",
           "<br><STYLE>",
           "<br>p {color: red}",
           "<br></style> gone",
           "<br><style> <p style=\"x\">kept",  // style= never opens a block
           "<br>plain again",
           "<br><script>",  // left open at the page's end
           "<br>still script",
       }},
      {"page_2.htm", {"<br>next page"}},
  });
  EXPECT_EQ((std::vector<std::string>{
                R"("after","page_1.htm","4","5")",
                R"("script","page_1.htm","4","11")",
                R"("kept","page_1.htm","8","26")",
                R"("plain","page_1.htm","9","5")",
                R"("again","page_1.htm","9","11")",
                R"("next","page_2.htm","1","5")",
                R"("page","page_2.htm","1","10")",
            }),
            Records(lists));
}

TEST(ExtractWords, OpenTagCarriesAcrossLinesAndPages) {
  ScopedWorkDir dir;
  const WordLists lists = ScanPages({
      {"page_1.htm",
       {
           "<br>alpha <span",
           "class=\"x\" words inside",
           "id=\"y\">second word",
           "<",
           ">tail end",  // a one-column tag hides the word before a space
           "<br>beta <a title=\"t",
       }},
      {"page_2.htm", {"x\">word here", "open no more"}},
  });
  EXPECT_EQ((std::vector<std::string>{
                R"("alpha","page_1.htm","1","5")",
                R"("second","page_1.htm","3","8")",
                R"("word","page_1.htm","3","15")",
                R"("end","page_1.htm","5","7")",
                R"("beta","page_1.htm","6","5")",
                R"("word","page_2.htm","1","4")",
                R"("here","page_2.htm","1","9")",
                R"("open","page_2.htm","2","1")",
                R"("more","page_2.htm","2","9")",
            }),
            Records(lists));
}

TEST(ExtractWords, VeryLongLinesAreScannedWhole) {
  ScopedWorkDir dir;
  std::string line = "<br>";
  const size_t kWords = 1 << 20;
  for (size_t i = 0; i < kWords; ++i) line += "word ";  // 5 MB
  line += "<b>last</b>";
  const std::string one_word(5 << 20, 'x');
  const std::string one_tag = "<br><" + std::string(5 << 20, ' ') + ">x y";
  const WordLists lists =
      ScanPages({{"page_1.htm", {line}}, {"page_2.htm", {one_word}}, {"page_3.htm", {one_tag}}});

  ASSERT_EQ(2u, lists.pages.size());  // page_3 holds no word
  std::vector<OccurrenceRecord> words = RecordsOf(lists, lists.pages[0]);
  ASSERT_EQ(kWords + 1, words.size());
  EXPECT_EQ(5u, words.front().column);
  EXPECT_EQ(4 + 5 * (kWords - 1) + 1, words[kWords - 1].column);
  EXPECT_EQ("last", lists.vocabulary.SpellingText(words.back().spelling));
  EXPECT_EQ(line.size() - 7, words.back().column);

  EXPECT_EQ("page_2.htm", lists.pages[1].name);
  words = RecordsOf(lists, lists.pages[1]);
  ASSERT_EQ(1u, words.size());
  EXPECT_EQ(one_word.size(), lists.vocabulary.SpellingText(words[0].spelling).size());
}

TEST(ExtractWords, PagesToRecords) {
  ScopedWorkDir dir;
  MakeDirs("htm_in");
  WriteBytes("htm_in/alpha.htm",
             "<html>\n<body>\nHello world, this is \"quoted\" text\n<b>Bold</b> and <i>it</i>\n"
             "<script>\nvar hidden = 1;\n</script>\n<a href=\"#12\">Link</a> lost words\n"
             "  done\n<span title=\"open\n");
  WriteBytes("htm_in/beta.htm",
             "end\">Second page\n<style>\np {color: red}\n</style>\nThird<br>line\n");
  PageMaker maker(ListInputPages());
  WordLists lists =
      ExtractWords([&](std::string* page, PageSource* text) { return maker.Next(page, text); });
  maker.Finish();
  // "&nbsp;&nbsp;" at line 9 is no word of any list.
  const std::vector<std::string> expected = {
      R"("Hello","page_01.htm","3","5")",       R"("world,","page_01.htm","3","11")",
      R"("this","page_01.htm","3","18")",       R"("quoted","page_01.htm","3","27")",
      R"("text","page_01.htm","3","35")",       R"("Bold","page_01.htm","4","8")",
      R"("and","page_01.htm","4","17")",        R"("done","page_01.htm","9","19")",
      R"("end'>Second","page_02.htm","1","5")", R"("page","page_02.htm","1","17")",
      R"("Third","page_02.htm","5","5")",       R"("line","page_02.htm","5","14")",
  };
  EXPECT_EQ(expected, Records(lists));
  EXPECT_EQ(12u, lists.total);
}

TEST(ExtractWords, NulBytesAndEmptyPages) {
  ScopedWorkDir dir;
  const WordLists lists = ScanPages({
      {"page_1.htm", {std::string("<br>nul\0byte word", 17), "<br>x"}},
      {"page_2.htm", {}},
      {"page_3.htm", {"<br>last"}},
  });
  EXPECT_EQ((std::vector<std::string>{
                std::string(R"("nul)") + '\0' + R"(byte","page_1.htm","1","5")",
                R"("word","page_1.htm","1","14")", R"("last","page_3.htm","1","5")"}),
            Records(lists));
  ASSERT_EQ(2u, lists.pages.size());  // a page without words stands in no list
}

}  // namespace
