#ifndef INDEXER_PAGE_DECORATION_H_
#define INDEXER_PAGE_DECORATION_H_

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

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

#endif  // INDEXER_PAGE_DECORATION_H_
