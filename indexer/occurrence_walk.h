#ifndef INDEXER_OCCURRENCE_WALK_H_
#define INDEXER_OCCURRENCE_WALK_H_

/// The numbering walk: the pages holding words in page order, each page's occurrences in
/// document order (line, then column as its field compares), every occurrence numbered and
/// given its word id and next page. The output pages are its consumers: each takes the
/// occurrences as the walk hands them on, so the walk is read once for all of them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "common/record_file.h"
#include "indexer/line_numbers.h"
#include "indexer/vocabulary.h"
#include "indexer/word_lists.h"

/// Per key, together so that one occurrence touches one cache line of them.
struct KeyState {
  uint64_t running = 0;           // occurrences numbered so far
  uint64_t on_page = 0;           // occurrences on the current page
  uint64_t base = 0;              // occurrences numbered before the current page
  uint64_t line_serial = 0;       // the last line met on, counted along the walk from 1
  std::string_view id;            // the word id, taken when the page is first met
  uint32_t next_page = kNoPage;   // on the current page: the next page holding the key
  uint32_t entry_page = kNoPage;  // the page whose index entry is made last
};

/// What a walk tells of one occurrence besides the Occurrence itself.
struct WalkStep {
  uint32_t page;      // the page's place in page order
  uint32_t key;       // the word's key
  uint32_t spelling;  // the word as it stands
  KeyState* state;    // the key's counts
};

/// Lines with more occurrences than this are walked without holding them (LongLine).
inline constexpr size_t kHeldLineItems = 1 << 16;

/// Walks the pages in order and their occurrences in document order, numbering them and
/// finding their next pages: `take(occurrence, step)` for each occurrence. Reads the
/// occurrence file of `lists` and the next-page file of `next`, each page's slices of them.
template <typename Take>
void WalkOccurrences(const WordLists& lists, const WordIds& ids, const NextPages& next, Take take) {
  const Vocabulary& vocabulary = lists.vocabulary;
  std::vector<KeyState> state(vocabulary.key_count());
  RecordReader<OccurrenceRecord> scout(lists.occurrence_file);
  RecordReader<OccurrenceRecord> records(lists.occurrence_file);
  RecordReader<uint32_t> next_pages(next.file);
  std::vector<uint32_t> touched;
  std::vector<LineItem> line;
  std::unique_ptr<LongLine> long_line;  // made when a page holds one
  std::vector<uint32_t> order;
  uint64_t line_serial = 0;
  OccurrenceRecord record;
  for (uint32_t p = 0; p < lists.pages.size(); ++p) {
    const PageWords& page = lists.pages[p];
    // The scout counts each key's occurrences on the page first: an occurrence has a later
    // one on its page when its number is below the highest the key reaches there.
    touched.clear();
    scout.Seek(page.first, page.first + page.count);
    while (scout.Next(&record)) {
      KeyState& k = state[record.key];
      if (k.on_page++ == 0) {
        touched.push_back(record.key);
        k.base = k.running;
        k.id = ids.of_key[record.key];
      }
    }
    const RecordSlice& next_slice = next.of_page[p];
    next_pages.Seek(next_slice.first, next_slice.first + next_slice.count);
    for (uint32_t key : touched) {
      if (!next_pages.Next(&state[key].next_page)) state[key].next_page = kNoPage;
    }

    records.Seek(page.first, page.first + page.count);
    size_t at = page.first;  // the place of `record` in the occurrence file
    bool have = records.Next(&record);
    while (have) {
      const uint64_t line_number = record.line;
      const size_t line_first = at;
      line.clear();
      do {
        line.push_back({record.column, record.spelling, record.key, 0});
        have = records.Next(&record);
        ++at;
      } while (have && record.line == line_number && line.size() < kHeldLineItems);
      auto take_item = [&](const LineItem& item) {
        KeyState& k = state[item.key];
        Occurrence o;
        o.page = page.name;
        o.line = static_cast<long long>(line_number);
        o.column = static_cast<long long>(item.column);
        o.word = vocabulary.SpellingText(item.spelling);
        o.word_id = k.id;
        o.number = static_cast<long long>(item.number);
        if (k.next_page != kNoPage) o.next_page = lists.pages[k.next_page].name;
        take(o, WalkStep{p, item.key, item.spelling, &k});
      };
      if (have && record.line == line_number) {
        if (!long_line) {
          long_line = std::make_unique<LongLine>(vocabulary, lists.occurrence_file);
        }
        for (const LineItem& item : line) long_line->Count(item.column, item.spelling);
        for (; have && record.line == line_number; have = records.Next(&record), ++at) {
          long_line->Count(record.column, record.spelling);
        }
        long_line->Walk(line_first, &state, take_item);
        continue;
      }
      NumberLine(vocabulary, ++line_serial, &line, &order, &state);
      DocumentOrder(line, &order);
      for (uint32_t i : order) take_item(line[i]);
    }
    for (uint32_t key : touched) state[key].on_page = 0;
  }
}

#endif  // INDEXER_OCCURRENCE_WALK_H_
