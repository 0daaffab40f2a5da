#ifndef INDEXER_PAGE_FILES_H_
#define INDEXER_PAGE_FILES_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "indexer/word_lists.h"

/// The listed inputs become numbered pages: every input takes one page number, even one
/// that cannot be read (its page is empty). Each page's reshaped text goes
/// to kPageTextFile, and its page file is made empty: it is written once, in its final form,
/// when the scan has told whether the page holds words (WritePagesWithoutWords, or the
/// decoration). htm_in is only read.
///
/// The pages are made on a thread of its own, so that the caller can scan each page as soon
/// as its text stands. A file that cannot be written there ends the program at once.
class PageMaker {
 public:
  explicit PageMaker(std::vector<std::string> inputs);
  ~PageMaker();
  PageMaker(const PageMaker&) = delete;
  PageMaker& operator=(const PageMaker&) = delete;

  /// Waits for the next page's text; false after the last page.
  bool Next(std::string* page, PageSource* text);
  /// Waits for the page files and gives where each page's text stands.
  PageTexts Finish();

 private:
  void MakePages(const std::vector<std::string>& listed, size_t width);

  std::mutex mutex_;
  std::condition_variable page_done_;
  std::vector<std::pair<std::string, PageSource>> done_;  // in page order
  bool all_done_ = false;
  size_t taken_ = 0;
  std::thread maker_;
};

/// Pages that hold no words are final as they stand: their text goes to their page files.
void WritePagesWithoutWords(const PageTexts& texts, const WordLists& lists);

/// Digits of the page numbers for `input_count` inputs: 0 (no padding) for 0 or 1, then 2
/// up to 10 inputs, 3 up to 100, ... and 8 beyond a million.
size_t PageNumberWidth(size_t input_count);

/// "page_" + the number zero-padded to `width` + ".htm".
std::string PageName(size_t number, size_t width);

#endif  // INDEXER_PAGE_FILES_H_
