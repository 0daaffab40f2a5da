#include "indexer/consolidate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/work_dir.h"
#include "tests/test_util.h"

namespace {

struct Word {
  std::string word;
  std::string page;
  int line;
  int column;
};

std::string LineField(int line) { return RightAlign(std::to_string(line), 10); }
std::string ColumnField(int column) { return RightAlign(std::to_string(column), 6); }

std::string WordRecord(const Word& w) {
  return QuotedRecord({w.word, w.page, LineField(w.line), ColumnField(w.column), w.word});
}

std::string Wrd01(const std::vector<Word>& words) {
  std::vector<std::string> lines;
  for (const Word& w : words) lines.push_back(WordRecord(w));
  return CrLf(lines);
}

// One line of the occurrence table as the decoration reads it.
struct Occurrence {
  Word at;
  std::string id;
  int number;
  std::string next_page;
};

std::string DocumentOrderLine(const Occurrence& o) {
  return QuotedRecord({o.at.page, LineField(o.at.line), ColumnField(o.at.column), o.at.word, o.id,
                       std::to_string(o.number)});
}

std::string TableLine(const Occurrence& o) {
  return QuotedRecord({o.at.page, LineField(o.at.line), ColumnField(o.at.column), o.at.word, o.id,
                       std::to_string(o.number), o.next_page});
}

// Every work file the later phases read, and the ones kept with their names.
const char* const kOutputs[] = {
    "wrd_01_01.txt",
    "wrd_01_02.txt",
    "wrd_03.txt",
    "wrd_04.txt",
    "wrd_05.txt",
    "wrd_06.txt",
    "wrd_07.txt",
    "wrd_08.txt",
    "group_page_all.txt",
    "group_search_1.txt",
    "group_page_all_sort.txt",
    "wrd_11_1.txt",
    "wrd_12_1.txt",
    "wrd_13_1.txt",
    "wrd_14_1.txt",
    "wrd_15.txt",
    "wrd_24_1.txt",
    "wrd_24/wrd_24_1.txt",
};

std::string Consolidate(const std::string& wrd_01) {
  WriteBytes("wrd_01.txt", wrd_01);
  testing::internal::CaptureStdout();
  ConsolidateWordLists(StepFiles::kKeep);
  return testing::internal::GetCapturedStdout();
}

constexpr char kProgress[] = "processed 20%\nprocessed 30%\nprocessed 40%\nprocessed 50%\n";

TEST(Consolidate, OccurrenceTableNumbersWordsAndFindsNextPages) {
  const std::string p1 = "page_01.htm", p2 = "page_02.htm", p3 = "page_03.htm";
  struct Case {
    const char* behaviour;
    std::vector<Word> input;
    std::vector<Occurrence> table;  // expected, in document order
  } cases[] = {
      {"case variants share one id, numbered by page and line",
       {{"Apple", p1, 1, 1}, {"APPLE", p1, 2, 5}, {"apple", p2, 1, 1}},
       {{{"Apple", p1, 1, 1}, "id00000000", 1, p2},
        {{"APPLE", p1, 2, 5}, "id00000000", 2, p2},
        {{"apple", p2, 1, 1}, "id00000000", 3, ""}}},
      {"the second key after three records of the first gets id00000003",
       {{"bee", p1, 1, 1}, {"ant", p1, 1, 5}, {"ant", p1, 2, 1}, {"Ant", p2, 3, 1}},
       {{{"bee", p1, 1, 1}, "id00000003", 1, ""},
        {{"ant", p1, 1, 5}, "id00000000", 1, p2},
        {{"ant", p1, 2, 1}, "id00000000", 2, p2},
        {{"Ant", p2, 3, 1}, "id00000000", 3, ""}}},
      {"a word on three pages points to each following page",
       {{"cat", p1, 4, 1}, {"cat", p2, 1, 1}, {"cat", p3, 9, 2}},
       {{{"cat", p1, 4, 1}, "id00000000", 1, p2},
        {{"cat", p2, 1, 1}, "id00000000", 2, p3},
        {{"cat", p3, 9, 2}, "id00000000", 3, ""}}},
      {"three times on one page and once two pages later, past a page without words",
       {{"dog", p1, 1, 1}, {"dog", p1, 1, 9}, {"dog", p1, 3, 1}, {"dog", p3, 1, 1}},
       {{{"dog", p1, 1, 1}, "id00000000", 1, p3},
        {{"dog", p1, 1, 9}, "id00000000", 2, p3},
        {{"dog", p1, 3, 1}, "id00000000", 3, p3},
        {{"dog", p3, 1, 1}, "id00000000", 4, ""}}},
      {"words holding &nbsp; in any case are dropped before ids are counted",
       {{"&nbsp;&nbsp;", p1, 1, 1}, {"one&NBSP;two", p1, 1, 20}, {"Real", p1, 1, 40}},
       {{{"Real", p1, 1, 40}, "id00000000", 1, ""}}},
      {"a word that spells another word's id does not join that word's occurrences",
       {{"aaa", p1, 1, 1}, {"aaa", p3, 1, 1}, {"zid00000000", "page_05.htm", 1, 1}},
       {{{"aaa", p1, 1, 1}, "id00000000", 1, p3},
        {{"aaa", p3, 1, 1}, "id00000000", 2, ""},
        {{"zid00000000", "page_05.htm", 1, 1}, "id00000002", 1, ""}}},
      {"two spellings on one line are numbered by spelling before column",
       {{"foo", p1, 1, 3}, {"Foo", p1, 1, 20}},
       {{{"foo", p1, 1, 3}, "id00000000", 2, ""}, {{"Foo", p1, 1, 20}, "id00000000", 1, ""}}},
  };
  for (const Case& c : cases) {
    ScopedWorkDir dir;
    EXPECT_EQ(kProgress, Consolidate(Wrd01(c.input))) << c.behaviour;
    std::vector<std::string> document_order, table;
    for (const Occurrence& o : c.table) {
      document_order.push_back(DocumentOrderLine(o));
      table.push_back(TableLine(o));
    }
    EXPECT_EQ(CrLf(document_order), ReadBytes("wrd_12_1.txt")) << c.behaviour;
    EXPECT_EQ(CrLf(table), ReadBytes("wrd_24_1.txt")) << c.behaviour;
    EXPECT_EQ(CrLf(table), ReadBytes("wrd_24/wrd_24_1.txt")) << c.behaviour;
  }
}

TEST(Consolidate, PageListsAndSplitByPage) {
  ScopedWorkDir dir;
  // page_02 holds no word; "bee" occurs twice on page_03 and once on page_01.
  Consolidate(Wrd01({{"bee", "page_01.htm", 2, 1},
                     {"Ant", "page_01.htm", 5, 1},
                     {"bee", "page_03.htm", 1, 1},
                     {"Bee", "page_03.htm", 1, 7}}));
  EXPECT_EQ(CrLf({"page_01.htm", "page_03.htm"}), ReadBytes("group_page_all.txt"));
  EXPECT_EQ(CrLf({"page_01.htm", "page_03.htm"}), ReadBytes("group_page_all_sort.txt"));
  EXPECT_EQ(CrLf({"\"page_01.htm\"", "\"page_03.htm\""}), ReadBytes("group_search_1.txt"));
  // Within a page: descending occurrence number, then word id (wrd_08's order). On page_03
  // "Bee" sorts before "bee" by spelling: it is occurrence 2, "bee" at column 1 is 3.
  EXPECT_EQ(CrLf({
                "\"page_01.htm\",\"         5\",\"     1\",\"Ant\",\"id00000000\",\"1\"",
                "\"page_01.htm\",\"         2\",\"     1\",\"bee\",\"id00000001\",\"1\"",
                "\"page_03.htm\",\"         1\",\"     1\",\"bee\",\"id00000001\",\"3\"",
                "\"page_03.htm\",\"         1\",\"     7\",\"Bee\",\"id00000001\",\"2\"",
            }),
            ReadBytes("wrd_11_1.txt"));
  EXPECT_EQ(
      CrLf({
          "\"id00000000\",\"page_01.htm\",\"         5\",\"     1\",\"Ant\",\"id00000000\",\"1\"",
          "\"id00000001\",\"page_01.htm\",\"         2\",\"     1\",\"bee\",\"id00000001\",\"1\"",
          "\"id00000001\",\"page_03.htm\",\"         1\",\"     1\",\"bee\",\"id00000001\",\"3\"",
          "\"id00000001\",\"page_03.htm\",\"         1\",\"     7\",\"Bee\",\"id00000001\",\"2\"",
      }),
      ReadBytes("wrd_14_1.txt"));
  EXPECT_EQ(CrLf({
                "\"id00000000\",\"    1\",\"page_01.htm\",\"         5\",\"     1\",\"Ant\",\"1\"",
                "\"id00000001\",\"    1\",\"page_01.htm\",\"         2\",\"     1\",\"bee\",\"1\"",
                "\"id00000001\",\"    1\",\"page_03.htm\",\"         1\",\"     1\",\"bee\",\"3\"",
                "\"id00000001\",\"    1\",\"page_03.htm\",\"         1\",\"     7\",\"Bee\",\"2\"",
            }),
            ReadBytes("wrd_15.txt"));
}

TEST(Consolidate, EmptyWordListGivesEmptyFilesAndTheRunGoesOn) {
  for (bool missing : {false, true}) {
    ScopedWorkDir dir;
    if (!missing) WriteBytes("wrd_01.txt", "");
    testing::internal::CaptureStdout();
    ConsolidateWordLists(StepFiles::kKeep);
    EXPECT_EQ(kProgress, testing::internal::GetCapturedStdout());
    for (const char* name : kOutputs) {
      EXPECT_TRUE(PathExists(name)) << name << (missing ? " (no wrd_01.txt)" : "");
      EXPECT_EQ("", ReadBytes(name)) << name;
    }
  }
}

TEST(Consolidate, OccurrenceFolderIsRefreshed) {
  ScopedWorkDir dir;
  MakeDirs("wrd_24");
  WriteBytes("wrd_24/old.txt", "stale\r\n");
  WriteBytes("wrd_24/wrd_24_1.txt", "stale\r\n");
  WriteBytes("wrd_24/keep.htm", "kept\r\n");
  Consolidate(Wrd01({{"word", "page_1.htm", 1, 1}}));
  EXPECT_EQ((std::vector<std::string>{"keep.htm", "wrd_24_1.txt"}), ListNames("wrd_24"));
  EXPECT_EQ(ReadBytes("wrd_24_1.txt"), ReadBytes("wrd_24/wrd_24_1.txt"));
  EXPECT_NE("", ReadBytes("wrd_24_1.txt"));
}

// ---- The phase as its steps are written, re-reading lists the slow way ----

using Lines = std::vector<std::string>;

Lines ByteSorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// The interpreter's sort: A-Z fold to a-z, ties broken by byte order.
Lines CaseBlindSorted(Lines lines) {
  std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerAscii(a), lb = LowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return lines;
}

std::map<std::string, Lines> ReferenceConsolidation(const Lines& wrd_01) {
  std::map<std::string, Lines> f;
  for (const std::string& line : wrd_01) {
    Lines r = SplitQuotedRecord(line);
    std::string key = LowerAscii(r[0]);
    if (!Contains(key, "&nbsp;"))
      f["wrd_01_01.txt"].push_back(QuotedRecord({key, r[1], r[2], r[0], r[3], r[4]}));
  }
  f["wrd_01_02.txt"] = ByteSorted(f["wrd_01_01.txt"]);
  std::string key, id;
  for (size_t i = 0; i < f["wrd_01_02.txt"].size(); ++i) {
    Lines r = SplitQuotedRecord(f["wrd_01_02.txt"][i]);
    if (i == 0 || r[0] != key) key = r[0], id = "id" + ZeroPadded(static_cast<long long>(i), 8);
    f["wrd_03.txt"].push_back(QuotedRecord({r[1], r[2], r[4], r[3], id}));
  }
  std::string previous;
  int counter = 0;
  for (const std::string& line : f["wrd_03.txt"]) {
    Lines r = SplitQuotedRecord(line);
    counter = (counter == 0 || r[4] == previous) ? counter + 1 : 1;
    previous = r[4];
    f["wrd_04.txt"].push_back(
        QuotedRecord({r[0], r[1], r[2], r[3], r[4], std::to_string(counter)}));
  }
  f["wrd_05.txt"] = f["wrd_06.txt"] = ByteSorted(f["wrd_04.txt"]);
  for (const std::string& line : f["wrd_06.txt"]) {
    Lines r = SplitQuotedRecord(line);
    f["wrd_07.txt"].push_back(QuotedRecord(
        {ZeroPadded(100000000 - std::stoll(r[5]), 8), r[4], r[0], r[1], r[2], r[3], r[4], r[5]}));
  }
  f["wrd_08.txt"] = ByteSorted(f["wrd_07.txt"]);
  Lines& pages = f["group_page_all.txt"];
  for (const std::string& line : f["wrd_07.txt"]) {
    std::string page = SplitQuotedRecord(line)[2];
    if (std::find(pages.begin(), pages.end(), page) != pages.end()) continue;
    pages.push_back(page);
    f["group_search_1.txt"].push_back(QuotedRecord({page}));
  }
  f["group_page_all_sort.txt"] = ByteSorted(pages);
  for (const std::string& page : pages) {
    for (const std::string& line : f["wrd_08.txt"]) {
      Lines r = SplitQuotedRecord(line);
      if (r[2] != page) continue;
      f["wrd_11_1.txt"].push_back(QuotedRecord({r[2], r[3], r[4], r[5], r[6], r[7]}));
      f["wrd_13_1.txt"].push_back(QuotedRecord({r[1], r[2], r[3], r[4], r[5], r[6], r[7]}));
      f["wrd_15.txt"].push_back(QuotedRecord({r[1], "    1", r[2], r[3], r[4], r[5], r[7]}));
    }
  }
  f["wrd_12_1.txt"] = CaseBlindSorted(f["wrd_11_1.txt"]);
  f["wrd_14_1.txt"] = CaseBlindSorted(f["wrd_13_1.txt"]);
  // findstr "{X}" wrd_03.txt, made once per word; only the pages of its lines are read.
  std::map<std::string, Lines> per_word_pages;
  for (const std::string& line : f["wrd_12_1.txt"]) {
    Lines r = SplitQuotedRecord(line);
    const std::string& page = r[0];
    if (!per_word_pages.count(r[4])) {
      for (const std::string& w : f["wrd_03.txt"]) {
        if (Contains(w, r[4])) per_word_pages[r[4]].push_back(SplitQuotedRecord(w)[0]);
      }
    }
    const Lines& file = per_word_pages[r[4]];
    size_t i = 0;
    while (i < file.size() && file[i] != page) ++i;
    while (i < file.size() && file[i] == page) ++i;
    std::string next = i < file.size() && file[i] > page ? file[i] : "";
    f["wrd_24_1.txt"].push_back(QuotedRecord({r[0], r[1], r[2], r[3], r[4], r[5], next}));
  }
  f["wrd_24/wrd_24_1.txt"] = f["wrd_24_1.txt"];
  return f;
}

// A book of 30 pages (page_05 and page_17 without words), Zipf-like word frequencies,
// spellings differing in case, "&nbsp;" runs, several words per line. With
// `mixed_case_pages` the page names hold capitals, so that the byte order and the sort
// command's order of the document-order lists differ and no shortcut may be taken.
Lines GeneratedBook(unsigned seed, bool mixed_case_pages = false) {
  std::mt19937 random(seed);
  // Keys that are prefixes of each other, or hold a byte below the quote, test the
  // byte order of the merge sort against the field boundaries.
  Lines vocabulary = {"the", "The!", "then", "the's", "Then"};
  for (int i = 0; i < 120; ++i) {
    std::string w = {char('a' + i % 26), char('a' + (i / 26) % 26), char('k' + i % 7)};
    vocabulary.push_back(w + (i % 3 == 0 ? "s" : ""));
  }
  vocabulary.push_back("&nbsp;&nbsp;");
  std::vector<double> weights;
  for (size_t i = 0; i < vocabulary.size(); ++i) weights.push_back(1.0 / double(i + 1));
  std::discrete_distribution<size_t> pick(weights.begin(), weights.end());
  Lines lines;
  for (int page = 1; page <= 30; ++page) {
    if (page == 5 || page == 17) continue;
    std::string name = "page_" + ZeroPadded(page, 2) + ".htm";
    if (mixed_case_pages) name = std::string("page_") + (page % 2 ? "B" : "a") + name.substr(5);
    for (int line = 1; line <= 20; ++line) {
      int column = 1 + int(random() % 3);
      for (int n = int(random() % 12); n > 0; --n) {
        std::string w = vocabulary[pick(random)];
        if (random() % 5 == 0) w[0] = char(std::toupper(w[0]));
        if (random() % 11 == 0) w = UpperAscii(w);
        lines.push_back(WordRecord({w, name, line, column}));
        column += int(w.size()) + 1 + int(random() % 4);
      }
    }
  }
  return lines;
}

TEST(Consolidate, MatchesTheSlowStepByStepVersion) {
  for (unsigned seed : {1u, 2u, 3u}) {
    ScopedWorkDir dir;
    Lines book = GeneratedBook(seed, seed == 3);
    ASSERT_GT(book.size(), 2500u);
    std::map<std::string, Lines> expected = ReferenceConsolidation(book);
    Consolidate(CrLf(book));
    for (const char* name : kOutputs) {
      std::string difference = FirstDifference(CrLf(expected[name]), ReadBytes(name));
      EXPECT_EQ("", difference) << name << " (seed " << seed << ")";
    }
    // The mixed-case book must take the general way (next pages in word order, then the
    // sort), the others the direct one, so that the comparison covers both.
    EXPECT_EQ(seed == 3, FileExists("wrd_23_1.txt")) << seed;
  }
}

// Deleting the step files as soon as they are read must leave the files later phases read
// as they are, on the direct way and on the general one.
TEST(Consolidate, StepFilesGoOnceReadAndTheResultsStay) {
  const std::vector<std::string> results = {"group_page_all_sort.txt",
                                            "wrd_11_1.txt",
                                            "wrd_12_1.txt",
                                            "wrd_14_1.txt",
                                            "wrd_15.txt",
                                            "wrd_24_1.txt",
                                            "wrd_24/wrd_24_1.txt"};
  for (unsigned seed : {1u, 3u}) {
    Lines book = GeneratedBook(seed, seed == 3);
    std::map<std::string, std::string> kept;
    {
      ScopedWorkDir dir;
      Consolidate(CrLf(book));
      for (const std::string& name : results) kept[name] = ReadBytes(name);
    }
    ScopedWorkDir dir;
    WriteBytes("wrd_01.txt", CrLf(book));
    testing::internal::CaptureStdout();
    ConsolidateWordLists();
    EXPECT_EQ(kProgress, testing::internal::GetCapturedStdout());
    for (const std::string& name : results) {
      EXPECT_EQ("", FirstDifference(kept[name], ReadBytes(name))) << name << " " << seed;
    }
    for (const char* name :
         {"wrd_01.txt", "wrd_01_01.txt", "wrd_01_02.txt", "wrd_03.txt", "wrd_04.txt", "wrd_05.txt",
          "wrd_06.txt", "wrd_07.txt", "wrd_08.txt", "wrd_09.txt", "wrd_10.txt", "wrd_13_1.txt",
          "wrd_23_1.txt", "file_s_1.txt"}) {
      EXPECT_FALSE(PathExists(name)) << name << " " << seed;
    }
  }
}

}  // namespace
