#include "indexer/page_files.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

#include "common/file_failures.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"
#include "indexer/html_blocks.h"
#include "indexer/page_lines.h"

namespace {

// Writes one input file, line by line reshaped, to `target`; returns the bytes written.
long long WriteReshapedText(const std::string& listed_name, LineWriter* target, bool* in_table) {
  LineReader input("htm_in\\" + listed_name);
  // Read at the start already; one that went away since must not become an empty page.
  if (!input.is_open()) {
    int error = InputReadError("htm_in\\" + listed_name);
    StopOnReadFailure("htm_in\\" + listed_name, error != 0 ? error : EIO);
  }
  BlockState blocks;  // as the word scan, which reads each page on its own
  std::string_view line;
  long long written = 0;
  while (input.NextView(&line)) written += WriteReshapedLine(line, in_table, &blocks, target);
  return written;
}

}  // namespace

size_t PageNumberWidth(size_t input_count) {
  if (input_count <= 1) return 0;
  size_t width = 2;
  size_t limit = 10;
  while (input_count > limit && width < 8) {
    limit *= 10;
    ++width;
  }
  return width;
}

std::string PageName(size_t number, size_t width) {
  return "page_" + ZeroPadded(static_cast<long long>(number), width) + ".htm";
}

PageMaker::PageMaker(std::vector<std::string> inputs) {
  const size_t width = PageNumberWidth(inputs.size());
  maker_ = std::thread([this, listed = std::move(inputs), width] { MakePages(listed, width); });
}

PageMaker::~PageMaker() {
  if (maker_.joinable()) maker_.join();
}

void PageMaker::MakePages(const std::vector<std::string>& listed, size_t width) {
  LineWriter text(kPageTextFile);
  long long offset = 0;
  bool in_table = false;  // a file that ends inside a table leaves the next one in it
  for (size_t n = 0; n < listed.size(); ++n) {
    const long long begin = offset;
    offset += WriteReshapedText(listed[n], &text, &in_table);
    text.Flush();  // the scan reads it now
    std::lock_guard<std::mutex> guard(mutex_);
    done_.push_back({PageName(n + 1, width), PageSource{begin, offset}});
    page_done_.notify_one();
  }
  text.Close();
  {
    std::lock_guard<std::mutex> guard(mutex_);
    all_done_ = true;
    page_done_.notify_one();
  }
  // A page file that cannot be made ends the run at once, as every other work file does.
  for (size_t n = 0; n < listed.size(); ++n) LineWriter file(PageName(n + 1, width));
}

bool PageMaker::Next(std::string* page, PageSource* text) {
  std::unique_lock<std::mutex> lock(mutex_);
  page_done_.wait(lock, [&] { return taken_ < done_.size() || all_done_; });
  if (taken_ == done_.size()) return false;
  *page = done_[taken_].first;
  *text = done_[taken_].second;
  ++taken_;
  return true;
}

PageTexts PageMaker::Finish() {
  if (maker_.joinable()) maker_.join();
  return PageTexts(done_.begin(), done_.end());
}

void WritePagesWithoutWords(const PageTexts& texts, const WordLists& lists) {
  auto holds_words = [&](const std::string& page) {
    auto at =
        std::lower_bound(lists.pages.begin(), lists.pages.end(), page,
                         [](const PageWords& p, const std::string& name) { return p.name < name; });
    return at != lists.pages.end() && at->name == page;
  };
  for (const auto& [page, text] : texts) {
    // An empty page file is final already.
    if (text.begin < text.end && !holds_words(page)) {
      CopyWorkFileRanges(kPageTextFile, page, {{text.begin, text.end}});
    }
  }
}
