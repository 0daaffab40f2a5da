#ifndef INDEXER_ALL_WORDS_H_
#define INDEXER_ALL_WORDS_H_

#include <cstdint>
#include <vector>

#include "indexer/run_state.h"
#include "indexer/word_lists.h"

/// Writes the all-words index index.htm: every word id once, in id order, spelled as its
/// first occurrence, with a link to the word index page that shows its number of occurrences
/// (none for the last word).
void WriteAllWordsIndex(const IndexerRun& run, const WordLists& lists, const WordIds& ids,
                        const std::vector<uint32_t>& first_spelling);

#endif  // INDEXER_ALL_WORDS_H_
