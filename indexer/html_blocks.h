#ifndef INDEXER_HTML_BLOCKS_H_
#define INDEXER_HTML_BLOCKS_H_

/// The script and style blocks of a page, tracked line by line. The page files keep their
/// lines as the page had them, the word scan skips them, and the decorator finds a page's
/// body tag by the same test that opens and closes them.

#include <string_view>

/// True when the first `word` of `text` comes right after a '<'; with `case_blind`, `word` is
/// given in lower case and found in any letter case.
bool FirstFollowsLt(std::string_view text, std::string_view word, bool case_blind);

/// Where a page stands in its script and style blocks; starts afresh with every page.
struct BlockState {
  bool script_open = false;
  bool script_closed = false;
  bool style_open = false;
  bool style_closed = false;

  bool operator==(const BlockState&) const = default;
};

/// Moves `blocks` through one page line; true when the line belongs to a script or style
/// block, the lines that open and close it included. A block opens where the first
/// "script" of the line follows a '<' (letter case counts), or the first "style" in any
/// case does on a line without "style="; it closes the same way with "/script" or "/style".
bool InScriptOrStyleBlock(std::string_view line, BlockState* blocks);

#endif  // INDEXER_HTML_BLOCKS_H_
