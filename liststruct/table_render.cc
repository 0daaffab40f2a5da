#include "liststruct/table_render.h"

#include <algorithm>

#include "common/text.h"

namespace {

struct TableColumn {
  std::string header;
  std::string alignment;  // empty: the cells get no align attribute
  std::vector<std::string> cells;
};

// The value after a keyword starts one character after it; a short line has none.
std::string ValueFrom(std::string_view trimmed, size_t first_index) {
  return first_index < trimmed.size() ? std::string(trimmed.substr(first_index)) : std::string();
}

bool IsColumnLine(std::string_view lower_trimmed) { return StartsWith(lower_trimmed, "column:"); }
bool IsAlignLine(std::string_view lower_trimmed) { return StartsWith(lower_trimmed, "align:"); }

std::vector<TableColumn> ParseColumns(const std::vector<std::string>& block) {
  std::vector<TableColumn> columns;
  // block[0] is the start line; its caption is handled by the caller.
  for (size_t k = 1; k < block.size(); ++k) {
    std::string_view trimmed = TrimSpaces(block[k]);
    std::string lower = LowerAscii(trimmed);
    if (StartsWith(lower, "table_end:")) break;
    if (IsColumnLine(lower)) {
      columns.push_back({ValueFrom(trimmed, 8), "", {}});
      if (k + 1 >= block.size()) break;
      std::string_view next = TrimSpaces(block[k + 1]);
      std::string next_lower = LowerAscii(next);
      if (StartsWith(next_lower, "table_end:")) continue;
      ++k;
      if (IsAlignLine(next_lower)) {
        columns.back().alignment = ValueFrom(next_lower, 7);
      } else {
        columns.back().cells.emplace_back(next);
      }
      continue;
    }
    if (columns.empty()) continue;
    columns.back().cells.emplace_back(trimmed);
  }
  return columns;
}

}  // namespace

bool IsTableEndLine(std::string_view line) {
  return StartsWith(LowerAscii(TrimSpaces(line)), "table_end:");
}

std::vector<std::string> CutTableBlock(std::string_view start_line, LineReader* input) {
  std::vector<std::string> block{std::string(start_line)};
  LineWriter out(kTableBlockFile);
  out.WriteLine(start_line);
  std::string line;
  while (input->Next(&line)) {
    out.WriteLine(line);
    block.push_back(line);
    if (IsTableEndLine(line)) break;
  }
  return block;
}

std::vector<std::string> RenderTableBlock(std::string_view caption,
                                          const std::vector<std::string>& block) {
  std::vector<TableColumn> columns = ParseColumns(block);
  size_t row_count = 0;
  bool any_header = false;
  for (const TableColumn& column : columns) {
    row_count = std::max(row_count, column.cells.size());
    any_header = any_header || !column.header.empty();
  }

  std::vector<std::string> html;
  html.emplace_back(R"(<table style="font-size:100%" table align="center" border="1">)");
  if (!caption.empty()) html.push_back("<caption><b>" + std::string(caption) + "</b></caption>");
  if (any_header) {
    html.emplace_back("<tr>");
    for (const TableColumn& column : columns) html.push_back("<th>" + column.header + "</th>");
    html.emplace_back("</tr>");
  }
  for (size_t row = 0; row < row_count; ++row) {
    html.emplace_back("<tr>");
    for (const TableColumn& column : columns) {
      if (row >= column.cells.size()) {
        html.emplace_back("<td></td>");
      } else if (column.alignment.empty()) {
        html.push_back("<td>" + column.cells[row] + "</td>");
      } else {
        html.push_back("<td align=\"" + column.alignment + "\">" + column.cells[row] + "</td>");
      }
    }
    html.emplace_back("</tr>");
  }
  html.emplace_back(" </table>");
  return html;
}
