#ifndef LISTSTRUCT_TABLE_RENDER_H_
#define LISTSTRUCT_TABLE_RENDER_H_

/// Table blocks of a list: the lines from "table_start:" to "table_end:", written column by
/// column ("column: header", an optional "align: value" right after it, then one cell per
/// line), turned into an HTML table.

#include <string>
#include <string_view>
#include <vector>

#include "common/line_files.h"

/// The work file that holds the lines of the block being rendered.
inline constexpr char kTableBlockFile[] = "list_03_table.txt";

/// True for the line that ends a block: its trimmed, lower-cased form starts with
/// "table_end:".
bool IsTableEndLine(std::string_view line);

/// Cuts one block out of `input`: `start_line` (already read) and every following line up to
/// and including the end line, or to the end of the input. Writes them to list_03_table.txt
/// and returns them, `start_line` first.
std::vector<std::string> CutTableBlock(std::string_view start_line, LineReader* input);

/// The HTML lines of one block. `caption` is written as given (the caller escapes it);
/// `block` is what CutTableBlock returned. Headers and cells are used as they stand.
/// The line directly after a column line is its align line or its first cell, even when it
/// looks like another column line; the end line is never a cell. Lines before the first
/// column line are ignored. Shorter columns are padded with empty cells.
std::vector<std::string> RenderTableBlock(std::string_view caption,
                                          const std::vector<std::string>& block);

#endif  // LISTSTRUCT_TABLE_RENDER_H_
