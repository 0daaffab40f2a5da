#ifndef INDEXER_WORD_EXTRACT_H_
#define INDEXER_WORD_EXTRACT_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "indexer/html_blocks.h"
#include "indexer/word_lists.h"

/// Gives the next page to scan, its name and where its text stands; false after the last.
using NextPageText = std::function<bool(std::string* page, PageSource* text)>;

/// Every word outside the tags of every page becomes an occurrence record in the work file
/// kOccurrenceFile, named in the result with each page's slice of it, and its spelling and key
/// enter the vocabulary; words whose key holds
/// "&nbsp;" are left out. The pages come from `next_page`, in page order, while they may
/// still be being made.
WordLists ExtractWords(const NextPageText& next_page);

/// What the scan carries from line to line. The open tag also carries from page to page;
/// the block state starts afresh with every page (ResetForPage).
struct ScanState {
  bool open_tag = false;
  BlockState blocks;

  void ResetForPage() { blocks = BlockState(); }
};

/// One word taken from a line, cleaned of its quotes, and the 1-based byte column of the raw
/// line where it starts.
struct FoundWord {
  std::string word;
  size_t start_column = 0;
};

/// What the tag scan of a line carries into its word scan: the 1-based column of the '>'
/// that closes a tag left open by an earlier line, 0 when none was. The line's own tags, each
/// from its '<' to the first '>' after it (a tag still open at the line's end ends at the last
/// column), are found again as the word scan goes, so that a giant line's tags are never
/// held.
struct LineTags {
  size_t carried_end = 0;
};

/// The line filters (script and style blocks, numbered links, look_at lines) and the tag
/// scan over one raw page line. False when the line is skipped and produces nothing.
bool FindLineTags(std::string_view line, ScanState* state, LineTags* tags);

/// The word scan over a line that FindLineTags passed: calls `on_word` for every word of 3
/// or more bytes, in column order. Cost is linear in the line's length; words are not kept.
void ScanLineWords(std::string_view line, const LineTags& tags,
                   const std::function<void(const FoundWord&)>& on_word);

#endif  // INDEXER_WORD_EXTRACT_H_
