#include "indexer/page_files.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <mutex>
#include <vector>

#include "common/console.h"
#include "common/line_files.h"
#include "common/platform.h"
#include "common/shell.h"
#include "common/text.h"
#include "common/work_files.h"
#include "common/work_paths.h"
#include "indexer/html_blocks.h"

namespace {

constexpr std::string_view kNbsp = "&nbsp;";

// One line of the input list: the name lower-cased as the list holds it, and as the
// listing gave it. The listed spelling opens the file, so that A.htm and a.htm, distinct
// on this file system, each become their own page.
struct InputName {
  std::string lower;
  std::string listed;
};

constexpr char kInputPattern[] = "htm_in\\*.htm*";
// A page of htm_in reserved for the publisher, never indexed.
constexpr char kPromotionPage[] = "f_promote.htm";

// Lists htm_in, sorts the listing and writes the input list dir_01.txt without the
// reserved promotion page.
std::vector<InputName> CollectInputList() {
  // A page whose name no Windows folder can hold is not listed; say so, so that it does
  // not vanish from the index without a word.
  for (const std::string& name : UnlistedMatches(kInputPattern)) {
    PrintError("Skipped htm_in page \"" + EscapedName(name) +
               "\": a Windows folder cannot hold its name (a backslash or a control character)");
  }
  RunCommand(std::string("dir /b ") + kInputPattern + " > dir_02.txt");
  RunCommand("sort dir_02.txt /o dir_03.txt");
  std::vector<InputName> inputs;
  LineReader sorted("dir_03.txt");
  LineWriter list("dir_01.txt");
  std::string line;
  while (sorted.Next(&line)) {
    std::string lower = LowerAscii(line);
    if (Contains(lower, kPromotionPage)) continue;
    if (platform::kReservesWindowsNames && IsWindowsReservedName(line)) {
      PrintError("Skipped htm_in page \"" + EscapedName(line) +
                 "\": Windows reserves its name (a device name such as con or nul, one of"
                 " * ? \" < > | :, or a dot or blank at its end)");
      continue;
    }
    list.WriteLine(lower);
    inputs.push_back({std::move(lower), line});
  }
  return inputs;
}

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
  // The line goes out in pieces: a giant line is never copied.
  auto put = [&](std::string_view piece) {
    target->Write(piece);
    written += static_cast<long long>(piece.size());
  };
  while (input.NextView(&line)) {
    if (ReshapeLine(line, in_table, &blocks, put)) put("\r\n");
  }
  return written;
}

}  // namespace

void RequireReadableInputs() {
  std::string path;
  if (!ResolveWorkPath("htm_in", false, &path)) return;
  RequireFolder("htm_in", "read");
  errno = 0;
  if (!platform::ListFolderNames(path, 0, [](std::string, const platform::FileInfo&) {})) {
    StopOnReadFailure("htm_in", errno != 0 ? errno : EIO);
  }
  std::string folder;
  for (const FolderEntry& entry : ListMatches(kInputPattern, false, &folder)) {
    if (Contains(LowerAscii(entry.name), kPromotionPage)) continue;  // never read
    // Skipped with a line of its own when the pages are listed: never opened.
    if (platform::kReservesWindowsNames && IsWindowsReservedName(entry.name)) continue;
    std::string name = "htm_in\\" + entry.name;
    if (int error = InputReadError(name); error != 0) StopOnReadFailure(name, error);
  }
}

std::optional<std::string> ReshapePageLine(std::string_view line, bool* in_table,
                                           BlockState* blocks) {
  std::string out;
  if (!ReshapeLine(line, in_table, blocks, [&out](std::string_view piece) { out += piece; })) {
    return std::nullopt;
  }
  return out;
}

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

std::vector<std::string> ListInputPages() {
  std::vector<std::string> listed;
  for (InputName& input : CollectInputList()) {
    if (Contains(input.lower, ".htm")) listed.push_back(std::move(input.listed));
  }
  return listed;
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
