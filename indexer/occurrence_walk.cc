#include "indexer/occurrence_walk.h"

#include <algorithm>
#include <numeric>

void NumberLine(const Vocabulary& vocabulary, uint64_t line_serial, std::vector<LineItem>* line,
                std::vector<uint32_t>* order, std::vector<KeyState>* state) {
  std::vector<LineItem>& items = *line;
  bool repeated = false;
  for (const LineItem& item : items) {
    auto& k = (*state)[item.key];
    repeated = repeated || k.line_serial == line_serial;
    k.line_serial = line_serial;
  }
  // Most lines hold each key once; their occurrences need no order at all.
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
