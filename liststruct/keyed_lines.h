#ifndef LISTSTRUCT_KEYED_LINES_H_
#define LISTSTRUCT_KEYED_LINES_H_

/// Work files that let the structurer look things up by line number or by key without
/// holding a table per chapter or per line: files of keyed lines, sorted through run files,
/// joined by merging and read back in step with the list.

#include <string>
#include <string_view>

#include "common/line_files.h"

/// Sorts the lines of `in` into `out` in byte order with bounded memory; `in` is deleted.
void SortKeyedLines(std::string_view in, std::string_view out);

/// A line of a file keyed by line number: the number in 20 digits, a blank, `value`.
std::string NumberedLine(long long line_number, std::string_view value);

/// Reads a file of NumberedLine lines, sorted by line number, in step with a pass over the
/// list: Find is asked for line numbers that never go down.
class NumberedLines {
 public:
  explicit NumberedLines(std::string_view name) : reader_(name) { Advance(); }
  /// The value of the first line numbered `line_number`; nullptr when there is none.
  const std::string* Find(long long line_number);

 private:
  void Advance();
  LineReader reader_;
  long long number_ = -1;  // of value_; -1 at the end of the file
  std::string value_;
};

/// A line of a file of keys: `key` (which holds no blank), a blank, `order` in 20 digits, a
/// blank, `value`. Sorted in byte order, the lines of one key stand together, lowest order
/// first.
std::string KeyLine(std::string_view key, long long order, std::string_view value);

/// A line of a file of wanted keys: `key` (no blank), a blank, the line number that wants it.
std::string WantedLine(std::string_view key, long long line_number);

/// Joins two files sorted in byte order: for every line of `wanted` whose key a line of
/// `keys` holds, a NumberedLine of its line number and the value of the lowest-ordered line
/// of that key. Writes them to `found`, sorted by line number.
void FindWantedKeys(std::string_view wanted, std::string_view keys, std::string_view found);

#endif  // LISTSTRUCT_KEYED_LINES_H_
