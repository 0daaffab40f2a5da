#ifndef INDEXER_LINE_NUMBERS_H_
#define INDEXER_LINE_NUMBERS_H_

/// The occurrences of one page line, numbered and put in document order (see word_lists.h):
/// a key's occurrences on a line are numbered by spelling (as quoted fields compare), then
/// column (as its field compares), after those on earlier lines and pages; they are written
/// in the order of their column fields, which is the scan's order unless the line is longer
/// than the field's width (a million bytes).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "indexer/vocabulary.h"
#include "indexer/word_lists.h"

/// One occurrence of the line being walked.
struct LineItem {
  uint64_t column;
  uint32_t spelling;
  uint32_t key;
  uint64_t number;
};

/// Numbers the occurrences of one line held in memory; `(*state)[key]` has the key's
/// `running` count and `line_serial`, the last line it was met on (counted along the walk).
/// Most lines hold each key once; their occurrences need no order at all.
template <typename KeyStates>
void NumberLine(const Vocabulary& vocabulary, uint64_t line_serial, std::vector<LineItem>* line,
                std::vector<uint32_t>* order, KeyStates* state) {
  std::vector<LineItem>& items = *line;
  bool repeated = false;
  for (const LineItem& item : items) {
    auto& k = (*state)[item.key];
    repeated = repeated || k.line_serial == line_serial;
    k.line_serial = line_serial;
  }
  if (!repeated) {
    for (LineItem& item : items) item.number = ++(*state)[item.key].running;
    return;
  }
  order->resize(items.size());
  std::iota(order->begin(), order->end(), 0);
  std::sort(order->begin(), order->end(), [&](uint32_t a, uint32_t b) {
    const LineItem& x = items[a];
    const LineItem& y = items[b];
    if (x.key != y.key) return x.key < y.key;
    if (x.spelling != y.spelling) {
      return QuotedFieldLess(vocabulary.SpellingText(x.spelling),
                             vocabulary.SpellingText(y.spelling));
    }
    return ColumnFieldLess(x.column, y.column);
  });
  for (uint32_t i : *order) items[i].number = ++(*state)[items[i].key].running;
}

/// The line's occurrences in document order, as places in `items`.
void DocumentOrder(const std::vector<LineItem>& items, std::vector<uint32_t>* order);

/// A line with too many occurrences to hold, walked in two passes over its records. The
/// first counts each spelling's occurrences on the line, so that each spelling knows the
/// number its first occurrence takes. The second merges the records in document order from
/// one run per width of the column's digits: the scan found them left to right, so each run
/// is in order, and within one width fields compare as numbers. Memory grows with the
/// vocabulary, never with the line.
class LongLine {
 public:
  /// The records are read from `records_file`.
  LongLine(const Vocabulary& vocabulary, std::string records_file)
      : vocabulary_(vocabulary),
        records_file_(std::move(records_file)),
        on_line_(vocabulary.spelling_count(), 0) {}

  /// The first pass: the line's occurrences, one after the other in the scan's order.
  void Count(uint64_t column, uint32_t spelling) {
    if (on_line_[spelling]++ == 0) spellings_.push_back(spelling);
    ++width_count_[WidthClass(column)];
  }

  /// The second pass, over the counted line whose first record is `first` in the records
  /// file: `visit(item)` for each occurrence, numbered, in document order. The keys'
  /// running counts (`(*state)[key].running`) move past the line. Ready for the next line
  /// afterwards.
  template <typename KeyStates, typename Visit>
  void Walk(size_t first, KeyStates* state, Visit visit) {
    // Each spelling's count becomes the number before its first occurrence: its key's
    // occurrences so far, then those of the key's spellings that sort before it.
    std::sort(spellings_.begin(), spellings_.end(), [&](uint32_t a, uint32_t b) {
      const uint32_t key_a = vocabulary_.KeyOf(a), key_b = vocabulary_.KeyOf(b);
      if (key_a != key_b) return key_a < key_b;
      return QuotedFieldLess(vocabulary_.SpellingText(a), vocabulary_.SpellingText(b));
    });
    for (uint32_t spelling : spellings_) {
      uint64_t& running = (*state)[vocabulary_.KeyOf(spelling)].running;
      const uint64_t count = on_line_[spelling];
      on_line_[spelling] = running;
      running += count;
    }
    Runs runs = OpenRuns(first);
    OccurrenceRecord record;
    while (runs.Next(&record)) {
      visit(LineItem{record.column, record.spelling, record.key, ++on_line_[record.spelling]});
    }
    for (uint32_t spelling : spellings_) on_line_[spelling] = 0;
    spellings_.clear();
    width_count_.fill(0);
  }

 private:
  // Columns below 100000 are padded to the field's width and come first; the others by the
  // number of their digits, 6 to 19.
  static constexpr size_t kWidthClasses = 15;
  static size_t WidthClass(uint64_t column);

  // The runs of one width each, merged.
  class Runs {
   public:
    void Add(std::unique_ptr<RecordReader<OccurrenceRecord>> reader);
    bool Next(OccurrenceRecord* record);

   private:
    struct Head {
      std::unique_ptr<RecordReader<OccurrenceRecord>> reader;
      OccurrenceRecord record;
      uint64_t padded;  // the record's field as a number that orders fields of any width
    };
    std::vector<Head> heads_;  // by width; those of ended runs are dropped
  };
  Runs OpenRuns(size_t first);

  const Vocabulary& vocabulary_;
  const std::string records_file_;
  std::vector<uint64_t> on_line_;    // per spelling; 0 for those not on the line
  std::vector<uint32_t> spellings_;  // those on the line
  std::array<size_t, kWidthClasses> width_count_{};
};

#endif  // INDEXER_LINE_NUMBERS_H_
