#include "indexer/html_blocks.h"

#include "common/text.h"

bool FirstFollowsLt(std::string_view text, std::string_view word, bool case_blind) {
  // Found in place: a lower-cased copy of a long line would cost its size again.
  size_t at = case_blind ? FindCaseBlind(text, word) : text.find(word);
  return at != std::string_view::npos && at > 0 && text[at - 1] == '<';
}

namespace {

// Moves one block (script or style) through one line; true when the line belongs to the
// block. A line that closes the block belongs to it.
bool InBlock(std::string_view text, std::string_view open_word, std::string_view close_word,
             bool case_blind, bool may_open, bool* open, bool* closed) {
  if (!*open && may_open && FirstFollowsLt(text, open_word, case_blind)) *open = true;
  if (*open && !*closed && FirstFollowsLt(text, close_word, case_blind)) *closed = true;
  if (!*open) return false;
  if (*closed) *open = *closed = false;
  return true;
}

}  // namespace

bool InScriptOrStyleBlock(std::string_view line, BlockState* blocks) {
  if (InBlock(line, "script", "/script", false, true, &blocks->script_open,
              &blocks->script_closed)) {
    return true;
  }
  bool may_open_style = !Contains(line, "style=");
  return InBlock(line, "style", "/style", true, may_open_style, &blocks->style_open,
                 &blocks->style_closed);
}
