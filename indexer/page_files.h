#ifndef INDEXER_PAGE_FILES_H_
#define INDEXER_PAGE_FILES_H_

#include "indexer/run_state.h"

/// The HTML files of htm_in become numbered page files in the work directory; prints
/// "processed 1%".
void MakePageFiles();

#endif  // INDEXER_PAGE_FILES_H_
