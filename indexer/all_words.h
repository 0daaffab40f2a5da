#ifndef INDEXER_ALL_WORDS_H_
#define INDEXER_ALL_WORDS_H_

#include "indexer/run_state.h"
#include "indexer/word_lists.h"

/// Writes the all-words index index.htm: every word id once, in id order, spelled as its
/// first occurrence, with a link to the word index page that shows its number of occurrences
/// (none for the last word). Prints "processed 70%", "processed 80%" (only with 3 or more
/// occurrences) and "processed 90%".
void WriteAllWordsIndex(const IndexerRun& run, const WordLists& lists);

#endif  // INDEXER_ALL_WORDS_H_
