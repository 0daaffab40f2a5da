#include "indexer/consolidate.h"

#include <charconv>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/console.h"
#include "common/external_sort.h"
#include "common/shell.h"
#include "common/text.h"
#include "common/work_dir.h"

namespace {

const std::string kGroup = std::to_string(kPageGroup);

// "wrd_11" gives "wrd_11_1.txt": the files of the page group carry its number.
std::string GroupFile(std::string_view stem) { return std::string(stem) + "_" + kGroup + ".txt"; }

// Work files of this phase that later phases never read: wrd_08 records keyed by their
// page's place in the group file, the same sorted, and the occurrence table in word order.
constexpr char kKeyedByPage[] = "wrd_09.txt";
constexpr char kKeyedByPageSorted[] = "wrd_10.txt";
const std::string kNextPagesInWordOrder = GroupFile("wrd_23");

// Width of the page-place key; wide enough for any number of pages a work directory holds.
constexpr size_t kPlaceWidth = 10;

// Quoted records of one work file, read in order, as views into the current line; missing
// fields of a short record read as empty, so that a damaged line cannot index past the end.
class RecordReader {
 public:
  static constexpr size_t kMaxFields = 8;
  explicit RecordReader(std::string_view name) : reader_(name) {}

  bool Next() {
    if (!reader_.Next(&line_)) return false;
    size_t count = SplitQuotedFields(line_, fields_, kMaxFields);
    for (size_t i = count; i < kMaxFields; ++i) fields_[i] = std::string_view();
    return true;
  }
  std::string_view operator[](size_t i) const { return fields_[i]; }
  const std::string& line() const { return line_; }

