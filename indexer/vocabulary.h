#ifndef INDEXER_VOCABULARY_H_
#define INDEXER_VOCABULARY_H_

/// The words of a run, each spelling once: every spelling found on the pages, and the key it
/// is filed under (the spelling in lower case). Memory grows with the number of distinct
/// spellings, never with the number of occurrences.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Distinct byte strings, numbered from 0 in the order they were first added.
class StringTable {
 public:
  /// The number of `text`, added when new; `*added` tells which.
  uint32_t Add(std::string_view text, bool* added);
  /// `text` lower-cased, put after the table's bytes without being added: a key is made in
  /// place, never in a copy of its own.
  std::string_view StageLowered(std::string_view text);
  /// The number of the staged text, added when new.
  uint32_t AddStaged();
  void DropStaged();
  std::string_view operator[](uint32_t n) const {
    return std::string_view(bytes_).substr(starts_[n], starts_[n + 1] - starts_[n]);
  }
  uint32_t size() const { return static_cast<uint32_t>(starts_.size() - 1); }

 private:
  void Grow();
  uint32_t Find(std::string_view text, uint32_t hash, size_t* slot) const;
  void Place(size_t slot, uint32_t hash, uint32_t n);
  std::string bytes_;
  std::vector<size_t> starts_ = {0};
  std::vector<uint64_t> slots_;  // open addressing: empty, or a string's hash and number + 1
};

class Vocabulary {
 public:
  /// Spellings whose key holds "&nbsp;" are not filed: they stand in no list.
  static constexpr uint32_t kNotFiled = UINT32_MAX;

  /// The number of the spelling `word`, added with its key when new.
  uint32_t Spelling(std::string_view word);
  std::string_view SpellingText(uint32_t spelling) const { return spellings_[spelling]; }
  /// The key of a spelling, or kNotFiled.
  uint32_t KeyOf(uint32_t spelling) const { return key_of_[spelling]; }
  std::string_view KeyText(uint32_t key) const { return keys_[key]; }
  uint32_t key_count() const { return keys_.size(); }
  uint32_t spelling_count() const { return spellings_.size(); }

 private:
  StringTable spellings_;
  StringTable keys_;
  std::vector<uint32_t> key_of_;
};

/// The order of two fields of a quoted record compared byte by byte where they stand, each
/// followed by its closing quote: a field that is a prefix of another sorts after it when the
/// longer one goes on with a byte below '"'.
bool QuotedFieldLess(std::string_view a, std::string_view b);

/// Columns from this one on are wider than their field, so their fields no longer compare
/// as their numbers.
inline constexpr uint64_t kColumnFieldLimit = 1000000;

/// The order of two columns as their fields (right-aligned in 6 characters) compare: by
/// number up to 999999, beyond it as digit strings.
bool ColumnFieldLess(uint64_t a, uint64_t b);

#endif  // INDEXER_VOCABULARY_H_
