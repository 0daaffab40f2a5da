#ifndef INDEXER_INDEX_PAGES_H_
#define INDEXER_INDEX_PAGES_H_

#include "indexer/run_state.h"

/// Writes the word index page i_<group>.htm from the word-order list wrd_14_<group>.txt (one
/// entry per word id and page, with the number of occurrences there) and the contents page
/// files_list.htm from the sorted page list group_page_all_sort.txt (one link per page).
/// Missing inputs read as empty; both pages are written in every case.
void WriteWordIndexAndContents(const IndexerRun& run);

#endif  // INDEXER_INDEX_PAGES_H_
