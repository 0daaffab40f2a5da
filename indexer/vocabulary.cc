#include "indexer/vocabulary.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"

namespace {

constexpr uint64_t kEmpty = 0;

uint32_t HashOf(std::string_view text) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

// A slot holds the string's hash in its high half and its number + 1 in its low half, so
// that a probe compares hashes without touching the strings.
void StringTable::Grow() {
  std::vector<uint64_t> old;
  old.swap(slots_);
  slots_.assign(old.empty() ? 1024 : old.size() * 2, kEmpty);
  const size_t mask = slots_.size() - 1;
  for (uint64_t slot : old) {
    if (slot == kEmpty) continue;
    size_t at = (slot >> 32) & mask;
    while (slots_[at] != kEmpty) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

// The number of `text`, or UINT32_MAX with `*slot` the free slot where it would go.
uint32_t StringTable::Find(std::string_view text, uint32_t hash, size_t* slot) const {
  const size_t mask = slots_.size() - 1;
  size_t at = hash & mask;
  for (; slots_[at] != kEmpty; at = (at + 1) & mask) {
    if ((slots_[at] >> 32) != hash) continue;
    const uint32_t n = static_cast<uint32_t>(slots_[at]) - 1;
    if ((*this)[n] == text) return n;
  }
  *slot = at;
  return UINT32_MAX;
}

void StringTable::Place(size_t slot, uint32_t hash, uint32_t n) {
  slots_[slot] = (static_cast<uint64_t>(hash) << 32) | (n + 1);
}

uint32_t StringTable::Add(std::string_view text, bool* added) {
  if ((size() + 1) * 2 > slots_.size()) Grow();
  const uint32_t hash = HashOf(text);
  size_t slot = 0;
  uint32_t n = Find(text, hash, &slot);
  *added = n == UINT32_MAX;
  if (!*added) return n;
  n = size();
  Place(slot, hash, n);
  bytes_.append(text);
  starts_.push_back(bytes_.size());
  return n;
}

std::string_view StringTable::StageLowered(std::string_view text) {
  const size_t start = bytes_.size();
  bytes_.append(text);
  for (size_t i = start; i < bytes_.size(); ++i) {
    if (bytes_[i] >= 'A' && bytes_[i] <= 'Z') bytes_[i] = static_cast<char>(bytes_[i] - 'A' + 'a');
  }
  return std::string_view(bytes_).substr(start);
}

void StringTable::DropStaged() { bytes_.resize(starts_.back()); }

uint32_t StringTable::AddStaged() {
  if ((size() + 1) * 2 > slots_.size()) Grow();
  const std::string_view text = std::string_view(bytes_).substr(starts_.back());
  const uint32_t hash = HashOf(text);
  size_t slot = 0;
  uint32_t n = Find(text, hash, &slot);
  if (n != UINT32_MAX) {
    DropStaged();
    return n;
  }
  n = size();
  Place(slot, hash, n);
  starts_.push_back(bytes_.size());
  return n;
}

uint32_t Vocabulary::Spelling(std::string_view word) {
  bool added = false;
  uint32_t spelling = spellings_.Add(word, &added);
  if (!added) return spelling;
  if (Contains(keys_.StageLowered(word), "&nbsp;")) {
    keys_.DropStaged();
    key_of_.push_back(kNotFiled);
  } else {
    key_of_.push_back(keys_.AddStaged());
  }
  return spelling;
}

bool QuotedFieldLess(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  int order = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
  if (order != 0) return order < 0;
  if (a.size() == b.size()) return false;
  // The shorter field's closing quote meets a byte of the longer one.
  if (a.size() < b.size()) return '"' < static_cast<unsigned char>(b[n]);
  return static_cast<unsigned char>(a[n]) < '"';
}

bool ColumnFieldLess(uint64_t a, uint64_t b) {
  if (a < kColumnFieldLimit && b < kColumnFieldLimit) return a < b;
  return QuotedFieldLess(RightAlign(std::to_string(a), 6), RightAlign(std::to_string(b), 6));
}
