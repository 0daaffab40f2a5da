#ifndef COMMON_TEXT_H_
#define COMMON_TEXT_H_

/// Byte-string helpers shared by all three programs. Text is never decoded: lengths and
/// positions count bytes, and case changes touch only the ASCII letters.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);

/// Only blanks (0x20) count as spaces; tabs are kept.
std::string_view TrimSpaces(std::string_view text);
std::string_view TrimLeftSpaces(std::string_view text);
std::string_view TrimRightSpaces(std::string_view text);

bool Contains(std::string_view text, std::string_view part);
/// Where `part` (given in lower case) first occurs in `text` in any letter case, npos when
/// nowhere; no copy is made.
size_t FindCaseBlind(std::string_view text, std::string_view lower_part);
inline bool ContainsCaseBlind(std::string_view text, std::string_view lower_part) {
  return FindCaseBlind(text, lower_part) != std::string_view::npos;
}
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

/// The fields of `text` between the `separator`s, empty ones included: n separators give
/// n + 1 fields, and "" gives one empty field.
std::vector<std::string> SplitFields(std::string_view text, char separator);

/// A number as the console prints it: a blank in place of the plus sign (" 3", "-3").
std::string SignedNumber(long long value);

/// Right-aligns text with blanks to `width`; longer text is returned whole.
std::string RightAlign(std::string_view text, size_t width);

/// Left-pads a number with zeros to `width` digits; a longer number is written in full.
std::string ZeroPadded(long long value, size_t width);

/// One quoted record: every field in double quotes, separated by commas, no line end.
/// Fields hold no double quote, so nothing is escaped.
std::string QuotedRecord(std::initializer_list<std::string_view> fields);

/// The interpreter's sort order: letter case ignored, ties broken by byte order, so two lines
/// compare equal only when they are the same bytes.
bool CaseBlindLess(std::string_view a, std::string_view b);

/// The value of the longest numeric prefix (after leading blanks): optional sign, digits,
/// optional fraction. "1.2 Cat" gives 1.2, "2024 was" 2024, "abc" 0.
double NumericPrefix(std::string_view text);

/// Parses a whole answer as a number; text that is not a number (or trailing garbage)
/// gives `*ok = false` and 0.
double ParseNumber(std::string_view text, bool* ok = nullptr);

#endif  // COMMON_TEXT_H_
