#ifndef INDEXER_WORD_EXTRACT_H_
#define INDEXER_WORD_EXTRACT_H_

#include "indexer/run_state.h"

/// Every word outside the tags of every page becomes a word record in wrd_01.txt; prints
/// "processed 10%".
void ExtractWords();

#endif  // INDEXER_WORD_EXTRACT_H_
