#ifndef INDEXER_OCCURRENCE_PAGES_H_
#define INDEXER_OCCURRENCE_PAGES_H_

#include "indexer/index_pages.h"
#include "indexer/run_state.h"
#include "indexer/word_lists.h"

/// The occurrence table of the page group, kept in the folder wrd_24 after the run.
inline constexpr char kOccurrenceTable[] = "wrd_24_1.txt";

/// Walks the pages holding words, in order, and each page's occurrences in document order
/// (line, then column as its field compares), numbering every occurrence: decorates the
/// pages, writes the search page s_1.htm, the occurrence table, the word index page i_1.htm
/// (from one entry per word and page) and the contents page, and notes each word's first
/// spelling for the all-words index. The work files of the pages' text, the occurrence
/// records and the next pages are deleted.
void WriteOccurrencePages(const IndexerRun& run, WordLists* lists);

/// Copies this run's occurrence tables into the folder wrd_24, whose old text files go
/// first.
void KeepOccurrenceTable();

#endif  // INDEXER_OCCURRENCE_PAGES_H_
