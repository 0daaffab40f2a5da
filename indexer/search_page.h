#ifndef INDEXER_SEARCH_PAGE_H_
#define INDEXER_SEARCH_PAGE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "common/line_files.h"
#include "indexer/indexer_run.h"
#include "indexer/search_query.h"
#include "indexer/word_lists.h"

/// Writes the search page s_<group>.htm from the occurrences of the group's pages in document
/// order (page, line, column): every source line as word links into i_<group>.htm, each
/// followed by index, contents and web-search links. Long lines get a phrase drawn by a
/// generator with a fixed seed, so the same input gives the same page. The page is complete
/// when the writer is destroyed. The texts an occurrence views must last as long as the
/// writer.
class SearchPageWriter {
 public:
  SearchPageWriter(const IndexerRun& run, uint32_t group);
  ~SearchPageWriter();
  SearchPageWriter(const SearchPageWriter&) = delete;
  SearchPageWriter& operator=(const SearchPageWriter&) = delete;

  void Add(const Occurrence& o);

  struct LineRecord;
  struct LineState;

 private:
  const IndexerRun& run_;
  const std::string group_;       // the group number, as written
  const std::string index_page_;  // i_<group>.htm
  std::mt19937 generator_;
  std::function<double()> next_random_;
  LineWriter out_;
  std::unique_ptr<LineState> state_;
  std::unique_ptr<LineRecord> record_;
  bool first_ = true;
};

#endif  // INDEXER_SEARCH_PAGE_H_
