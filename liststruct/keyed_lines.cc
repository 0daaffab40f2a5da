#include "liststruct/keyed_lines.h"

#include <charconv>

#include "common/sorted_runs.h"
#include "common/text.h"
#include "common/work_files.h"

namespace {

constexpr size_t kNumberWidth = 20;
// Lines held at once while sorting: runs of this size go to run files.
constexpr size_t kSortRunBytes = 8 << 20;
constexpr char kRunStem[] = "list_03_run_";
constexpr char kUnsortedFound[] = "list_03_found.tmp";

bool ByteLess(const std::string& a, const std::string& b) { return a < b; }

std::string_view KeyOf(std::string_view line) { return line.substr(0, line.find(' ')); }

long long NumberAt(std::string_view digits) {
  long long value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

}  // namespace

void SortKeyedLines(std::string_view in, std::string_view out) {
  SortFileLines(in, out, kRunStem, ByteLess, kSortRunBytes);
  DeleteWorkFile(in);
}

std::string NumberedLine(long long line_number, std::string_view value) {
  return ZeroPadded(line_number, kNumberWidth) + " " + std::string(value);
}

void NumberedLines::Advance() {
  std::string_view line;
  if (!reader_.NextView(&line) || line.size() <= kNumberWidth) {
    number_ = -1;
    return;
  }
  number_ = NumberAt(line.substr(0, kNumberWidth));
  value_.assign(line.substr(kNumberWidth + 1));
}

const std::string* NumberedLines::Find(long long line_number) {
  while (number_ >= 0 && number_ < line_number) Advance();
  if (number_ != line_number) return nullptr;
  // Later lines of the same number are passed over on the next call.
  return &value_;
}

std::string KeyLine(std::string_view key, long long order, std::string_view value) {
  return std::string(key) + " " + ZeroPadded(order, kNumberWidth) + " " + std::string(value);
}

std::string WantedLine(std::string_view key, long long line_number) {
  return std::string(key) + " " + ZeroPadded(line_number, kNumberWidth);
}

void FindWantedKeys(std::string_view wanted, std::string_view keys, std::string_view found) {
  {
    LineReader wanted_lines(wanted);
    LineReader key_lines(keys);
    LineWriter out(kUnsortedFound);
    // The first line of the current key; keys never hold a blank, so byte order of the lines
    // is the order of their keys.
    std::string key_line;
    bool has_key = key_lines.Next(&key_line);
    std::string line;
    while (wanted_lines.Next(&line)) {
      std::string_view key = KeyOf(line);
      while (has_key && KeyOf(key_line) < key) {
        // Passes over the other lines of the key as well.
        has_key = key_lines.Next(&key_line);
      }
      if (!has_key || KeyOf(key_line) != key) continue;
      std::string_view value = std::string_view(key_line).substr(key.size() + 1 + kNumberWidth);
      if (!value.empty()) value.remove_prefix(1);
      out.WriteLine(NumberedLine(NumberAt(std::string_view(line).substr(key.size() + 1)), value));
    }
  }
  SortKeyedLines(kUnsortedFound, found);
}
