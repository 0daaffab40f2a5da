#ifndef INDEXER_SPILLING_TEXT_H_
#define INDEXER_SPILLING_TEXT_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "common/line_files.h"

/// Text collected in memory up to a size, then in a work file of its own, so that a very
/// long line (a whole book on one line) is not held in memory.
class SpillingText {
 public:
  /// `file_name`: the work file the text goes to once it outgrows memory.
  explicit SpillingText(const char* file_name) : file_name_(file_name) {}

  void append(std::string_view text) {
    size_ += text.size();
    if (!spill_ && memory_.size() + text.size() < kSpillSize) {
      memory_ += text;
      return;
    }
    Spill(text);
  }
  size_t size() const { return size_; }
  bool Spilled() const { return spill_ != nullptr; }
  /// The text, where it is not spilled.
  const std::string& Memory() const { return memory_; }
  /// Empties the text; a spilled one's work file is deleted.
  void Clear();
  /// The spilled text, after its last append.
  std::unique_ptr<LineReader> ReadBack();
  /// Writes the whole text to `out`.
  void WriteTo(LineWriter* out);

 private:
  static constexpr size_t kSpillSize = 1 << 20;
  // Appends `text` in the work file, which takes the text from memory when it opens.
  void Spill(std::string_view text);

  const char* file_name_;
  std::string memory_;
  size_t size_ = 0;
  std::unique_ptr<LineWriter> spill_;
};

#endif  // INDEXER_SPILLING_TEXT_H_