 private:
  LineReader reader_;
  std::string line_;
  std::string_view fields_[kMaxFields];
};

std::string WordId(size_t position) {
  return "id" + ZeroPadded(static_cast<long long>(position), 8);
}

long long ParseCount(std::string_view text) {
  long long value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// Word keys: the lower-cased word in front, so that the merge sort gathers all spellings
// of a word and orders them by page, line, spelling and column.
void WriteWordKeys() {
  RecordReader in("wrd_01.txt");
  LineWriter out("wrd_01_01.txt");
  std::string key;
  while (in.Next()) {
    key = LowerAscii(in[0]);
    if (Contains(key, "&nbsp;")) continue;
    out.WriteRecord({key, in[1], in[2], in[0], in[3], in[4]});
  }
}

// A key's word id is the position of its first record among all records (wrd_03); its
// occurrences are numbered in that same order (wrd_04). Every record counts, also one that
// the page check then leaves out.
void AssignIdsAndNumbers() {
  RecordReader in("wrd_01_02.txt");
  LineWriter ids("wrd_03.txt");
  LineWriter numbered("wrd_04.txt");
  std::string current_key, current_id, previous_id;
  long long counter = 0;
  for (size_t position = 0; in.Next(); ++position) {
    if (position == 0 || in[0] != current_key) {
      current_key = in[0];
      current_id = WordId(position);
    }
    ids.WriteRecord({in[1], in[2], in[4], in[3], current_id});
    if (position == 0) previous_id = current_id;
    ++counter;
    if (current_id != previous_id) counter = 1;
    if (Contains(in[1], "page_") && Contains(current_id, "id")) {
      numbered.WriteRecord({in[1], in[2], in[4], in[3], current_id, std::to_string(counter)});
    }
    previous_id = current_id;
  }
}

// Each page's 0-based place in the group file.
using PagePlaces = std::unordered_map<std::string, size_t>;

struct DocumentOrderPass {
  PagePlaces places;
  bool case_blind_sorted = true;  // wrd_06 is already in the interpreter's sort order
};

// One pass over the document-order list: the check copy (wrd_06), the reverse keys in
// front (wrd_07), so that the merge sort orders by descending occurrence number, and the
// pages in order of first appearance (a table of pages seen replaces re-reading the list).
DocumentOrderPass CopyCheckedRecords() {
  DocumentOrderPass pass;
  RecordReader in("wrd_05.txt");
  LineWriter checked("wrd_06.txt");
  LineWriter reversed("wrd_07.txt");
  LineWriter list("group_page_all.txt");
  LineWriter group(GroupFile("group_search"));
  std::string previous;
  bool first = true;
  while (in.Next()) {
    if (!Contains(LowerAscii(in[0]), "page_") || !Contains(in[4], "id")) continue;
    checked.WriteLine(in.line());
    if (!first && CaseBlindLess(in.line(), previous)) pass.case_blind_sorted = false;
    previous = in.line();
    first = false;
    std::string reverse_key = ZeroPadded(100000000 - ParseCount(in[5]), 8);
    reversed.WriteRecord({reverse_key, in[4], in[0], in[1], in[2], in[3], in[4], in[5]});
    if (pass.places.emplace(std::string(in[0]), pass.places.size()).second) {
      list.WriteLine(in[0]);
      group.WriteRecord({in[0]});
    }
  }
  return pass;
}

// Groups wrd_08's records page by page in the order of the group file, keeping wrd_08's
// order within a page: a merge sort on the page's place put in front of the wrd_08 line
// (wrd_08 lines are already in byte order, so equal places fall back to it).
void SplitByPage(const DocumentOrderPass& pass) {
  {
    RecordReader in("wrd_08.txt");
    LineWriter keyed(kKeyedByPage);
    std::string line;
    while (in.Next()) {
      auto place = pass.places.find(std::string(in[2]));
      if (place == pass.places.end()) continue;
      line = ZeroPadded(static_cast<long long>(place->second), kPlaceWidth);
      line += in.line();
      keyed.WriteLine(line);
    }
  }
  MergeSortFile(kKeyedByPage, kKeyedByPageSorted);

  const std::string group_field = RightAlign(kGroup, 5);
  LineWriter all_words("wrd_15.txt");
  {
    LineWriter by_page(GroupFile("wrd_11"));
    LineWriter by_word(GroupFile("wrd_13"));
    LineReader in(kKeyedByPageSorted);
    std::string line;
    std::string_view f[8];
    while (in.Next(&line)) {
      size_t count = SplitQuotedFields(std::string_view(line).substr(kPlaceWidth), f, 8);
      for (size_t i = count; i < 8; ++i) f[i] = std::string_view();
      // f: reverse key, word id, page, line, column, word, word id, occurrence number
      by_page.WriteRecord({f[2], f[3], f[4], f[5], f[6], f[7]});
      by_word.WriteRecord({f[1], f[2], f[3], f[4], f[5], f[6], f[7]});
      all_words.WriteRecord({f[1], group_field, f[2], f[3], f[4], f[5], f[7]});
    }
  }
  // wrd_11 holds the records of wrd_06 in another order; when wrd_06 is already in the
  // sort command's order it is the sorted result, the same bytes the command would write.
  if (pass.case_blind_sorted) {
    CopyWorkFile("wrd_06.txt", GroupFile("wrd_12"));
  } else {
    RunCommand("sort " + GroupFile("wrd_11") + " /o " + GroupFile("wrd_12"));
  }
  RunCommand("sort " + GroupFile("wrd_13") + " /o " + GroupFile("wrd_14"));
}

// The pages of one word id with the next page of each, read from wrd_03, whose records of a
// word stand together in ascending page order (the order the per-word lists had): the next
// page of a page is the word's next page that sorts after it.
class NextPageReader {
 public:
  NextPageReader() : in_("wrd_03.txt") { has_ahead_ = in_.Next(); }

  /// The next pages of `word_id`, by page; ids must be asked for in ascending order.
  const std::unordered_map<std::string, std::string>& For(std::string_view word_id) {
    if (word_id == word_id_) return next_of_;
    word_id_ = word_id;
    next_of_.clear();
    // wrd_03: page, line, column, word, word id
    while (has_ahead_ && in_[4] < word_id) has_ahead_ = in_.Next();
    std::string previous_page;
    while (has_ahead_ && in_[4] == word_id) {
      std::string page(in_[0]);
      if (page != previous_page) {
        if (!previous_page.empty() && page > previous_page) next_of_[previous_page] = page;
        next_of_.emplace(page, "");
        previous_page = page;
      }
      has_ahead_ = in_.Next();
    }
    return next_of_;
  }

 private:
  RecordReader in_;
  bool has_ahead_ = false;
  std::string word_id_;
  std::unordered_map<std::string, std::string> next_of_;
};

// One pass over the word-order list gives every occurrence its next page, with a table of
// one word's pages at a time; the sort brings the table back to document order.
void FindNextPages() {
  {
    RecordReader records(GroupFile("wrd_14"));
    NextPageReader next_pages;
    LineWriter out(kNextPagesInWordOrder);
    while (records.Next()) {
      // word id, page, line, column, word, word id, occurrence number
      const auto& next_of = next_pages.For(records[0]);
      auto next = next_of.find(std::string(records[1]));
      std::string_view next_page = next == next_of.end() ? std::string_view() : next->second;
      out.WriteRecord(
          {records[1], records[2], records[3], records[4], records[5], records[6], next_page});
    }
  }
  RunCommand("sort " + kNextPagesInWordOrder + " /o " + GroupFile("wrd_24"));
}

// The folder wrd_24 keeps this run's occurrence tables; its old text files go first.
void KeepOccurrenceTables() {
  RunCommand("dir /b *.  > dir_01.txt");
  bool folder_exists = false;
  {
    LineReader listing("dir_01.txt");
    std::string line;
    while (!folder_exists && listing.Next(&line)) {
      folder_exists = Contains(LowerAscii(line), "wrd_24");
    }
  }
  if (folder_exists) {
    RunCommand("dir > wrd_24\\f_01.txt");
    RunCommand("del /q wrd_24\\*.txt > out_null.list");
  } else {
    RunCommand("md wrd_24 > out_null.list");
  }
  RunCommand("copy wrd_24*.txt wrd_24\\ > out_null.list");
}

}  // namespace

void ConsolidateWordLists() {
  WriteWordKeys();
  MergeSortFile("wrd_01_01.txt", "wrd_01_02.txt");
  PrintLine("processed 20%");

  AssignIdsAndNumbers();
  MergeSortFile("wrd_04.txt", "wrd_05.txt");
  DocumentOrderPass pass = CopyCheckedRecords();
  MergeSortFile("wrd_07.txt", "wrd_08.txt");
  PrintLine("processed 30%");

  MergeSortFile("group_page_all.txt", "group_page_all_sort.txt");
  PrintLine("processed 40%");

  SplitByPage(pass);
  FindNextPages();
  PrintLine("processed 50%");
  KeepOccurrenceTables();
}
