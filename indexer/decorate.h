#ifndef INDEXER_DECORATE_H_
#define INDEXER_DECORATE_H_

#include "indexer/run_state.h"

/// Rewrites every page that holds words with word spans, highlight script and navigation.
void DecoratePages(const IndexerRun& run);

#endif  // INDEXER_DECORATE_H_
