#ifndef INDEXER_BODY_BLOCKS_H_
#define INDEXER_BODY_BLOCKS_H_

#include "common/line_files.h"

/// Lines a block of an index page's body holds, at least, before the next break between
/// entries ends it.
inline constexpr int kBlockLines = 100;

/// Groups the body lines of an index page into blocks, each between a "<div>" line and a
/// "</div>" line. A browser lays out a run of inline content as one paragraph, in time
/// that grows with the square of its lines; in blocks it grows with the page. The page looks
/// the same: a block opens and closes only where the caller says that a line has just ended
/// outside every element, at the end of the body, or where nothing has been shown yet.
class BodyBlocks {
 public:
  explicit BodyBlocks(LineWriter* out) : out_(out) {}
  /// Before lines that belong in a block: opens one where none is open.
  void Open();
  /// `lines` lines were written, in the open block if there is one.
  void Count(int lines) { lines_ += lines; }
  /// The lines written so far end a visual line outside every element. Closes the open block
  /// where a new group of entries begins (`new_group`) or it holds kBlockLines lines.
  void Break(bool new_group);
  /// Closes the open block, if any; at the end of the body.
  void Close();

 private:
  LineWriter* out_;
  bool open_ = false;
  int lines_ = 0;
};

#endif  // INDEXER_BODY_BLOCKS_H_
