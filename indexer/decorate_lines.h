#ifndef INDEXER_DECORATE_LINES_H_
#define INDEXER_DECORATE_LINES_H_

/// The lines that page decoration writes, built from one occurrence at a time, and the page
/// chain (before / next) of the pages holding words.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/line_files.h"
#include "indexer/indexer_run.h"
#include "indexer/word_lists.h"

/// The bytes of `line` from 1-based `from_column` up to, not including, `to_column`.
/// Columns beyond either end are clamped, so a piece of negative length is empty.
std::string_view ColumnRange(std::string_view line, long long from_column, long long to_column);
/// The bytes of `line` from 1-based `from_column` to its end.
std::string_view ColumnsFrom(std::string_view line, long long from_column);

/// Writes the word span, then (with the find-word flag, and not for "Pages_list") the
/// find-word span, each line ended by CR LF; a huge word is never copied. `highest_on_page`
/// is the highest occurrence number of the word on this page.
void WriteOccurrenceLines(LineWriter* out, const IndexerRun& run, const Occurrence& occurrence,
                          long long highest_on_page, uint32_t group);

struct PageLinks {
  std::string before;  // empty: no Before link
  std::string next;    // empty: no Next link
};

/// `bottom_of_inner_page`: the navigation at the bottom of a page that is not the last one
/// decorated, whose Next line has no trailing blank.
std::vector<std::string> PageNavigation(const PageLinks& links, bool bottom_of_inner_page);

/// The pages holding words in sorted order, lower-cased.
struct PageChain {
  std::vector<std::string> pages;
  std::unordered_map<std::string, size_t> position;  // first place of each name
};
PageChain MakePageChain(const std::vector<std::string>& sorted_pages);
/// The pages listed just before and after `page` (compared lower-cased); a page not in
/// the list has neither.
PageLinks NeighbourPages(const PageChain& chain, std::string_view page);

#endif  // INDEXER_DECORATE_LINES_H_
