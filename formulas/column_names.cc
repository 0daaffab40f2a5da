#include "formulas/column_names.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

long long LetterNumber(char c) { return (c >= 'a' ? c - 'a' : c - 'A') + 1; }

std::string_view TrimBlanksAndTabs(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

}  // namespace

long long ColumnNumber(std::string_view name) {
  std::string_view trimmed = TrimBlanksAndTabs(name);
  if (trimmed.empty() || trimmed.size() > 2) return 0;
  for (char c : trimmed) {
    if (!IsAsciiLetter(c)) return 0;
  }
  if (trimmed.size() == 1) return LetterNumber(trimmed[0]);
  return 26 * LetterNumber(trimmed[0]) + LetterNumber(trimmed[1]);
}

std::string ColumnName(long long number) {
  if (number < 1 || number > kLastColumnNumber) return kInvalidColumn;
  long long q = number / 26;
  long long r = number - 26 * q;
  auto letter = [](long long code) { return static_cast<char>(code); };
  if (q < 1) return std::string(1, letter(64 + r));
  if (r != 0) return {letter(64 + q), letter(64 + r)};
  // A multiple of 26 ends in Z, borrowing one from the first letter.
  if (q == 1) return "Z";
  return {letter(63 + q), 'Z'};
}

std::string ResultColumn(std::string_view free_area, int k) {
  long long start = ColumnNumber(free_area);
  if (start == 0 || k < 1) return kInvalidColumn;
  return ColumnName(start + k - 1);
}
