#ifndef INDEXER_CONSOLIDATE_H_
#define INDEXER_CONSOLIDATE_H_

#include "indexer/run_state.h"

/// Turns the word records of wrd_01.txt into the word lists the output pages are written
/// from: word keys (records holding "&nbsp;" dropped), word ids, occurrence numbers, the
/// page list (group_page_all.txt, group_search_1.txt, group_page_all_sort.txt), the split
/// by page (wrd_11_1.txt and its document-order sort wrd_12_1.txt, wrd_13_1.txt and its
/// word-order sort wrd_14_1.txt, the all-words list wrd_15.txt) and the occurrence table
/// wrd_24_1.txt with every occurrence's next page, copied into the folder wrd_24.
/// Prints "processed 20%" to "processed 50%" as its stages end.
///
/// Every step streams sorted work files, so the cost is O(n log n) in the occurrences;
/// memory holds tables of one entry per distinct page or word, and the records of one word
/// on one line. Per-word files are not written.
///
/// The work files of the steps (all but the ones named above, which later phases read)
/// are deleted as soon as the phase has read them for the last time, unless `step_files`
/// says to keep them: on a large document set they would otherwise fill the file cache.
enum class StepFiles { kDelete, kKeep };
void ConsolidateWordLists(StepFiles step_files = StepFiles::kDelete);

#endif  // INDEXER_CONSOLIDATE_H_
