#include "indexer/line_numbers.h"

#include <algorithm>
#include <numeric>
#include <utility>

void DocumentOrder(const std::vector<LineItem>& items, std::vector<uint32_t>* order) {
  order->resize(items.size());
  std::iota(order->begin(), order->end(), 0);
  bool ascending = true;
  for (size_t i = 0; i < items.size() && ascending; ++i) {
    ascending =
        items[i].column < kColumnFieldLimit && (i == 0 || items[i - 1].column < items[i].column);
  }
  if (ascending) return;
  std::sort(order->begin(), order->end(), [&](uint32_t a, uint32_t b) {
    return ColumnFieldLess(items[a].column, items[b].column);
  });
}

size_t LongLine::WidthClass(uint64_t column) {
  size_t width = 0;
  for (uint64_t limit = 100000; column >= limit && width + 1 < kWidthClasses; limit *= 10) {
    ++width;
  }
  return width;
}

namespace {

// A column's field as a number that orders fields of different widths as their digit strings
// compare: the digits padded with zeros to 19. Where two are equal, one field is a prefix of
// the other and the narrower comes first. Columns below 100000 are padded with blanks to the
// field's width and come before all others: they give 0.
uint64_t PaddedField(uint64_t column) {
  if (column < 100000) return 0;
  uint64_t padded = column;
  while (padded < 1000000000000000000ULL) padded *= 10;
  return padded;
}

}  // namespace

void LongLine::Runs::Add(std::unique_ptr<RecordReader<OccurrenceRecord>> reader) {
  Head head{std::move(reader), {}, 0};
  if (!head.reader->Next(&head.record)) return;
  head.padded = PaddedField(head.record.column);
  heads_.push_back(std::move(head));
}

bool LongLine::Runs::Next(OccurrenceRecord* record) {
  if (heads_.empty()) return false;
  // The runs stand by width, so on equal padded fields the first found is the narrower.
  size_t least = 0;
  for (size_t i = 1; i < heads_.size(); ++i) {
    if (heads_[i].padded < heads_[least].padded) least = i;
  }
  Head& head = heads_[least];
  *record = head.record;
  if (head.reader->Next(&head.record)) {
    head.padded = PaddedField(head.record.column);
  } else {
    heads_.erase(heads_.begin() + static_cast<long>(least));
  }
  return true;
}

LongLine::Runs LongLine::OpenRuns(size_t first) {
  Runs runs;
  for (size_t width = 0; width < kWidthClasses; ++width) {
    const size_t count = width_count_[width];
    if (count == 0) continue;
    auto reader = std::make_unique<RecordReader<OccurrenceRecord>>(records_file_);
    reader->Seek(first, first + count);
    runs.Add(std::move(reader));
    first += count;
  }
  return runs;
}
