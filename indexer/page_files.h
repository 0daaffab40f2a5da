#ifndef INDEXER_PAGE_FILES_H_
#define INDEXER_PAGE_FILES_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "indexer/html_blocks.h"
#include "indexer/indexer_run.h"
#include "indexer/word_lists.h"

/// Lists the HTML files of htm_in, sorted by name, through the work files dir_02.txt and
/// dir_03.txt into the input list dir_01.txt; the publisher's promotion page and the names
/// this system reserves are left out, each of the latter with a line on the console. Gives
/// the inputs as listed, in page order.
std::vector<std::string> ListInputPages();

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

/// Ends the program with status 1, naming the first input and the reason, when htm_in
/// cannot be listed or one of its pages cannot be read ("Cannot read htm_in/a.htm:
/// Permission denied"): a page read as empty would vanish from the index without a word.
/// A missing htm_in is no failure: the run makes it.
void RequireReadableInputs();

/// Pages that hold no words are final as they stand: their text goes to their page files.
void WritePagesWithoutWords(const PageTexts& texts, const WordLists& lists);

/// One input line reshaped for display line by line: trailing spaces removed, "<br>" in
/// front, one "&nbsp;" per leading space, bytes below 16 dropped. Lines inside a table, and
/// the lines of script and style blocks (those the word scan skips), pass with only their
/// trailing spaces removed, so that a page's own scripts and style rules still work.
/// `*in_table` carries the table state from line to line and file to file, `*blocks` the
/// block state from line to line of one file. Returns nothing when the line is dropped
/// (`<pre>` markers).
std::optional<std::string> ReshapePageLine(std::string_view line, bool* in_table,
                                           BlockState* blocks);

/// Digits of the page numbers for `input_count` inputs: 0 (no padding) for 0 or 1, then 2
/// up to 10 inputs, 3 up to 100, ... and 8 beyond a million.
size_t PageNumberWidth(size_t input_count);

/// "page_" + the number zero-padded to `width` + ".htm".
std::string PageName(size_t number, size_t width);

#endif  // INDEXER_PAGE_FILES_H_
