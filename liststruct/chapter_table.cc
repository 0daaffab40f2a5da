#include "liststruct/chapter_table.h"

#include <algorithm>
#include <memory>

#include "common/cmd_interpreter.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"
#include "liststruct/keyed_lines.h"

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

void ChapterNumbering::Number(ChapterRow* row) {
  row->mark = std::string(TrimSpaces(row->mark));
  if (!EndsWith(row->mark, ".")) row->mark += '.';
  int depth = static_cast<int>(std::count(row->mark.begin(), row->mark.end(), '.'));
  if (first_) {
    first_ = false;
    top_number_ = DecimalValue(row->components.empty() ? "" : row->components[0]);
  } else if (depth == 1) {
    // Top-level rows count on from the first row's number. Only rows whose one full stop
    // ends the mark are top-level: a body line such as "... more" must not use up a number.
    top_number_ = PlusOne(top_number_);
    if (row->components.empty()) row->components.emplace_back();
    row->components[0] = top_number_;
  } else {
    row->components =
        FollowingComponents(LeadingComponents(previous_components_), depth, previous_depth_);
  }
  std::vector<std::string> leading = LeadingComponents(row->components);
  row->new_number.clear();
  for (size_t i = 0; i < leading.size(); ++i) {
    if (i > 0) row->new_number += '.';
    row->new_number += leading[i];
  }
  if (leading.size() == 1) row->new_number += '.';
  row->indentation = static_cast<int>(2 * leading.size());
  previous_components_ = row->components;
  previous_depth_ = depth;
}

void WriteChapterDump(const ChapterRow& row, LineWriter* out) {
  std::string line;
  auto field = [&line](std::string_view text) {
    if (text.empty()) return;
    line += text;
    line += "  ";
  };
  field(row.mark);
  field(std::to_string(row.line_number));
  field(std::to_string(row.indentation));
  field(row.new_number);
  for (const std::string& component : row.components) field(component);
  out->WriteLine(line + "  ");
  out->WriteLine("  ");
}

namespace {

constexpr char kList[] = "list_03.txt";
constexpr char kChapterDump[] = "list_03_chapters.txt";
constexpr char kStructuredText[] = "list_03_list.txt";
constexpr char kMarks[] = "list_03_marks.tmp";
constexpr char kSortedMarks[] = "list_03_marks_sorted.tmp";
constexpr char kReferences[] = "list_03_references.tmp";
constexpr char kSortedReferences[] = "list_03_references_sorted.tmp";
constexpr char kReferenceTargets[] = "list_03_targets.tmp";

// The old mark a cross-reference line names, with its full stop; empty when the line is
// none. Only marks are looked up: a target that could be no mark is left out.
std::string CrossReferenceTarget(std::string_view trimmed) {
  if (LowerAscii(trimmed.substr(0, 8)) != "look_at:") return "";
  std::string target(TrimSpaces(trimmed.size() > 9 ? trimmed.substr(9) : ""));
  if (!EndsWith(target, ".")) target += '.';
  if (target.find_first_not_of(".0123456789") != std::string::npos) return "";
  return target;
}

// One pass over the list: every chapter line numbered and written to the dump, the rows
// file and the file of marks, and every cross-reference to the file of references.
long long NumberChapterLines() {
  LineReader reader(kList);
  std::unique_ptr<LineWriter> dump;  // created with the first row, not for a list without
  LineWriter rows(kChapterRowsFile);
  LineWriter marks(kMarks);
  LineWriter references(kReferences);
  ChapterNumbering numbering;
  ChapterRow row;
  long long count = 0;
  long long line_number = 0;
  std::string line;
  while (reader.Next(&line)) {
    ++line_number;
    std::string_view trimmed = TrimSpaces(line);
    if (!IsChapterLine(trimmed)) {
      std::string target = CrossReferenceTarget(trimmed);
      if (!target.empty()) references.WriteLine(WantedLine(target, line_number));
      continue;
    }
    row.mark = std::string(FirstWord(trimmed));
    row.line_number = line_number;
    row.components = MarkComponents(row.mark);
    numbering.Number(&row);
    ++count;
    if (!dump) dump = std::make_unique<LineWriter>(kChapterDump);
    WriteChapterDump(row, dump.get());
    rows.WriteLine(
        NumberedLine(line_number, std::to_string(row.indentation) + " " + row.new_number));
    marks.WriteLine(KeyLine(row.mark, count, row.new_number));
  }
  return count;
}

void WriteStructuredText() {
  LineReader reader(kList);
  LineWriter writer(kStructuredText);
  NumberedLines rows(kChapterRowsFile);
  NumberedLines targets(kReferenceTargets);
  std::string indentation;
  std::string line;
  long long line_number = 0;
  while (reader.Next(&line)) {
    ++line_number;
    std::string_view trimmed = TrimSpaces(line);
    if (const std::string* row = rows.Find(line_number)) {
      size_t blank = row->find(' ');
      indentation.assign(std::stoul(row->substr(0, blank)), ' ');
      size_t title = trimmed.find(' ');
      std::string_view rest = title == std::string_view::npos ? "" : trimmed.substr(title);
      writer.WriteLine(indentation + std::string(NewNumberOfRow(*row)) + std::string(rest));
      continue;
    }
    if (const std::string* new_number = targets.Find(line_number)) {
      writer.WriteLine(indentation + "look_at: " + *new_number);
      continue;
    }
    writer.WriteLine(indentation + std::string(trimmed));
  }
}

void DeleteTemporaryFiles() {
  for (const char* name :
       {kMarks, kSortedMarks, kReferences, kSortedReferences, kReferenceTargets}) {
    DeleteWorkFile(name);
  }
}

}  // namespace

long long StructureChapters() {
  RunCommand("copy list_03.txt sour_in.txt > out.list");
  long long count = NumberChapterLines();
  if (count == 0) {
    DeleteTemporaryFiles();
    DeleteWorkFile(kChapterRowsFile);
    return 0;
  }
  SortKeyedLines(kMarks, kSortedMarks);
  SortKeyedLines(kReferences, kSortedReferences);
  FindWantedKeys(kSortedReferences, kSortedMarks, kReferenceTargets);
  RunCommand("copy list_03.txt sour_in.txt > out.list");
  WriteStructuredText();
  DeleteTemporaryFiles();
  return count;
}
