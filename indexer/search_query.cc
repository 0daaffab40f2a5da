#include "indexer/search_query.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }

// The value of a decimal or (with `hex`) hexadecimal digit; -1 for any other byte.
int DigitValue(char c, bool hex) {
  if (IsAsciiDigit(c)) return c - '0';
  char lower = static_cast<char>(c | 0x20);
  if (hex && lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

// The characters that would end the href or change the query where they stand for
// themselves: the URL parser drops tabs and line ends, '#' starts the fragment, '&'
// separates fields, '+' reads as a blank and '%' starts an escape.
bool NeedsEscape(unsigned long code) {
  switch (code) {
    case '"':
    case '#':
    case '%':
    case '&':
    case '+':
    case '\t':
    case '\n':
    case '\r':
      return true;
    default:
      return false;
  }
}

// The escape of a character, "%" and two hex digits, in `text`.
std::string_view Escape(unsigned long code, char (&text)[3]) {
  constexpr char kHex[] = "0123456789ABCDEF";
  text[0] = '%';
  text[1] = kHex[(code >> 4) & 15];
  text[2] = kHex[code & 15];
  return std::string_view(text, 3);
}

// The names a browser also reads without ';' (the older HTML entities), in byte order.
constexpr std::string_view kNamesWithoutSemicolon[] = {
    "AElig",  "AMP",    "Aacute", "Acirc",  "Agrave", "Aring",  "Atilde", "Auml",   "COPY",
    "Ccedil", "ETH",    "Eacute", "Ecirc",  "Egrave", "Euml",   "GT",     "Iacute", "Icirc",
    "Igrave", "Iuml",   "LT",     "Ntilde", "Oacute", "Ocirc",  "Ograve", "Oslash", "Otilde",
    "Ouml",   "QUOT",   "REG",    "THORN",  "Uacute", "Ucirc",  "Ugrave", "Uuml",   "Yacute",
    "aacute", "acirc",  "acute",  "aelig",  "agrave", "amp",    "aring",  "atilde", "auml",
    "brvbar", "ccedil", "cedil",  "cent",   "copy",   "curren", "deg",    "divide", "eacute",
    "ecirc",  "egrave", "eth",    "euml",   "frac12", "frac14", "frac34", "gt",     "iacute",
    "icirc",  "iexcl",  "igrave", "iquest", "iuml",   "laquo",  "lt",     "macr",   "micro",
    "middot", "nbsp",   "not",    "ntilde", "oacute", "ocirc",  "ograve", "ordf",   "ordm",
    "oslash", "otilde", "ouml",   "para",   "plusmn", "pound",  "quot",   "raquo",  "reg",
    "sect",   "shy",    "sup1",   "sup2",   "sup3",   "szlig",  "thorn",  "times",  "uacute",
    "ucirc",  "ugrave", "uml",    "uuml",   "yacute", "yen",    "yuml"};
static_assert(std::ranges::is_sorted(kNamesWithoutSemicolon));

// The character reference at the start of `text` (which starts with '&'), as the browser
// reads one inside an attribute: its length, and in `code` the character it stands for
// where that matters (0 for the others). Zero length: the '&' stands for itself.
size_t ReferenceAt(std::string_view text, unsigned long* code) {
  *code = 0;
  size_t at = 1;
  if (at < text.size() && text[at] == '#') {
    bool hex = at + 1 < text.size() && (text[at + 1] == 'x' || text[at + 1] == 'X');
    at += hex ? 2 : 1;
    size_t digits = at;
    unsigned long value = 0;
    for (int digit; at < text.size() && (digit = DigitValue(text[at], hex)) >= 0; ++at) {
      value = std::min(value * (hex ? 16 : 10) + static_cast<unsigned long>(digit), 0x110000UL);
    }
    if (at == digits) return 0;
    if (at < text.size() && text[at] == ';') ++at;
    *code = value;
    return at;
  }
  if (at >= text.size() || !IsAsciiLetter(text[at])) return 0;
  while (at < text.size() && IsAsciiAlnum(text[at])) ++at;
  std::string_view name = text.substr(1, at - 1);
  if (at < text.size() && text[at] == ';') {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'},    {"AMP", '&'},  {"num", '#'},     {"plus", '+'},
        {"percnt", '%'}, {"Tab", '\t'}, {"NewLine", '\n'}};
    for (const auto& [known, stands_for] : kNamed) {
      if (name == known) *code = static_cast<unsigned char>(stands_for);
    }
    return at + 1;
  }
  // Without ';' the browser takes the longest of these names that the text begins with, and
  // inside an attribute leaves it as typed when a letter, digit or '=' follows: so only a
  // whole run of letters and digits that is one of them, not followed by '=', is decoded.
  if (!std::ranges::binary_search(kNamesWithoutSemicolon, name) ||
      (at < text.size() && text[at] == '=')) {
    return 0;
  }
  if (name == "amp" || name == "AMP") *code = '&';
  return at;
}

// The bytes that end a run of bytes written as they stand.
constexpr std::array<bool, 256> kStopsRun = [] {
  std::array<bool, 256> stops{};
  for (unsigned char c : {'"', '#', '%', '&', '+', '\t', '\n', '\r'}) stops[c] = true;
  return stops;
}();

// Encodes `text`, giving the result to `append` in pieces: runs of bytes as they stand,
// escapes and references.
template <typename Append>
void EncodeQuery(std::string_view text, QueryText kind, Append append) {
  char escape[3];
  size_t i = 0;
  while (i < text.size()) {
    size_t run = i;
    while (run < text.size() && !kStopsRun[static_cast<unsigned char>(text[run])]) ++run;
    if (run > i) append(text.substr(i, run - i));
    if (run == text.size()) return;
    i = run;
    const char c = text[i];
    if (c == '&' && kind == QueryText::kMarkup) {
      unsigned long code = 0;
      size_t length = ReferenceAt(text.substr(i), &code);
      if (length > 0) {
        // A '"' that a reference stands for no longer ends the attribute.
        if (code != '"' && NeedsEscape(code)) {
          append(Escape(code, escape));
        } else {
          append(text.substr(i, length));
        }
        i += length;
        continue;
      }
    }
    append(Escape(static_cast<unsigned char>(c), escape));
    ++i;
  }
}

}  // namespace

void WriteSearchQuery(LineWriter* out, std::string_view text, QueryText kind) {
  EncodeQuery(text, kind, [out](std::string_view piece) { out->Write(piece); });
}

std::string SearchQueryPart(std::string_view text, QueryText kind) {
  std::string out;
  out.reserve(text.size());
  EncodeQuery(text, kind, [&out](std::string_view piece) { out += piece; });
  return out;
}
