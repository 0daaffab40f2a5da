#include "common/text.h"

#include <cmath>
#include <cstdio>

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

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
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

std::string QuotedRecord(const std::vector<std::string_view>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += '"';
    out += fields[i];
    out += '"';
  }
  return out;
}

std::vector<std::string> SplitQuotedRecord(std::string_view line) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (true) {
    size_t open = line.find('"', pos);
    if (open == std::string_view::npos) break;
    size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) {
      fields.emplace_back(line.substr(open + 1));
      break;
    }
    fields.emplace_back(line.substr(open + 1, close - open - 1));
    pos = close + 1;
  }
  return fields;
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
