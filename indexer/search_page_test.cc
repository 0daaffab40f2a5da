#include "indexer/search_page.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "indexer/page_text_test_util.h"
#include "tests/test_util.h"

namespace {

struct Record {
  std::string page;
  int line;
  int column;
  std::string word;
  std::string word_id;
  int occurrence;
};

// Writes the page and returns its lines after the header and script; without the lines that
// open and close its blocks unless `with_blocks`.
std::vector<std::string> PageBody(const IndexerRun& run, const std::vector<Record>& records,
                                  bool with_blocks = false) {
  {
    SearchPageWriter writer(run, 1);
    for (const Record& r : records) {
      Occurrence o;
      o.page = r.page;
      o.line = r.line;
      o.column = r.column;
      o.word = r.word;
      o.word_id = r.word_id;
      o.number = r.occurrence;
      writer.Add(o);
    }
  }
  std::vector<std::string> lines;
  std::istringstream in(ReadBytes("s_1.htm"));
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(EndsWith(line, "\r")) << line;
    lines.push_back(line.substr(0, line.size() - 1));
  }
  // The head and the highlight script are the same on every page the indexer writes; the
  // end-to-end cases compare them. The body starts after the script.
  size_t start = 0;
  while (start < lines.size() && lines[start] != "</script>") ++start;
  EXPECT_LT(start, lines.size()) << "no highlight script";
  std::vector<std::string> body;
  for (size_t i = start + 1; i < lines.size(); ++i) {
    if (with_blocks || (lines[i] != "<div>" && lines[i] != "</div>")) body.push_back(lines[i]);
  }
  return body;
}

TEST(SearchPage, WholePageForTwoPages) {
  ScopedWorkDir dir;
  // The record on page 2, line 3 continues page 1's line 3: lines are told apart by number.
  // Each page's lines are a block; a line belongs to the page of its first word.
  const std::vector<Record> records = {{"page_0001.htm", 1, 1, "Alpha", "id00000000", 1},
                                       {"page_0001.htm", 1, 7, "beta", "id00000002", 1},
                                       {"page_0001.htm", 3, 1, "gamma", "id00000005", 1},
                                       {"page_0002.htm", 3, 4, "alpha", "id00000000", 2},
                                       {"page_0002.htm", 7, 2, "delta", "id00000003", 1}};
  IndexerRun run;
  run.target_address = "shop.example.org";
  std::vector<std::string> expected = {
      "<div>",
      " <span id=\"id00000000_1\"><a href=\"i_1.htm#id00000000\">Alpha</a></span> "
      "<span id=\"id00000002_1\"><a href=\"i_1.htm#id00000002\">beta</a></span><br>",
      "<a href=\"i_1.htm#id00000005\">i_1</a>",
      "&nbsp <a href=\"index.htm#id00000005\">index</a>",
      "&nbsp <a href=\"files_list.htm#page_0001.htm\"> Content (page_0001.htm)</a>",
      "&nbsp <a href=\"https://www.google.com/search?q=Alpha beta  site:shop.example.org\"> "
      "shop.example.org</a>",
      "&nbsp <a href=\"https://www.google.com/search?q=Alpha beta \"> web_search </a>",
      "<br><br>",
      "<span id=\"id00000005_1\">gamma &nbsp </span>&nbsp <a "
      "href=\"i_1.htm#id00000005\">gamma</a></span> <span id=\"id00000000_2\"><a "
      "href=\"i_1.htm#id00000000\">alpha</a></span><br>",
      "<a href=\"i_1.htm#id00000005\">i_1</a>",
      "&nbsp <a href=\"index.htm#id00000005\">index</a>",
      "&nbsp <a href=\"files_list.htm#page_0002.htm\"> Content (page_0002.htm)</a>",
      "&nbsp <a href=\"https://www.google.com/search?q=gamma alpha  site:shop.example.org\"> "
      "shop.example.org</a>",
      "&nbsp <a href=\"https://www.google.com/search?q=gamma alpha \"> web_search </a>",
      "<br><br>",
      "</div>",
      "<div>",
      "<span id=\"id00000003_1\">delta &nbsp </span>&nbsp <a "
      "href=\"i_1.htm#id00000003\">delta</a></span><br>",
      "<a href=\"i_1.htm#id00000003\">i_1</a>",
      "&nbsp <a href=\"index.htm#id00000003\">index</a>",
      "&nbsp <a href=\"files_list.htm#page_0002.htm\"> Content (page_0002.htm)</a>",
      "&nbsp <a href=\"https://www.google.com/search?q=delta  site:shop.example.org\"> "
      "shop.example.org</a>",
      "&nbsp <a href=\"https://www.google.com/search?q=delta \"> web_search </a>",
      "<br><br>",
      "</div>",
      "</body> <br>",
      "</html> <br>"};
  EXPECT_EQ(expected, PageBody(run, records, true));
}

