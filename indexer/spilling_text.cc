#include "indexer/spilling_text.h"

#include "common/work_files.h"

void SpillingText::Spill(std::string_view text) {
  if (!spill_) {
    spill_ = std::make_unique<LineWriter>(file_name_);
    spill_->Write(memory_);
    memory_ = std::string();
  }
  spill_->Write(text);
}

void SpillingText::Clear() {
  memory_.clear();
  size_ = 0;
  if (spill_) {
    spill_.reset();
    DeleteWorkFile(file_name_);
  }
}

std::unique_ptr<LineReader> SpillingText::ReadBack() {
  spill_->Close();
  return std::make_unique<LineReader>(file_name_);
}

void SpillingText::WriteTo(LineWriter* out) {
  if (!spill_) {
    out->Write(memory_);
    return;
  }
  std::unique_ptr<LineReader> in = ReadBack();
  std::string chunk;
  while (in->NextChunk(&chunk)) out->Write(chunk);
}
