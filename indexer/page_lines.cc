#include "indexer/page_lines.h"

#include <algorithm>
#include <iterator>

#include "common/text.h"

namespace {

constexpr std::string_view kNbsp = "&nbsp;";

bool IsShownByte(char c) { return static_cast<unsigned char>(c) >= 16; }

// Outside a table: whether the line belongs to a script or style block and is written as
// the page has it. The word scan reads the line as written here; the written and the shown
// form differ only in the bytes below 16 that showing drops, so where those bytes change
// the block tests, the line is shown as ever and the scan keeps the state it always had.
bool KeptAsScriptOrStyle(std::string_view text, BlockState* blocks) {
  BlockState as_kept = *blocks;
  bool kept = InScriptOrStyleBlock(text, &as_kept);
  if (std::all_of(text.begin(), text.end(), IsShownByte)) {
    *blocks = as_kept;
    return kept;
  }
  std::string shown;
  std::copy_if(text.begin(), text.end(), std::back_inserter(shown), IsShownByte);
  BlockState as_shown = *blocks;
  bool shown_kept = InScriptOrStyleBlock(shown, &as_shown);
  bool agree = kept && shown_kept && as_kept == as_shown;
  *blocks = agree ? as_kept : as_shown;
  return agree;
}

// ReshapePageLine, the line given to `put` in pieces; false when it is dropped.
template <typename Put>
bool ReshapeLine(std::string_view line, bool* in_table, BlockState* blocks, Put put) {
  std::string_view text = TrimRightSpaces(line);
  std::string_view trimmed = TrimLeftSpaces(text);
  if (Contains(trimmed, "<pre>") || trimmed == "</pre>") return false;

  // Searched in place: a lower-cased copy of a long line would cost its size again.
  if (ContainsCaseBlind(trimmed, "<table ")) *in_table = true;
  if (ContainsCaseBlind(trimmed, "</table")) *in_table = false;
  if (*in_table) {
    InScriptOrStyleBlock(text, blocks);  // the line is written as it stands
    put(text);
    return true;
  }
  if (KeptAsScriptOrStyle(text, blocks)) {
    put(text);
    return true;
  }

  size_t leading = text.size() - trimmed.size();
  // The break test sees the line after the "&nbsp;" prefix, so an indented line always
  // gets its own break.
  if (leading > 0 || !StartsWith(trimmed, "<br>")) put("<br>");
  for (size_t i = 0; i < leading; ++i) put(kNbsp);
  // The shown bytes, run by run.
  for (size_t at = 0; at < text.size();) {
    size_t run = at;
    while (run < text.size() && IsShownByte(text[run])) ++run;
    if (run > at) put(text.substr(at, run - at));
    at = run + 1;
  }
  return true;
}

}  // namespace

std::optional<std::string> ReshapePageLine(std::string_view line, bool* in_table,
                                           BlockState* blocks) {
  std::string out;
  if (!ReshapeLine(line, in_table, blocks, [&out](std::string_view piece) { out += piece; })) {
    return std::nullopt;
  }
  return out;
}

long long WriteReshapedLine(std::string_view line, bool* in_table, BlockState* blocks,
                            LineWriter* out) {
  long long written = 0;
  auto put = [&](std::string_view piece) {
    out->Write(piece);
    written += static_cast<long long>(piece.size());
  };
  if (ReshapeLine(line, in_table, blocks, put)) put("\r\n");
  return written;
}
