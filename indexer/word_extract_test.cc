#include "indexer/word_extract.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/text.h"
#include "indexer/page_files.h"
#include "indexer/page_text_test_util.h"
#include "tests/test_util.h"

namespace {

// Words as "word@start-end", compact enough for tables.
std::vector<std::string> Described(const LineScan& scan) {
  std::vector<std::string> out;
  for (const FoundWord& w : scan.words) {
    out.push_back(w.word + "@" + std::to_string(w.start_column) + "-" +
                  std::to_string(w.end_column));
  }
  return out;
}

using Words = std::vector<std::string>;

TEST(ScanPageLine, WordRulesOnSingleLines) {
  struct Case {
    std::string line;
    Words words;
  } cases[] = {
      {"<br>Hello world", {"Hello@5-10", "world@11-15"}},
      {"<br>Hi", {}},
      {"<br><b>Bold</b>", {"Bold@8-12"}},
      {"<br><a href=\"#12\">Link</a> more words here", {}},
      {"<br>Alpha beta <a href=\"#2000\">link</a> after", {"Alpha@5-10", "beta@11-15"}},
      {"<br>say \"hello\" now", {"say@5-8", "hello@10-16", "now@17-19"}},
      {"<br>don\"t \"xy\"\" stop", {"don't@5-10", "xy'@12-16", "stop@17-20"}},
      {"Wordless", {"Wordless@1-8"}},
      {"ab", {}},
      {"alpha beta gamma", {"alpha@1-6", "beta@7-11", "gamma@12-16"}},
      {"<br>&nbsp;&nbsp;&nbsp; text", {"&nbsp;&nbsp;&nbsp;@5-23", "text@24-27"}},
      {"<br>one two<b>x</b>", {"one@5-8", "two@9-12"}},
      {"<b>x</b>tail", {"tail@9-12"}},
      {"<br>word ", {"word@5-9"}},
      {"cell</td>", {}},  // a word that runs from the line start into a tag
      {"<br>see look_at: here", {"see@5-8", "look_at:@9-17", "here@18-21"}},
      {"<SCRIPT>var abc = 1;</SCRIPT>", {"var@9-12", "abc@13-16"}},
      {"<br>caf\xc3\xa9 ok", {"caf\xc3\xa9@5-10"}},  // bytes count toward the length
      {"<br>  <i>x</i> end", {"end@16-18"}},
      {"<br>lost<", {}},  // the word meets a tag that starts and ends at the last column
  };
  for (const Case& c : cases) {
    ScanState state;
    LineScan scan = ScanPageLine(c.line, &state);
    EXPECT_TRUE(scan.scanned) << c.line;
    EXPECT_EQ(c.words, Described(scan)) << c.line;
  }
}

TEST(ScanPageLine, SkippedLines) {
  struct Case {
    std::string line;
    bool scanned;
  } cases[] = {
      {"<br><a href=\"#2001\">x</a>", false},
      {"<br><a href=\"#2000\">x</a>", true},
      {"<br><a HREF =\"#2500\">x</a>", false},
      {"<br><a href = \"#2500\">x</a>", true},  // the number is looked for right after ="#
      {"<br><a href=\"#1999.5\">x</a>", true},
      {"<br><a href=\"#abc\">x</a>", true},
      {"<br><a href=\"", true},
      {"<br>look_at: <a href=\"#12\">x</a>", false},
      {"<br><a href=\"#12\">x</a> look_at: y", true},
      {"<br><script>alert(1)</script>", false},
      {"<br><Style>p{}</STYLE>", false},
      {"javascript <script>", true},  // only the first "script" counts
      {"<", false},                   // starts a tag that does not end on the line
      {"", true},
  };
  for (const Case& c : cases) {
    ScanState state;
    EXPECT_EQ(c.scanned, ScanPageLine(c.line, &state).scanned) << c.line;
  }
}

// Lines of one page, scanned in turn with the state carried.
struct Step {
  std::string line;
  bool scanned;
  Words words;
};

void ExpectSteps(const std::vector<Step>& steps, ScanState* state) {
  for (const Step& s : steps) {
    LineScan scan = ScanPageLine(s.line, state);
    EXPECT_EQ(s.scanned, scan.scanned) << s.line;
    EXPECT_EQ(s.words, Described(scan)) << s.line;
  }
}

TEST(ScanPageLine, BlocksSpanLines) {
  ScanState state;
  ExpectSteps(
      {
          {"<br><script type=\"a\">", false, {}},
          {"<br>var inside = 1;", false, {}},
          {"<br></script>", false, {}},
          {"<br>after script", true, {"after@5-10", "script@11-16"}},
          {"<br><STYLE>", false, {}},
          {"<br>p {color: red}", false, {}},
          {"<br></style> gone", false, {}},
          {"<br><style> <p style=\"x\">kept", true, {"kept@26-29"}},  // style= never opens
          {"<br>plain again", true, {"plain@5-10", "again@11-15"}},
      },
      &state);
  // A block left open at a page's end does not reach into the next page.
  ScanPageLine("<br><script>", &state);
  EXPECT_FALSE(ScanPageLine("<br>still script", &state).scanned);
  state.ResetForPage();
  EXPECT_EQ(Words({"next@5-9", "page@10-13"}), Described(ScanPageLine("<br>next page", &state)));
}

TEST(ScanPageLine, OpenTagCarriesAcrossLinesAndPages) {
  ScanState state;
  ExpectSteps(
      {
          {"<br>alpha <span", true, {"alpha@5-10"}},
          {"class=\"x\" words inside", false, {}},
          {"id=\"y\">second word", true, {"second@8-14", "word@15-18"}},
          {"<", false, {}},
          {">tail end", true, {"end@7-9"}},  // a one-column tag hides the word before a space
          {"<br>beta <a title=\"t", true, {"beta@5-9"}},
      },
      &state);
  EXPECT_TRUE(state.open_tag);
  state.ResetForPage();
  EXPECT_TRUE(state.open_tag);
  ExpectSteps({{"x\">word here", true, {"word@4-8", "here@9-12"}}}, &state);
  EXPECT_FALSE(state.open_tag);
}

TEST(ScanPageLine, VeryLongLineIsScannedWhole) {
  std::string line = "<br>";
  const size_t kWords = 1 << 20;
  for (size_t i = 0; i < kWords; ++i) line += "word ";  // 5 MB
  line += "<b>last</b>";
  ScanState state;
  LineScan scan = ScanPageLine(line, &state);
  ASSERT_EQ(kWords + 1, scan.words.size());
  EXPECT_EQ(5u, scan.words.front().start_column);
  EXPECT_EQ(4 + 5 * (kWords - 1) + 1, scan.words[kWords - 1].start_column);
  EXPECT_EQ("last", scan.words.back().word);
  EXPECT_EQ(line.size() - 7, scan.words.back().start_column);

  std::string one_word(5 << 20, 'x');
  scan = ScanPageLine(one_word, &state);
  ASSERT_EQ(1u, scan.words.size());
  EXPECT_EQ(one_word.size(), scan.words[0].word.size());

  std::string one_tag = "<br><" + std::string(5 << 20, ' ') + ">x y";
  scan = ScanPageLine(one_tag, &state);
  EXPECT_TRUE(scan.words.empty());
}

// The occurrence records of the scan, shown as "word","page","line","column".
std::vector<std::string> Records(const WordLists& lists) {
  std::vector<std::string> lines;
  RecordReader<OccurrenceRecord> reader(kOccurrenceFile);
  for (const PageWords& page : lists.pages) {
    reader.Seek(page.first, page.first + page.count);
    OccurrenceRecord r;
    while (reader.Next(&r)) {
      lines.push_back(QuotedRecord({lists.vocabulary.SpellingText(r.spelling), page.name,
                                    std::to_string(r.line), std::to_string(r.column)}));
    }
  }
  return lines;
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
  PageMaker maker;
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
