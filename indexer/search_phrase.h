#ifndef INDEXER_SEARCH_PHRASE_H_
#define INDEXER_SEARCH_PHRASE_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "indexer/spilling_text.h"

/// Most words a search phrase holds.
inline constexpr int kPhraseSlots = 28;

/// The web-search phrase of one line. `line_words` holds the line's words, each followed by
/// one blank; `draw_length` is its length before the last word was appended. Up to
/// kPhraseSlots words the phrase is `line_words` itself. Longer lines fill kPhraseSlots slots,
/// each with " " and the word after the first blank at or after a drawn 1-based position
/// (`next_random()` in [0, 1) times `draw_length`, at least 1), so the first word is never
/// taken; repeated slots are dropped and the rest joined in slot order.
std::string SearchPhrase(std::string_view line_words, int word_count, size_t draw_length,
                         const std::function<double()>& next_random);

/// The words of one line, each followed by one blank, in memory or (for a very long line) in
/// a work file; only the drawn ones of a spilled line are read back.
class LineWords {
 public:
  void Add(std::string_view word) {
    text_.append(word);
    text_.append(" ");
  }
  size_t size() const { return text_.size(); }
  void Clear() { text_.Clear(); }
  /// The line's search phrase (SearchPhrase), in `*text` where it is not the words in
  /// memory themselves.
  std::string_view Phrase(int word_count, size_t draw_length,
                          const std::function<double()>& next_random, std::string* text);

 private:
  SpillingText text_{"wrd_12_1_words.txt"};
};

#endif  // INDEXER_SEARCH_PHRASE_H_
