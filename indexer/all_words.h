#ifndef INDEXER_ALL_WORDS_H_
#define INDEXER_ALL_WORDS_H_

#include "indexer/run_state.h"

/// Writes the all-words index index.htm; prints "processed 70%" to "processed 90%".
void WriteAllWordsIndex(const IndexerRun& run);

#endif  // INDEXER_ALL_WORDS_H_
