#ifndef INDEXER_ALL_WORDS_H_
#define INDEXER_ALL_WORDS_H_

#include <cstdint>
#include <vector>

#include "indexer/indexer_run.h"
#include "indexer/word_lists.h"

/// What the all-words index shows of each key, by key: where it first occurs, and how often
/// in the first page group that holds it.
struct FirstOccurrences {
  std::vector<uint32_t> spelling;  // the spelling at its first occurrence
  std::vector<uint32_t> group;     // the group of its first occurrence
  std::vector<uint64_t> count;     // its occurrences in that group
};

/// Writes the all-words index index.htm: every word id once, in id order, spelled as its
/// first occurrence, with a link to its entry in the word index page of the first group that
/// holds it, which shows its number of occurrences in that group (none for the last word).
void WriteAllWordsIndex(const IndexerRun& run, const WordLists& lists, const WordIds& ids,
                        const FirstOccurrences& first);

#endif  // INDEXER_ALL_WORDS_H_
