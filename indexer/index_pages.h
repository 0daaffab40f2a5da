#ifndef INDEXER_INDEX_PAGES_H_
#define INDEXER_INDEX_PAGES_H_

#include <cstdint>

#include "common/record_file.h"
#include "indexer/indexer_run.h"
#include "indexer/word_lists.h"

/// One entry of a word index page: a word on one page.
struct WordPageEntry {
  uint32_t id_rank;       // the word's place in word-id order
  uint32_t page;          // the page's place in page order
  uint32_t spelling;      // the word as it stands at its first occurrence on the page
  uint32_t group;         // the page's group, whose word index page lists the entry
  uint64_t count;         // its occurrences on the page
  uint64_t first_number;  // the occurrence number of the first of them
};

/// Each group's entries together, in word order, then page order.
struct ByGroupWordPage {
  bool operator()(const WordPageEntry& a, const WordPageEntry& b) const {
    if (a.group != b.group) return a.group < b.group;
    return a.id_rank != b.id_rank ? a.id_rank < b.id_rank : a.page < b.page;
  }
};

/// The entries, one per word and page: too many for memory on a large set, so they are
/// sorted in runs in the work files wrd_14_<n>.txt when they outgrow their budget.
class WordPageEntries : public SortedRecords<WordPageEntry, ByGroupWordPage> {
 public:
  WordPageEntries() : SortedRecords("wrd_14_", 4 << 20) {}
};

/// Writes a word index page i_<group>.htm for every page group from its entries (one per word
/// id and page, with the number of occurrences there), and the contents page files_list.htm
/// (one link per page holding words). Both kinds are written in every case: an empty page
/// list gives i_1.htm without entries.
void WriteWordIndexAndContents(const IndexerRun& run, const WordLists& lists, const WordIds& ids,
                               WordPageEntries* entries);

#endif  // INDEXER_INDEX_PAGES_H_
