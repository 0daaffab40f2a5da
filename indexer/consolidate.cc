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

using Fields = std::vector<std::string>;

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

// Quoted records of one work file, read in order; missing fields of a short record read
// as empty, so that a damaged line cannot index past the end.
class RecordReader {
 public:
  explicit RecordReader(std::string_view name) : reader_(name) {}

  bool Next(Fields* fields, size_t field_count) {
    if (!reader_.Next(&line_)) return false;
    *fields = SplitQuotedRecord(line_);
    if (fields->size() < field_count) fields->resize(field_count);
    return true;
  }
  const std::string& line() const { return line_; }

 private:
  LineReader reader_;
  std::string line_;
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
  Fields f;
  while (in.Next(&f, 5)) {
    std::string key = LowerAscii(f[0]);
    if (Contains(key, "&nbsp;")) continue;
    out.WriteLine(QuotedRecord({key, f[1], f[2], f[0], f[3], f[4]}));
  }
}

// A key's word id is the position of its first record among all records.
void AssignWordIds() {
  RecordReader in("wrd_01_02.txt");
  LineWriter out("wrd_03.txt");
  Fields f;
  std::string current_key, current_id;
  for (size_t position = 0; in.Next(&f, 6); ++position) {
    if (position == 0 || f[0] != current_key) {
      current_key = f[0];
      current_id = WordId(position);
    }
    out.WriteLine(QuotedRecord({f[1], f[2], f[4], f[3], current_id}));
  }
}

// Numbers follow wrd_03's order (page, line, spelling, column); every record counts, also
// one that the page check then leaves out.
void NumberOccurrences() {
  RecordReader in("wrd_03.txt");
  LineWriter out("wrd_04.txt");
  Fields f;
  std::string previous_id;
  long long counter = 0;
  bool first = true;
  while (in.Next(&f, 5)) {
    const std::string& id = f[4];
    if (first) previous_id = id;
    first = false;
    ++counter;
    if (id != previous_id) counter = 1;
    if (Contains(f[0], "page_") && Contains(id, "id")) {
      out.WriteLine(QuotedRecord({f[0], f[1], f[2], f[3], id, std::to_string(counter)}));
    }
    previous_id = id;
  }
}

void CopyCheckedRecords() {
  RecordReader in("wrd_05.txt");
  LineWriter out("wrd_06.txt");
  Fields f;
  while (in.Next(&f, 6)) {
    if (Contains(LowerAscii(f[0]), "page_") && Contains(f[4], "id")) out.WriteLine(in.line());
  }
}

// The reverse key in front makes the merge sort order by descending occurrence number.
void WriteReverseKeys() {
  RecordReader in("wrd_06.txt");
  LineWriter out("wrd_07.txt");
  Fields f;
  while (in.Next(&f, 6)) {
    std::string reverse_key = ZeroPadded(100000000 - ParseCount(f[5]), 8);
    out.WriteLine(QuotedRecord({reverse_key, f[4], f[0], f[1], f[2], f[3], f[4], f[5]}));
  }
}

// Each page's 0-based place in the group file.
using PagePlaces = std::unordered_map<std::string, size_t>;

// Pages in order of first appearance in document order; a table of pages seen replaces
// re-reading the list at every page change.
PagePlaces WritePageList() {
  PagePlaces places;
  RecordReader in("wrd_07.txt");
  LineWriter list("group_page_all.txt");
  LineWriter group(GroupFile("group_search"));
  Fields f;
  while (in.Next(&f, 8)) {
    const std::string& page = f[2];
    if (!places.emplace(page, places.size()).second) continue;
    list.WriteLine(page);
    group.WriteLine(QuotedRecord({page}));
  }
  return places;
}

// Groups wrd_08's records page by page in the order of the group file, keeping wrd_08's
// order within a page: a merge sort on the page's place put in front of the wrd_08 line
// (wrd_08 lines are already in byte order, so equal places fall back to it).
void SplitByPage(const PagePlaces& places) {
  {
    RecordReader in("wrd_08.txt");
    LineWriter keyed(kKeyedByPage);
    Fields f;
    while (in.Next(&f, 8)) {
      auto place = places.find(f[2]);
      if (place == places.end()) continue;
      keyed.WriteLine(ZeroPadded(static_cast<long long>(place->second), kPlaceWidth) + in.line());
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
    while (in.Next(&line)) {
      Fields f = SplitQuotedRecord(std::string_view(line).substr(kPlaceWidth));
      if (f.size() < 8) f.resize(8);
      // f: reverse key, word id, page, line, column, word, word id, occurrence number
      by_page.WriteLine(QuotedRecord({f[2], f[3], f[4], f[5], f[6], f[7]}));
      by_word.WriteLine(QuotedRecord({f[1], f[2], f[3], f[4], f[5], f[6], f[7]}));
      all_words.WriteLine(QuotedRecord({f[1], group_field, f[2], f[3], f[4], f[5], f[7]}));
    }
  }
  RunCommand("sort " + GroupFile("wrd_11") + " /o " + GroupFile("wrd_12"));
  RunCommand("sort " + GroupFile("wrd_13") + " /o " + GroupFile("wrd_14"));
}

// The records of one word on one page: a stretch of the word-order list.
struct PageRun {
  std::string word_id;
  std::string page;
  size_t records = 0;
};

// Reads the word-order list stretch by stretch, one record ahead.
class PageRunReader {
 public:
  explicit PageRunReader(std::string_view name) : in_(name) { has_ahead_ = in_.Next(&ahead_, 7); }

  bool Next(PageRun* run) {
    if (!has_ahead_) return false;
    run->word_id = ahead_[0];
    run->page = ahead_[1];
    run->records = 0;
    while (has_ahead_ && ahead_[0] == run->word_id && ahead_[1] == run->page) {
      ++run->records;
      has_ahead_ = in_.Next(&ahead_, 7);
    }
    return true;
  }

 private:
  RecordReader in_;
  Fields ahead_;
  bool has_ahead_ = false;
};

// The next page of an occurrence is the page of the word's next stretch in the word-order
// list, if it sorts after this one. One pass finds it for every record in word order; the
// sort brings the table back to document order, which it shares with wrd_12 because page,
// line and column come first and never repeat.
void FindNextPages() {
  const std::string word_order = GroupFile("wrd_14");
  {
    PageRunReader runs(word_order);
    RecordReader records(word_order);
    LineWriter out(kNextPagesInWordOrder);
    Fields f;
    PageRun current, following;
    bool has_current = runs.Next(&current);
    while (has_current) {
      bool has_following = runs.Next(&following);
      std::string_view next_page;
      if (has_following && following.word_id == current.word_id && following.page > current.page) {
        next_page = following.page;
      }
      for (size_t i = 0; i < current.records && records.Next(&f, 7); ++i) {
        // f: word id, page, line, column, word, word id, occurrence number
        out.WriteLine(QuotedRecord({f[1], f[2], f[3], f[4], f[5], f[6], next_page}));
      }
      current = std::move(following);
      has_current = has_following;
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

  AssignWordIds();
  NumberOccurrences();
  MergeSortFile("wrd_04.txt", "wrd_05.txt");
  CopyCheckedRecords();
  WriteReverseKeys();
  MergeSortFile("wrd_07.txt", "wrd_08.txt");
  PrintLine("processed 30%");

  PagePlaces places = WritePageList();
  MergeSortFile("group_page_all.txt", "group_page_all_sort.txt");
  PrintLine("processed 40%");

  SplitByPage(places);
  FindNextPages();
  PrintLine("processed 50%");
  KeepOccurrenceTables();
}
