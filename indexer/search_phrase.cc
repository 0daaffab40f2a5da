#include "indexer/search_phrase.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "common/line_files.h"

namespace {

// The bytes of a work file as the draw of a phrase reads them, where they stand.
class FileText {
 public:
  FileText(LineReader* reader, size_t size) : reader_(reader), size_(size) {}
  size_t find(char c, size_t from) const {
    char chunk[1 << 12];
    for (size_t at = from; at < size_;) {
      reader_->Seek(static_cast<long long>(at));
      const size_t got = reader_->Read(chunk, std::min(sizeof chunk, size_ - at));
      if (got == 0) break;
      if (const void* hit = std::memchr(chunk, c, got)) {
        return at + static_cast<size_t>(static_cast<const char*>(hit) - chunk);
      }
      at += got;
    }
    return std::string_view::npos;
  }
  std::string substr(size_t from, size_t length) const {
    std::string text(length, '\0');
    reader_->Seek(static_cast<long long>(from));
    text.resize(reader_->Read(text.data(), length));
    return text;
  }

 private:
  LineReader* reader_;
  size_t size_;
};

// The drawn phrase of SearchPhrase, from words in memory or in a work file.
template <typename Text>
std::string DrawPhrase(const Text& line_words, size_t draw_length,
                       const std::function<double()>& next_random) {
  std::array<std::string, kPhraseSlots> slots;
  for (std::string& slot : slots) {
    double r = next_random();
    size_t position = static_cast<size_t>(r * static_cast<double>(draw_length));
    if (position < 1) position = 1;
    // Indexes below are 0-based: the blank at 1-based position b sits at index b - 1.
    size_t begin = line_words.find(' ', position - 1);
    if (begin == std::string_view::npos || begin + 1 > draw_length) continue;
    size_t end = line_words.find(' ', begin + 1);
    if (end == std::string_view::npos) continue;
    slot = line_words.substr(begin, end - begin);
  }
  for (size_t i = 0; i + 1 < slots.size(); ++i) {
    for (size_t j = i + 1; j < slots.size(); ++j) {
      if (slots[j] == slots[i]) slots[j].clear();
    }
  }
  std::string phrase;
  for (const std::string& slot : slots) phrase += slot;
  return phrase;
}

}  // namespace

std::string SearchPhrase(std::string_view line_words, int word_count, size_t draw_length,
                         const std::function<double()>& next_random) {
  if (word_count <= kPhraseSlots) return std::string(line_words);
  return DrawPhrase(line_words, draw_length, next_random);
}

std::string_view LineWords::Phrase(int word_count, size_t draw_length,
                                   const std::function<double()>& next_random, std::string* text) {
  if (!text_.Spilled()) {
    if (word_count <= kPhraseSlots) return text_.Memory();
    *text = SearchPhrase(text_.Memory(), word_count, draw_length, next_random);
    return *text;
  }
  std::unique_ptr<LineReader> reader = text_.ReadBack();
  const FileText file(reader.get(), text_.size());
  *text = word_count <= kPhraseSlots ? file.substr(0, text_.size())
                                     : DrawPhrase(file, draw_length, next_random);
  return *text;
}
