#ifndef INDEXER_INDEX_PAGES_H_
#define INDEXER_INDEX_PAGES_H_

#include "indexer/run_state.h"

/// Writes the word index page i_1.htm and the contents page files_list.htm.
void WriteWordIndexAndContents(const IndexerRun& run);

#endif  // INDEXER_INDEX_PAGES_H_
