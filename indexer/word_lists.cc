#include "indexer/word_lists.h"

#include <algorithm>
#include <numeric>

#include "common/record_file.h"
#include "common/text.h"

std::string WordIdText(uint64_t position) {
  return "id" + ZeroPadded(static_cast<long long>(position), 8);
}

WordIds NumberWords(const WordLists& lists) {
  const Vocabulary& vocabulary = lists.vocabulary;
  const uint32_t keys = vocabulary.key_count();
  std::vector<uint32_t> by_key(keys);
  std::iota(by_key.begin(), by_key.end(), 0);
  std::sort(by_key.begin(), by_key.end(), [&](uint32_t a, uint32_t b) {
    return QuotedFieldLess(vocabulary.KeyText(a), vocabulary.KeyText(b));
  });
  WordIds ids;
  ids.of_key.assign(keys, std::string());
  uint64_t position = 0;
  for (uint32_t key : by_key) {
    ids.of_key[key] = WordIdText(position);
    position += lists.key_count[key];
  }
  // Ids of 8 digits follow the key order; longer ones (10^8 occurrences and more) sort as
  // their text does.
  ids.order = std::move(by_key);
  std::stable_sort(ids.order.begin(), ids.order.end(), [&](uint32_t a, uint32_t b) {
    return QuotedFieldLess(ids.of_key[a], ids.of_key[b]);
  });
  ids.rank.assign(keys, 0);
  for (uint32_t rank = 0; rank < keys; ++rank) ids.rank[ids.order[rank]] = rank;
  return ids;
}

NextPages FindNextPages(const WordLists& lists) {
  const uint32_t keys = lists.vocabulary.key_count();
  std::vector<uint32_t> last_seen(keys, kNoPage);  // the latest page walked that holds the key
  std::vector<uint32_t> stamp(keys, kNoPage);      // the page on which the key was last met
  std::vector<uint32_t> on_page;
  NextPages next{kNextPageFile, std::vector<RecordSlice>(lists.pages.size())};
  RecordReader<OccurrenceRecord> records(lists.occurrence_file);
  RecordWriter<uint32_t> out(next.file);
  OccurrenceRecord record;
  for (size_t p = lists.pages.size(); p-- > 0;) {
    const PageWords& page = lists.pages[p];
    const uint32_t page_number = static_cast<uint32_t>(p);
    on_page.clear();
    records.Seek(page.first, page.first + page.count);
    while (records.Next(&record)) {
      const uint32_t key = record.key;
      if (stamp[key] == page_number) continue;
      stamp[key] = page_number;
      out.Put(last_seen[key]);
      on_page.push_back(key);
    }
    next.of_page[p] = RecordSlice{out.count() - on_page.size(), on_page.size()};
    for (uint32_t key : on_page) last_seen[key] = page_number;
  }
  return next;
}

WordLists CutPageGroups(WordLists lists, uint64_t limit) {
  uint32_t group = 1;
  uint64_t in_group = 0;
  for (PageWords& page : lists.pages) {
    if (in_group > 0 && in_group + page.count > limit) {
      ++group;
      in_group = 0;
    }
    in_group += page.count;
    page.group = group;
  }
  return lists;
}

uint32_t PageGroupCount(const WordLists& lists) {
  return lists.pages.empty() ? 1 : lists.pages.back().group;
}
