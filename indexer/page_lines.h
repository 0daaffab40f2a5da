#ifndef INDEXER_PAGE_LINES_H_
#define INDEXER_PAGE_LINES_H_

#include <optional>
#include <string>
#include <string_view>

#include "common/line_files.h"
#include "indexer/html_blocks.h"

/// One input line reshaped for display line by line: trailing spaces removed, "<br>" in
/// front, one "&nbsp;" per leading space, bytes below 16 dropped. Lines inside a table, and
/// the lines of script and style blocks (those the word scan skips), pass with only their
/// trailing spaces removed, so that a page's own scripts and style rules still work.
/// `*in_table` carries the table state from line to line and file to file, `*blocks` the
/// block state from line to line of one file. Returns nothing when the line is dropped
/// (`<pre>` markers).
std::optional<std::string> ReshapePageLine(std::string_view line, bool* in_table,
                                           BlockState* blocks);

/// ReshapePageLine written to `out` with its line end, piece by piece so that a giant line
/// is never copied: the bytes written, 0 when the line is dropped.
long long WriteReshapedLine(std::string_view line, bool* in_table, BlockState* blocks,
                            LineWriter* out);

#endif  // INDEXER_PAGE_LINES_H_
