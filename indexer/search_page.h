#ifndef INDEXER_SEARCH_PAGE_H_
#define INDEXER_SEARCH_PAGE_H_

#include "indexer/run_state.h"

/// Writes the search page s_1.htm; prints "processed 60%".
void WriteSearchPage(const IndexerRun& run);

#endif  // INDEXER_SEARCH_PAGE_H_
