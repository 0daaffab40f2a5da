#include "liststruct/chapter_table.h"

#include <algorithm>
#include <unordered_map>

#include "common/line_files.h"
#include "common/shell.h"
#include "common/text.h"

namespace {

std::string_view FirstWord(std::string_view trimmed) {
  return trimmed.substr(0, trimmed.find(' '));
}

// A component's numeric value as decimal text ("007" gives "7", "" gives "0"). Components
// are worked on as digits, so that no mark is too long for a number type.
std::string DecimalValue(std::string_view component) {
  size_t nonzero = component.find_first_not_of('0');
  return std::string(nonzero == std::string_view::npos ? "0" : component.substr(nonzero));
}

// The numeric value plus one, as decimal text.
std::string PlusOne(std::string_view component) {
  std::string digits = DecimalValue(component);
  size_t i = digits.size();
  while (i > 0) {
    --i;
    if (digits[i] < '9') {
      ++digits[i];
      return digits;
    }
    digits[i] = '0';
  }
  return "1" + digits;
}

// The components up to, not including, the first empty one.
std::vector<std::string> LeadingComponents(const std::vector<std::string>& components) {
  auto empty = std::find(components.begin(), components.end(), std::string());
  return std::vector<std::string>(components.begin(), empty);
}

int Depth(const ChapterRow& row) {
  return static_cast<int>(std::count(row.mark.begin(), row.mark.end(), '.'));
}

// The components of a row placed one level below, beside or above the row before it,
// whatever the difference of depth.
std::vector<std::string> FollowingComponents(const std::vector<std::string>& previous, int depth,
                                             int previous_depth) {
  size_t n = previous.size();
  std::vector<std::string> next;
  if (depth < previous_depth) {
    if (n == 2) {
      next = {previous[0], PlusOne(previous[1])};
    } else if (n > 2) {
      next.assign(previous.begin(), previous.begin() + static_cast<long>(n - 2));
      next.push_back(PlusOne(previous[n - 2]));
    }
  } else if (depth == previous_depth) {
    if (n >= 2) {
      next.assign(previous.begin(), previous.end() - 1);
      next.push_back(PlusOne(previous[n - 1]));
    } else if (n == 1) {
      next = {previous[0], "1"};
    } else {
      next = {"1"};
    }
  } else {
    next = previous;
    next.push_back("1");
  }
  return next;
}

}  // namespace

bool IsChapterLine(std::string_view trimmed) {
  if (trimmed.find(' ') == std::string_view::npos) return false;
  std::string_view word = FirstWord(trimmed);
  if (word.find('.') == std::string_view::npos) return false;
  return word.find_first_not_of(".0123456789") == std::string_view::npos;
}

std::vector<std::string> MarkComponents(std::string_view mark) {
  std::vector<std::string> components;
  size_t pos = 0;
  while (true) {
    size_t stop = mark.find('.', pos);
    components.emplace_back(mark.substr(pos, stop == std::string_view::npos ? stop : stop - pos));
    if (stop == std::string_view::npos) break;
    pos = stop + 1;
  }
  return components;
}

ChapterTable ReadChapterRows(std::string_view list) {
  ChapterTable table;
  LineReader reader(list);
  std::string line;
  long long line_number = 0;
  while (reader.Next(&line)) {
    ++line_number;
    std::string_view trimmed = TrimSpaces(line);
    if (!IsChapterLine(trimmed)) continue;
    ChapterRow row;
    row.mark = std::string(FirstWord(trimmed));
    row.line_number = line_number;
    row.components = MarkComponents(row.mark);
    table.push_back(std::move(row));
  }
  return table;
}

