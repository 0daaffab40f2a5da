#ifndef INDEXER_ALL_WORDS_H_
#define INDEXER_ALL_WORDS_H_

#include "indexer/run_state.h"

/// Writes the all-words index index.htm: sorts the all-words list wrd_15.txt into wrd_16.txt
/// and lists every word id once, spelled as its first occurrence, with a link to the word
/// index page that shows its number of occurrences (none for the last word). The counts
/// are taken in the same streaming pass. Prints "processed 70%", "processed 80%" (only with
/// 3 or more records) and "processed 90%".
void WriteAllWordsIndex(const IndexerRun& run);

#endif  // INDEXER_ALL_WORDS_H_
