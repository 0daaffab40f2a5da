#include "common/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string_view TrimLeftSpaces(std::string_view text) {
  size_t start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? text.substr(text.size()) : text.substr(start);
}

std::string_view TrimRightSpaces(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? text.substr(0, 0) : text.substr(0, end + 1);
}

std::string_view TrimSpaces(std::string_view text) { return TrimRightSpaces(TrimLeftSpaces(text)); }

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

size_t FindCaseBlind(std::string_view text, std::string_view lower_part) {
  if (lower_part.empty()) return 0;
  // Candidates are the places of the first byte in either case, each found by memchr.
  const char lower = lower_part[0];
  if (lower >= 'A' && lower <= 'Z')
    return std::string_view::npos;  // no folded byte is an upper-case letter
  const char upper = lower >= 'a' && lower <= 'z' ? static_cast<char>(lower - 'a' + 'A') : lower;
  auto next = [&](size_t from, char c) {
    if (from >= text.size()) return text.size();
    const void* at = std::memchr(text.data() + from, c, text.size() - from);
    return at ? static_cast<size_t>(static_cast<const char*>(at) - text.data()) : text.size();
  };
  size_t next_lower = next(0, lower);
  size_t next_upper = upper == lower ? text.size() : next(0, upper);
  while (true) {
    const size_t i = std::min(next_lower, next_upper);
    if (i + lower_part.size() > text.size()) return std::string_view::npos;
    size_t k = 1;
    while (k < lower_part.size()) {
      char c = text[i + k];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != lower_part[k]) break;
      ++k;
    }
    if (k == lower_part.size()) return i;
    if (i == next_lower) next_lower = next(i + 1, lower);
    if (i == next_upper) next_upper = next(i + 1, upper);
  }
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string> SplitFields(std::string_view text, char separator) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (true) {
    size_t end = text.find(separator, pos);
    if (end == std::string_view::npos) end = text.size();
    fields.emplace_back(text.substr(pos, end - pos));
    if (end == text.size()) return fields;
    pos = end + 1;
  }
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string SignedNumber(long long value) {
  std::string text = value < 0 ? "" : " ";
  text += std::to_string(value);
  return text;
}

std::string RightAlign(std::string_view text, size_t width) {
  if (text.size() >= width) return std::string(text);
  return std::string(width - text.size(), ' ') + std::string(text);
}

std::string ZeroPadded(long long value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() >= width) return digits;
  return std::string(width - digits.size(), '0') + digits;
}

std::string QuotedRecord(std::initializer_list<std::string_view> fields) {
  std::string out;
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) out += ',';
    first = false;
    out += '"';
    out += field;
    out += '"';
  }
  return out;
}

namespace {

unsigned char Folded(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 32) : u;
}

}  // namespace

// Sorted records share long prefixes, so the equal prefix is skipped eight bytes at a time
// before letters are folded.
bool CaseBlindLess(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  size_t i = 0;
  while (i + 8 <= n) {
    unsigned long long x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
    i += 8;
  }
  for (; i < n; ++i) {
    unsigned char x = Folded(a[i]), y = Folded(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

namespace {

// Length of the number at the start of `text` (sign, digits, fraction), 0 when none.
size_t NumberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    size_t j = i + 1;
    size_t fraction = 0;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j, ++fraction;
    if (digits + fraction > 0) i = j;
    digits += fraction;
  }
  return digits > 0 ? i : 0;
}

double ToDouble(std::string_view number) {
  std::string copy(number);
  double value = 0;
  if (std::sscanf(copy.c_str(), "%lf", &value) != 1) return 0;
  if (std::isinf(value)) return std::copysign(1.0e300, value);
  return std::isnan(value) ? 0 : value;
}

}  // namespace

double NumericPrefix(std::string_view text) {
  text = TrimLeftSpaces(text);
  size_t length = NumberLength(text);
  return length == 0 ? 0 : ToDouble(text.substr(0, length));
}

double ParseNumber(std::string_view text, bool* ok) {
  std::string_view trimmed = TrimSpaces(text);
  size_t length = NumberLength(trimmed);
  bool valid = length > 0 && length == trimmed.size();
  if (ok) *ok = valid;
  return valid ? ToDouble(trimmed) : 0;
}
