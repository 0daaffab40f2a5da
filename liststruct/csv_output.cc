#include "liststruct/csv_output.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "common/line_files.h"
#include "common/text.h"

namespace {

constexpr char kStructuredText[] = "list_03_list.txt";
std::string TopLevelMark(long long number) { return std::to_string(number) + ". "; }

// The title is what follows the first blank; a line without one has none.
std::string_view TitleOf(std::string_view trimmed) {
  size_t blank = trimmed.find(' ');
  return blank == std::string_view::npos ? std::string_view() : trimmed.substr(blank + 1);
}

// "12 apples" or "1.2 Cat" starts a record; "+3 more" and "-1 less" are body text.
bool StartsSubRecord(std::string_view trimmed) {
  if (trimmed.empty() || trimmed[0] == '+' || trimmed[0] == '-') return false;
  return NumericPrefix(trimmed) > 0;
}

std::string RecordStart(std::string_view trimmed) {
  return std::string(trimmed) + ";" + std::string(TitleOf(trimmed)) + ";";
}

// Each full stop of the mark moves the record three fields to the right.
std::string SubRecordStart(std::string_view trimmed) {
  size_t blank = trimmed.find(' ');
  std::string_view first_word =
      blank == std::string_view::npos ? std::string_view() : trimmed.substr(0, blank);
  size_t full_stops = static_cast<size_t>(std::count(first_word.begin(), first_word.end(), '.'));
  std::string shift;
  for (size_t k = 0; k < 3 * full_stops; ++k) shift += " ;";
  return shift + RecordStart(trimmed);
}

}  // namespace

void WriteCsv() {
  LineReader input(kStructuredText);
  LineWriter out(kCsvOutputFile);
  // A record is written as it grows, so that a chapter of any length is never held: each
  // record's line is ended where the next one starts, and the first one starts after the
  // file's empty first line.
  bool in_record = false;
  long long expected_mark = 1;
  long long next_mark = 0;  // unset until the first chapter
  std::string line;
  while (input.Next(&line)) {
    std::string_view trimmed = TrimSpaces(line);
    bool at_next = next_mark > 0 && StartsWith(trimmed, TopLevelMark(next_mark));
    if (at_next || StartsWith(trimmed, TopLevelMark(expected_mark))) {
      if (at_next) expected_mark = next_mark;
      out.Write("\r\n");
      out.Write(RecordStart(trimmed));
      in_record = true;
      next_mark = expected_mark + 1;
    } else if (StartsSubRecord(trimmed)) {
      out.Write("\r\n");
      out.Write(SubRecordStart(trimmed));
      in_record = true;
    } else if (in_record) {
      out.Write(" ");
      out.Write(trimmed);
    }
  }
  if (in_record) out.Write("\r\n");
}