void RenumberChapters(ChapterTable* table) {
  if (table->empty()) return;
  for (ChapterRow& row : *table) {
    row.mark = std::string(TrimSpaces(row.mark));
    if (!EndsWith(row.mark, ".")) row.mark += '.';
  }
  // Top-level rows count on from the first row's number. Only rows whose one full stop
  // ends the mark are top-level: a body line such as "... more" must not use up a number.
  const std::vector<std::string>& first = table->front().components;
  std::string top_number = DecimalValue(first.empty() ? "" : first[0]);
  for (size_t c = 1; c < table->size(); ++c) {
    ChapterRow& row = (*table)[c];
    if (Depth(row) != 1) continue;
    top_number = PlusOne(top_number);
    if (row.components.empty()) row.components.emplace_back();
    row.components[0] = top_number;
  }
  for (size_t c = 1; c < table->size(); ++c) {
    ChapterRow& row = (*table)[c];
    const ChapterRow& previous = (*table)[c - 1];
    int depth = Depth(row);
    if (depth == 1) continue;
    row.components =
        FollowingComponents(LeadingComponents(previous.components), depth, Depth(previous));
  }
  for (ChapterRow& row : *table) {
    std::vector<std::string> leading = LeadingComponents(row.components);
    row.new_number.clear();
    for (size_t i = 0; i < leading.size(); ++i) {
      if (i > 0) row.new_number += '.';
      row.new_number += leading[i];
    }
    if (leading.size() == 1) row.new_number += '.';
    row.indentation = static_cast<int>(2 * leading.size());
  }
}

void WriteChapterDump(const ChapterTable& table, std::string_view out) {
  LineWriter writer(out);
  for (const ChapterRow& row : table) {
    std::vector<std::string> fields = {row.mark, std::to_string(row.line_number),
                                       std::to_string(row.indentation), row.new_number};
    fields.insert(fields.end(), row.components.begin(), row.components.end());
    std::string line;
    for (const std::string& field : fields) {
      if (!field.empty()) line += field + "  ";
    }
    writer.WriteLine(line + "  ");
    writer.WriteLine("  ");
  }
}

void WriteStructuredText(const ChapterTable& table, std::string_view list, std::string_view out) {
  // First row per line and per old mark, so that no line looks through the whole table.
  std::unordered_map<long long, size_t> row_by_line;
  std::unordered_map<std::string, size_t> row_by_mark;
  for (size_t c = 0; c < table.size(); ++c) {
    row_by_line.emplace(table[c].line_number, c);
    row_by_mark.emplace(table[c].mark, c);
  }
  LineReader reader(list);
  LineWriter writer(out);
  std::string indentation;
  std::string line;
  long long line_number = 0;
  while (reader.Next(&line)) {
    ++line_number;
    std::string_view trimmed = TrimSpaces(line);
    auto chapter = row_by_line.find(line_number);
    if (chapter != row_by_line.end()) {
      const ChapterRow& row = table[chapter->second];
      indentation.assign(static_cast<size_t>(std::max(row.indentation, 0)), ' ');
      size_t blank = trimmed.find(' ');
      std::string_view rest = blank == std::string_view::npos ? "" : trimmed.substr(blank);
      writer.WriteLine(indentation + row.new_number + std::string(rest));
      continue;
    }
    if (LowerAscii(trimmed.substr(0, 8)) == "look_at:") {
      std::string target(TrimSpaces(trimmed.size() > 9 ? trimmed.substr(9) : ""));
      if (!EndsWith(target, ".")) target += '.';
      auto found = row_by_mark.find(target);
      if (found != row_by_mark.end()) {
        writer.WriteLine(indentation + "look_at: " + table[found->second].new_number);
        continue;
      }
    }
    writer.WriteLine(indentation + std::string(trimmed));
  }
}

ChapterTable StructureChapters() {
  RunCommand("copy list_03.txt sour_in.txt > out.list");
  ChapterTable table = ReadChapterRows("list_03.txt");
  if (table.empty()) return table;
  RenumberChapters(&table);
  WriteChapterDump(table, "list_03_chapters.txt");
  RunCommand("copy list_03.txt sour_in.txt > out.list");
  WriteStructuredText(table, "list_03.txt", "list_03_list.txt");
  return table;
}
