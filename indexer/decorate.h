#ifndef INDEXER_DECORATE_H_
#define INDEXER_DECORATE_H_

#include <string>
#include <string_view>

#include "common/line_files.h"
#include "indexer/decorate_lines.h"
#include "indexer/indexer_run.h"
#include "indexer/word_lists.h"

/// Writes one page that holds words with word spans, highlight script and navigation: the
/// page's text is read once from its range of kPageTextFile, line by line, as its
/// occurrences come in line and column order, and the page file is written as the final
/// page. Pages without occurrences are never opened.
class PageDecorator {
 public:
  /// `group`: the page's group, whose index pages the find-word links lead to. `last_page`:
  /// the last page decorated in its group, whose bottom Next line keeps its trailing blank.
  PageDecorator(const IndexerRun& run, const std::string& page, const PageSource& text,
                const PageLinks& links, uint32_t group, bool last_page);
  ~PageDecorator();
  PageDecorator(const PageDecorator&) = delete;
  PageDecorator& operator=(const PageDecorator&) = delete;

  /// The next occurrence of the page; `highest_on_page` is the highest occurrence number of
  /// its word on this page.
  void Take(const Occurrence& o, long long highest_on_page);

 private:
  long long NextPiece() const;

  const IndexerRun& run_;
  const PageLinks links_;
  const uint32_t group_;
  const bool last_page_;
  LineReader source_;
  LineWriter out_;
  long long line_count_ = 0;
  std::string_view current_;  // in the reader's buffer, which holds a giant line once
  long long previous_column_ = 0;
  long long previous_length_ = 0;
  long long previous_line_ = -1;
  // The column after the last byte of the current line already written. Occurrences come in
  // the order of their column fields, which on lines longer than the field (a million bytes)
  // no longer follows the numbers; no byte is then written twice.
  long long written_end_ = 1;
  bool body_seen_ = false;
};

#endif  // INDEXER_DECORATE_H_
