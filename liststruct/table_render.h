#ifndef LISTSTRUCT_TABLE_RENDER_H_
#define LISTSTRUCT_TABLE_RENDER_H_

/// Table blocks of a list: the lines from "table_start:" to "table_end:", written column by
/// column ("column: header", an optional "align: value" right after it, then one cell per
/// line), turned into an HTML table.

#include <string>
#include <string_view>

#include "common/line_files.h"

/// The work file that holds the lines of the block being rendered.
inline constexpr char kTableBlockFile[] = "list_03_table.txt";

/// Cuts one block out of `input` and writes it to `out` as an HTML table. `start_line` (already
/// read) and every following line up to and including the end line (its trimmed,
/// lower-cased form starts with "table_end:"), or to the end of the input, go to
/// list_03_table.txt. `caption` is written as given (the caller escapes it); headers and
/// cells are used as they stand. The line directly after a column line is its align line or
/// its first cell, even when it looks like another column line; the end line is never a
/// cell. Lines before the first column line are ignored. Shorter columns are padded with
/// empty cells. The cells go through a sorted work file, so a block of any size is rendered
/// in bounded memory. Returns the number of lines of the block, `start_line` included.
long long RenderTableBlock(std::string_view start_line, std::string_view caption, LineReader* input,
                           LineWriter* out);

#endif  // LISTSTRUCT_TABLE_RENDER_H_