TEST(SearchPage, EmptyListGivesOneBlockOfEmptyFields) {
  {
    ScopedWorkDir dir;
    std::vector<std::string> expected = {
        "<div>",
        "<br>",
        "<a href=\"i_1.htm#\">i_1</a>",
        "&nbsp <a href=\"index.htm#\">index</a>",
        "&nbsp <a href=\"files_list.htm#\"> Content ()</a>",
        "&nbsp <a href=\"https://www.google.com/search?q=\"> web_search </a>",
        "<br><br>",
        "</div>",
        "</body> <br>",
        "</html> <br>"};
    EXPECT_EQ(expected, PageBody(IndexerRun{}, {}, true));
  }
}

// A single line: the link lines fall back to the line's own (last) record.
TEST(SearchPage, TargetAddressIsEncodedInTheLinkAndEscapedAsText) {
  struct Case {
    std::string target;
    std::vector<std::string> search_lines;
  };
  const std::string engine = "&nbsp <a href=\"https://www.google.com/search?q=";
  const std::vector<Case> cases = {
      {"", {engine + "Rose Tulip \"> web_search </a>"}},
      {"my shop",
       {engine + "Rose Tulip  site:my shop\"> my shop</a>",
        engine + "Rose Tulip \"> web_search </a>"}},
      {"\"q\" <b>&#1",
       {engine + "Rose Tulip  site:%22q%22 <b>%26%231\"> &quot;q&quot; &lt;b&gt;&amp;#1</a>",
        engine + "Rose Tulip \"> web_search </a>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    ScopedWorkDir dir;
    IndexerRun run;
    run.target_address = c.target;
    std::vector<std::string> body =
        PageBody(run, {{"page_0001.htm", 4, 1, "Rose", "id00000004", 1},
                       {"page_0001.htm", 4, 6, "Tulip", "id00000009", 1}});
    ASSERT_EQ(7 + c.search_lines.size(), body.size());
    EXPECT_EQ("<a href=\"i_1.htm#id00000009\">i_1</a>", body[1]);
    EXPECT_EQ("&nbsp <a href=\"files_list.htm#page_0001.htm\"> Content (page_0001.htm)</a>",
              body[3]);
    EXPECT_EQ(c.search_lines, std::vector<std::string>(body.begin() + 4, body.end() - 3));
  }
}

TEST(SearchPage, PendingLineHoldingClosingHtmlTagIsNotWritten) {
  ScopedWorkDir dir;
  std::vector<std::string> body =
      PageBody(IndexerRun{}, {{"page_0001.htm", 2, 1, "end</HTML>", "id00000000", 1}});
  ASSERT_FALSE(body.empty());
  EXPECT_EQ("<a href=\"i_1.htm#id00000000\">i_1</a>", body[0]);
}

// A line longer than the memory kept for it goes through a work file: the page is the same,
// and a closing html tag is still found anywhere in it.
TEST(SearchPage, VeryLongLineIsWrittenWholeOrLeftOut) {
  struct Case {
    const char* what;
    std::string last_word;
    bool written;
  } cases[] = {
      {"long line", "last", true},
      {"long line ending in a closing tag", "x</hTmL>", false},
  };
  for (const Case& c : cases) {
    ScopedWorkDir dir;
    std::vector<Record> records;
    std::string expected = " ";  // the first line begins with a blank and uses form B only
    const int words = 30000;     // about 2 MB of HTML on one line
    for (int i = 1; i <= words; ++i) {
      std::string word = i == words ? c.last_word : "w" + std::to_string(i);
      std::string id = "id" + ZeroPadded(i, 8);
      records.push_back({"page_0001.htm", 1, i * 8, word, id, 1});
      if (i > 1) expected += " ";
      expected +=
          "<span id=\"" + id + "_1\"><a href=\"i_1.htm#" + id + "\">" + word + "</a></span>";
    }
    std::vector<std::string> body = PageBody(IndexerRun{}, records);
    ASSERT_FALSE(body.empty()) << c.what;
    if (c.written) {
      EXPECT_TRUE(body[0] == expected + "<br>") << c.what;
    } else {
      EXPECT_EQ("<a href=\"i_1.htm#id00030000\">i_1</a>", body[0]) << c.what;
    }
    EXPECT_FALSE(PathExists("wrd_12_1_line.txt")) << c.what;
  }
}

// The phrase of the last web_search line.
std::string LastPhrase(const std::vector<std::string>& body) {
  for (auto it = body.rbegin(); it != body.rend(); ++it) {
    const std::string& line = *it;
    if (!EndsWith(line, "\"> web_search </a>")) continue;
    size_t begin = line.find("?q=") + 3;
    return line.substr(begin, line.size() - begin - std::string("\"> web_search </a>").size());
  }
  ADD_FAILURE() << "no web_search line";
  return "";
}

TEST(SearchPage, LongLinesDrawAtMostTwentyEightDistinctLaterWords) {
  for (int count : {28, 29, 40, 200}) {
    SCOPED_TRACE(count);
    std::vector<std::string> words = NumberedWords(count);
    // A short first line, so that the long one is built from form A onwards.
    std::vector<Record> records = {{"page_0001.htm", 1, 1, "lead", "id00000999", 1}};
    for (int i = 0; i < count; ++i) {
      records.push_back({"page_0001.htm", 5, 1 + 4 * i, words[i], "id" + ZeroPadded(i, 8), 1});
    }
    std::string first_run;
    std::string phrase;
    {
      ScopedWorkDir dir;
      phrase = LastPhrase(PageBody(IndexerRun{}, records));
      first_run = ReadBytes("s_1.htm");
    }
    if (count <= 28) {
      EXPECT_EQ(Joined(words), phrase);
      continue;
    }
    std::istringstream in(phrase);
    std::set<std::string> drawn;
    for (std::string word; in >> word;) {
      EXPECT_TRUE(drawn.insert(word).second) << "repeated " << word;
      EXPECT_NE(words[0], word);
      EXPECT_NE(std::string::npos, Joined(words).find(" " + word + " ")) << word;
    }
    EXPECT_FALSE(drawn.empty());
    EXPECT_LE(drawn.size(), 28u);
    ScopedWorkDir again;
    PageBody(IndexerRun{}, records);
    EXPECT_EQ(first_run, ReadBytes("s_1.htm"));
  }
}

// A line whose words pass a megabyte keeps them in a work file meanwhile. Its phrase is
// drawn from them as from words in memory: all its words when they are few, otherwise whole
// later words, each once.
TEST(SearchPage, LineWordsKeptInAWorkFile) {
  const std::string huge(400000, 'h');
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{huge + "1", huge + "2", huge + "3"}, NumberedWords(150000)}) {
    SCOPED_TRACE(words.size());
    ScopedWorkDir dir;
    std::vector<Record> records = {{"page_0001.htm", 1, 1, "lead", "id00000999", 1}};
    for (size_t i = 0; i < words.size(); ++i) {
      records.push_back({"page_0001.htm", 5, static_cast<int>(1 + 8 * i), words[i], "id00000001",
                         static_cast<int>(i + 1)});
    }
    const std::string phrase = LastPhrase(PageBody(IndexerRun{}, records));
    EXPECT_EQ(std::vector<std::string>{"s_1.htm"}, ListNames("."));  // the work file is gone
    if (words.size() <= 28) {
      EXPECT_EQ(Joined(words), phrase);
      continue;
    }
    const std::set<std::string> line(words.begin() + 1, words.end());
    std::set<std::string> drawn;
    ASSERT_TRUE(StartsWith(phrase, " ")) << phrase;
    for (size_t at = 1, end; at <= phrase.size(); at = end + 1) {
      end = std::min(phrase.find(' ', at), phrase.size());
      const std::string word = phrase.substr(at, end - at);
      EXPECT_TRUE(line.count(word)) << word;
      EXPECT_TRUE(drawn.insert(word).second) << "repeated " << word;
    }
    EXPECT_LE(drawn.size(), 28u);
    EXPECT_GE(drawn.size(), 20u);
  }
}

}  // namespace
