#ifndef INDEXER_CONSOLIDATE_H_
#define INDEXER_CONSOLIDATE_H_

#include "indexer/run_state.h"

/// Word ids, occurrence numbers, page list, document-order and word-order lists,
/// occurrence table with next pages; prints "processed 20%" to "processed 50%".
void ConsolidateWordLists();

#endif  // INDEXER_CONSOLIDATE_H_
