#ifndef INDEXER_PAGE_FILES_H_
#define INDEXER_PAGE_FILES_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "indexer/run_state.h"

/// The HTML files of htm_in become numbered page files in the work directory; prints
/// "processed 1%". Every listed input takes one page number, even one that cannot be read
/// (its page is empty). htm_in is only read.
void MakePageFiles();

/// One input line reshaped for display line by line: trailing spaces removed, "<br>" in
/// front, one "&nbsp;" per leading space, bytes below 16 dropped. Lines inside a table pass
/// with only their trailing spaces removed. `*in_table` carries the table state from line
/// to line and file to file. Returns nothing when the line is dropped (`<pre>` markers).
std::optional<std::string> ReshapePageLine(std::string_view line, bool* in_table);

/// Digits of the page numbers for `input_count` inputs: 0 (no padding) for 0 or 1, then 2
/// up to 10 inputs, 3 up to 100, ... and 8 beyond a million.
size_t PageNumberWidth(size_t input_count);

/// "page_" + the number zero-padded to `width` + ".htm".
std::string PageName(size_t number, size_t width);

/// The work-file name the cleaned copy of input `lower_name` is written under: the name up
/// to its first ".htm" + "_01.htm". Separators, colons and double quotes become "_" so the
/// copy stays a plain file of the work directory. A name that the later listings of pages
/// ("page_*.htm") or output pages ("i_*.htm", "s_*.htm") would pick up gets "in_" in front,
/// so that no cleaned copy replaces a page or passes for one.
std::string CleanedCopyName(std::string_view lower_name);

#endif  // INDEXER_PAGE_FILES_H_
