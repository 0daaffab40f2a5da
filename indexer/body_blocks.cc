#include "indexer/body_blocks.h"

void BodyBlocks::Open() {
  if (open_) return;
  out_->WriteLine("<div>");
  open_ = true;
  lines_ = 0;
}

void BodyBlocks::Break(bool new_group) {
  if (open_ && (new_group || lines_ >= kBlockLines)) Close();
}

void BodyBlocks::Close() {
  if (!open_) return;
  out_->WriteLine("</div>");
  open_ = false;
}
