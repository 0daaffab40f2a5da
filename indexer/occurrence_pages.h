#ifndef INDEXER_OCCURRENCE_PAGES_H_
#define INDEXER_OCCURRENCE_PAGES_H_

/// The outputs that show every occurrence, fed by one numbering walk (occurrence_walk.h):
/// on the walking thread the search page and the word index entries; on a second thread
/// the decorated pages and the occurrence table, which hold most of the bytes. Every output
/// file is written by one thread in a fixed order, so the bytes are the same on every run.

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "indexer/all_words.h"
#include "indexer/index_pages.h"
#include "indexer/indexer_run.h"
#include "indexer/word_lists.h"

/// The occurrence table of a page group, wrd_24_<group>.txt, kept in the folder wrd_24 after
/// the run.
std::string OccurrenceTable(uint32_t group);

/// The second thread: decorates the pages holding words (page_<n>.htm, from their text in
/// the work files) and writes each page group's occurrence table, from the occurrences
/// handed to it in walk order. It reads `lists`, which must stay as it is until Finish().
class PageDecoration {
 public:
  PageDecoration(const IndexerRun& run, const WordLists& lists);
  /// Finishes, so that an exception on the walking thread does not leave the thread running.
  ~PageDecoration();
  PageDecoration(const PageDecoration&) = delete;
  PageDecoration& operator=(const PageDecoration&) = delete;

  /// One occurrence, with the highest number its word reaches on the page.
  void Take(uint32_t page, long long highest_on_page, const Occurrence& o);
  /// Hands on the last occurrences and waits until every page is decorated and the table
  /// written.
  void Finish();

 private:
  struct Handover;
  void Decorate(const IndexerRun& run, const WordLists& lists);
  std::unique_ptr<Handover> handover_;
  std::thread thread_;
};

/// Walks every occurrence in document order, numbering it: writes each page group's search
/// page s_<group>.htm, adds one word index entry per word and page to `entries`, and hands
/// each occurrence to `decoration`.
FirstOccurrences WriteSearchPageAndWordEntries(const IndexerRun& run, const WordLists& lists,
                                               const WordIds& ids, const NextPages& next_pages,
                                               PageDecoration* decoration,
                                               WordPageEntries* entries);

#endif  // INDEXER_OCCURRENCE_PAGES_H_
