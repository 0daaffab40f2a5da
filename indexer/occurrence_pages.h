#ifndef INDEXER_OCCURRENCE_PAGES_H_
#define INDEXER_OCCURRENCE_PAGES_H_

/// The outputs that show every occurrence, fed by one numbering walk (occurrence_walk.h):
/// on the walking thread the search page and the word index entries; on a second thread
/// (page_decoration.h) the decorated pages and the occurrence table, which hold most of the
/// bytes. Every output file is written by one thread in a fixed order, so the bytes are the
/// same on every run.

#include "indexer/all_words.h"
#include "indexer/index_pages.h"
#include "indexer/indexer_run.h"
#include "indexer/page_decoration.h"
#include "indexer/word_lists.h"

/// Walks every occurrence in document order, numbering it: writes each page group's search
/// page s_<group>.htm, adds one word index entry per word and page to `entries`, and hands
/// each occurrence to `decoration`.
FirstOccurrences WriteSearchPageAndWordEntries(const IndexerRun& run, const WordLists& lists,
                                               const WordIds& ids, const NextPages& next_pages,
                                               PageDecoration* decoration,
                                               WordPageEntries* entries);

#endif  // INDEXER_OCCURRENCE_PAGES_H_
