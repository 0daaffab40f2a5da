#ifndef INDEXER_DECORATE_H_
#define INDEXER_DECORATE_H_

#include "indexer/run_state.h"

/// Rewrites every page that holds words with word spans, highlight script and navigation.
/// Streams the occurrence table wrd_24_<group>.txt once, buffering one page's records at a
/// time, and reads each decorated page once into <stem>_02.htm, which is then copied over
/// it. The sorted page list group_page_all_sort.txt gives the before / next links. Pages
/// without occurrence records stay as they are.
void DecoratePages(const IndexerRun& run);

#endif  // INDEXER_DECORATE_H_
