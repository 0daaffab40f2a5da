#include "indexer/search_phrase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "indexer/page_text_test_util.h"

namespace {

TEST(SearchPhrase, DrawPositions) {
  // 29 words of 3 bytes, each followed by a blank: the draw length is 4 * 28 = 112.
  const std::string line_words = Joined(NumberedWords(29));
  std::string every_later_word = Joined(NumberedWords(29), 1);
  every_later_word.pop_back();
  std::vector<double> stepping;  // positions 4, 8, ... 112: the blank after word i
  for (int i = 1; i <= 28; ++i) stepping.push_back(4.0 * i / 112.0);
  struct Case {
    const char* name;
    std::vector<double> randoms;  // repeated cyclically
    std::string phrase;
  };
  const std::vector<Case> cases = {
      {"zero draws position 1, the blank after the first word", {0.0}, " w02"},
      {"last position reaches the last word", {0.0, 0.999999}, " w02 w29"},
      {"mid-word position takes the next word", {5.0 / 112.0}, " w03"},
      {"every blank once gives every word but the first", stepping, " " + every_later_word},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    size_t calls = 0;
    auto next = [&] { return c.randoms[calls++ % c.randoms.size()]; };
    std::string phrase = SearchPhrase(line_words, 29, 112, next);
    EXPECT_EQ(28u, calls);
    EXPECT_EQ(c.phrase, phrase);
  }
}

TEST(SearchPhrase, ShortLinesDrawNothing) {
  size_t calls = 0;
  auto next = [&] {
    ++calls;
    return 0.5;
  };
  std::string words = Joined(NumberedWords(28));
  EXPECT_EQ(words, SearchPhrase(words, 28, words.size() - 4, next));
  EXPECT_EQ(0u, calls);
}

}  // namespace
