#include "liststruct/table_render.h"

#include <algorithm>

#include "common/text.h"
#include "common/work_files.h"
#include "liststruct/keyed_lines.h"

namespace {

constexpr char kCells[] = "list_03_cells.tmp";
constexpr char kSortedCells[] = "list_03_cells_sorted.tmp";
constexpr char kHeaders[] = "list_03_headers.tmp";

// The value after a keyword starts one character after it; a short line has none.
std::string_view ValueFrom(std::string_view trimmed, size_t first_index) {
  return first_index < trimmed.size() ? trimmed.substr(first_index) : std::string_view();
}

bool IsColumnLine(std::string_view lower_trimmed) { return StartsWith(lower_trimmed, "column:"); }
bool IsAlignLine(std::string_view lower_trimmed) { return StartsWith(lower_trimmed, "align:"); }

// What the cut learns of a block: its size, and its cells and headers in work files.
struct BlockShape {
  long long lines = 1;  // the start line
  long long columns = 0;
  long long rows = 0;
  bool any_header = false;
};

// A cell keyed by its row and column, so that sorting puts the cells in the order of the
// table's rows while the block gives them column by column.
std::string CellKey(long long row, long long column) {
  return NumberedLine(row, ZeroPadded(column, 20));
}

BlockShape CutAndParse(std::string_view start_line, LineReader* input) {
  LineWriter block(kTableBlockFile);
  LineWriter cells(kCells);
  LineWriter headers(kHeaders);
  block.WriteLine(start_line);
  BlockShape shape;
  std::string alignment;  // of the current column; empty: its cells get no align attribute
  long long cells_in_column = 0;
  bool after_column_line = false;
  auto add_cell = [&](std::string_view text) {
    std::string html = alignment.empty() ? "<td>" : "<td align=\"" + alignment + "\">";
    html += text;
    html += "</td>";
    cells.WriteLine(CellKey(cells_in_column, shape.columns - 1) + " " + html);
    shape.rows = std::max(shape.rows, ++cells_in_column);
  };
  std::string line;
  while (input->Next(&line)) {
    block.WriteLine(line);
    ++shape.lines;
    std::string_view trimmed = TrimSpaces(line);
    std::string lower = LowerAscii(trimmed);
    if (StartsWith(lower, "table_end:")) break;
    if (after_column_line) {
      after_column_line = false;
      if (IsAlignLine(lower)) {
        alignment = ValueFrom(lower, 7);
      } else {
        add_cell(trimmed);
      }
      continue;
    }
    if (IsColumnLine(lower)) {
      std::string_view header = ValueFrom(trimmed, 8);
      headers.WriteLine(header);
      shape.any_header = shape.any_header || !header.empty();
      ++shape.columns;
      alignment.clear();
      cells_in_column = 0;
      after_column_line = true;
      continue;
    }
    if (shape.columns > 0) add_cell(trimmed);
  }
  return shape;
}

// The rows of the table from the sorted cells; a column without a cell in a row gets an
// empty one.
void WriteRows(const BlockShape& shape, LineWriter* out) {
  LineReader cells(kSortedCells);
  std::string cell;
  bool has_cell = cells.Next(&cell);
  for (long long row = 0; row < shape.rows; ++row) {
    out->WriteLine("<tr>");
    for (long long column = 0; column < shape.columns; ++column) {
      std::string key = CellKey(row, column);
      if (has_cell && std::string_view(cell).starts_with(key)) {
        out->WriteLine(std::string_view(cell).substr(key.size() + 1));
        has_cell = cells.Next(&cell);
      } else {
        out->WriteLine("<td></td>");
      }
    }
    out->WriteLine("</tr>");
  }
}

}  // namespace

long long RenderTableBlock(std::string_view start_line, std::string_view caption, LineReader* input,
                           LineWriter* out) {
  BlockShape shape = CutAndParse(start_line, input);
  SortKeyedLines(kCells, kSortedCells);

  out->WriteLine(R"(<table style="font-size:100%" table align="center" border="1">)");
  if (!caption.empty()) out->WriteLine("<caption><b>" + std::string(caption) + "</b></caption>");
  if (shape.any_header) {
    out->WriteLine("<tr>");
    LineReader headers(kHeaders);
    std::string header;
    while (headers.Next(&header)) out->WriteLine("<th>" + header + "</th>");
    out->WriteLine("</tr>");
  }
  WriteRows(shape, out);
  out->WriteLine(" </table>");
  // Deleted only once closed: an open file cannot be deleted under Windows.
  DeleteWorkFile(kHeaders);
  DeleteWorkFile(kSortedCells);
  return shape.lines;
}
