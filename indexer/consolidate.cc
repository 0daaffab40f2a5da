#include "indexer/consolidate.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <initializer_list>
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
#include "indexer/second_names.h"

namespace {

const std::string kGroup = std::to_string(kPageGroup);

// "wrd_11" gives "wrd_11_1.txt": the files of the page group carry its number.
std::string GroupFile(std::string_view stem) { return std::string(stem) + "_" + kGroup + ".txt"; }

// Work files of this phase that later phases never read: wrd_08 records keyed by their
// page's place in the group file, the same sorted, and the occurrence table in word order.
constexpr char kKeyedByPage[] = "wrd_09.txt";
constexpr char kKeyedByPageSorted[] = "wrd_10.txt";
const std::string kNextPagesInWordOrder = GroupFile("wrd_23");

bool g_delete_step_files = true;

// Deletes work files of the steps that nothing reads any more, with the run files of the
// last merge sort.
void Release(std::initializer_list<std::string> names) {
  if (!g_delete_step_files) return;
  for (const std::string& name : names) DeleteWorkFile(name);
  DeleteSortRuns();
}

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
    SplitQuotedFields(line_, fields_, kMaxFields);
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

// The word-order list straight from the key order. The key order holds a word's records by
// page, line, spelling and column, the word-order list by page, line, column and word: only
// the records of one word on one line may stand in another order, and they are sorted in
// memory. Every line written is checked against the one before in the sort command's
// order; when one would not follow (or a line holds too many records of one word), the
// list is left to the sort command instead, so that its bytes are always the command's.
class WordOrderWriter {
 public:
  WordOrderWriter() : out_(GroupFile("wrd_14")) {}

  void Add(std::string_view page, std::string_view line, std::string_view column,
           std::string_view word, std::string_view id, std::string_view number) {
    if (!usable_) return;
    if (group_.empty() || id != group_id_ || page != group_page_ || line != group_line_) {
      Flush();
      group_id_ = id;
      group_page_ = page;
      group_line_ = line;
    }
    if (group_.size() >= kMaxGroup) {
      usable_ = false;
      group_.clear();
      return;
    }
    std::string record;
    AppendQuotedRecord(&record, {id, page, line, column, word, id, number});
    group_.push_back(std::move(record));
    ++count_;
  }

  // True when the list is complete and in order, with `expected_count` lines.
  bool Finish(size_t expected_count) {
    Flush();
    out_.Close();
    return usable_ && count_ == expected_count;
  }

 private:
  static constexpr size_t kMaxGroup = 100000;

  void Flush() {
    if (!usable_) return;
    std::sort(group_.begin(), group_.end(),
              [](const std::string& a, const std::string& b) { return CaseBlindLess(a, b); });
    for (std::string& record : group_) {
      if (has_last_ && CaseBlindLess(record, last_)) {
        usable_ = false;
        break;
      }
      out_.WriteLine(record);
      last_.swap(record);
      has_last_ = true;
    }
    group_.clear();
  }

  LineWriter out_;
  std::vector<std::string> group_;
  std::string group_id_, group_page_, group_line_;
  std::string last_;
  bool has_last_ = false;
  bool usable_ = true;
  size_t count_ = 0;
};

struct KeyOrderPass {
  bool word_order_written = false;     // wrd_14 holds the word-order list already
  bool every_record_numbered = false;  // wrd_04 holds every record of wrd_03
  size_t numbered = 0;
};

// A key's word id is the position of its first record among all records (wrd_03); its
// occurrences are numbered in that same order (wrd_04). Every record counts, also one that
// the page check then leaves out.
KeyOrderPass AssignIdsAndNumbers() {
  KeyOrderPass pass;
  RecordReader in("wrd_01_02.txt");
  LineWriter ids("wrd_03.txt");
  LineWriter numbered("wrd_04.txt");
  WordOrderWriter word_order;
  size_t position = 0;
  std::string current_key, current_id, previous_id;
  long long counter = 0;
  std::string count_text;
  for (; in.Next(); ++position) {
    if (position == 0 || in[0] != current_key) {
      current_key = in[0];
      current_id = WordId(position);
    }
    ids.WriteRecord({in[1], in[2], in[4], in[3], current_id});
    if (position == 0) previous_id = current_id;
    ++counter;
    if (current_id != previous_id) counter = 1;
    if (Contains(in[1], "page_") && Contains(current_id, "id")) {
      count_text = std::to_string(counter);
      numbered.WriteRecord({in[1], in[2], in[4], in[3], current_id, count_text});
      word_order.Add(in[1], in[2], in[4], in[3], current_id, count_text);
      ++pass.numbered;
    }
    previous_id = current_id;
  }
  pass.every_record_numbered = pass.numbered == position;
  pass.word_order_written = word_order.Finish(pass.numbered);
  return pass;
}

// Each page's 0-based place in the group file.
using PagePlaces = std::unordered_map<std::string, size_t>;

struct DocumentOrderPass {
  PagePlaces places;
  bool case_blind_sorted = true;  // wrd_06 is already in the interpreter's sort order
  size_t checked = 0;             // records of wrd_06
};

// One pass over the document-order list: the check copy (wrd_06), the reverse keys in
// front (wrd_07), so that the merge sort orders by descending occurrence number, and the
// pages in order of first appearance (a table of pages seen replaces re-reading the list).
DocumentOrderPass CopyCheckedRecords() {
  DocumentOrderPass pass;
  size_t records = 0;
  {
    RecordReader in("wrd_05.txt");
    LineWriter reversed("wrd_07.txt");
    LineWriter list("group_page_all.txt");
    LineWriter group(GroupFile("group_search"));
    std::string previous;
    bool first = true;
    while (in.Next()) {
      ++records;
      if (!Contains(LowerAscii(in[0]), "page_") || !Contains(in[4], "id")) continue;
      ++pass.checked;
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
  }
  // The numbering step lets only checked records through, so the check copy is normally
  // the list itself: it gets the list's file under its own name instead of a copy.
  if (pass.checked == records) {
    ShareWorkFile("wrd_05.txt", "wrd_06.txt");
    return pass;
  }
  RecordReader in("wrd_05.txt");
  LineWriter checked("wrd_06.txt");
  while (in.Next()) {
    if (Contains(LowerAscii(in[0]), "page_") && Contains(in[4], "id")) checked.WriteLine(in.line());
  }
  return pass;
}

// Groups wrd_08's records page by page in the order of the group file, keeping wrd_08's
// order within a page: a merge sort on the page's place put in front of the wrd_08 line
// (wrd_08 lines are already in byte order, so equal places fall back to it).
void SplitByPage(const DocumentOrderPass& pass, const KeyOrderPass& key_order) {
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
  Release({kKeyedByPage, "wrd_08.txt"});

  // The word-order list may have been written in the key-order pass already (it holds the
  // same records: every numbered record passes the page check).
  const bool sort_word_order = !key_order.word_order_written || pass.checked != key_order.numbered;
  const std::string group_field = RightAlign(kGroup, 5);
  LineWriter all_words("wrd_15.txt");
  {
    LineWriter by_page(GroupFile("wrd_11"));
    LineWriter by_word(GroupFile("wrd_13"));
    LineReader in(kKeyedByPageSorted);
    std::string line;
    std::string_view f[8];
    while (in.Next(&line)) {
      SplitQuotedFields(std::string_view(line).substr(kPlaceWidth), f, 8);
      // f: reverse key, word id, page, line, column, word, word id, occurrence number
      by_page.WriteRecord({f[2], f[3], f[4], f[5], f[6], f[7]});
      by_word.WriteRecord({f[1], f[2], f[3], f[4], f[5], f[6], f[7]});
      all_words.WriteRecord({f[1], group_field, f[2], f[3], f[4], f[5], f[7]});
    }
  }
  // wrd_11 holds the records of wrd_06 in another order; when wrd_06 is already in the
  // sort command's order it is the sorted result, the same bytes the command would write.
  if (pass.case_blind_sorted) {
    ShareWorkFile("wrd_06.txt", GroupFile("wrd_12"));
  } else {
    RunCommand("sort " + GroupFile("wrd_11") + " /o " + GroupFile("wrd_12"));
  }
  if (sort_word_order) {
    RunCommand("sort " + GroupFile("wrd_13") + " /o " + GroupFile("wrd_14"));
  }
  Release({kKeyedByPageSorted, GroupFile("wrd_13"), "wrd_05.txt", "wrd_06.txt"});
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

// Where each page's records stand in the document-order list.
struct PageChunk {
  std::string page;
  long long begin = 0;
  long long end = 0;
};

std::string_view FirstField(std::string_view line) {
  size_t open = line.find('"');
  if (open == std::string_view::npos) return std::string_view();
  size_t close = line.find('"', open + 1);
  return line.substr(open + 1, close == std::string_view::npos ? close : close - open - 1);
}

// False when the pages do not stand in strictly ascending byte order, one chunk each.
bool FindPageChunks(const std::string& list, std::vector<PageChunk>* chunks) {
  LineReader in(list);
  std::string line;
  long long begin = in.Offset();
  while (in.Next(&line)) {
    std::string_view page = FirstField(line);
    if (chunks->empty() || page != chunks->back().page) {
      if (!chunks->empty() && !(chunks->back().page < page)) return false;
      chunks->push_back({std::string(page), begin, begin});
    }
    begin = in.Offset();
    chunks->back().end = begin;
  }
  return true;
}

struct TransparentHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

// The occurrence table read off the document-order list with a table of one entry per
// word: walking the pages from the last to the first, a word's next page is the page it was
// last seen on. The pages' records are written in that backward order to a scratch file and
// then put together in page order. This holds when every record of wrd_03 reached the list
// and the pages ascend in byte order: then a word's next page in wrd_03 is the next page
// of the list that holds the word.
bool WriteTableFromTheBack(const std::string& list, const std::string& table) {
  std::vector<PageChunk> chunks;
  if (!FindPageChunks(list, &chunks)) return false;
  const std::string scratch = GroupFile("wrd_24_pages");
  std::vector<std::pair<long long, long long>> written(chunks.size());
  {
    LineReader in(list);
    LineWriter out(scratch);
    std::unordered_map<std::string, size_t, TransparentHash, std::equal_to<>> seen_on;
    std::string ids_text;  // the page's word ids, one after the other
    std::vector<size_t> id_ends;
    std::string line, record;
    std::string_view f[6];
    long long put = 0;
    for (size_t i = chunks.size(); i-- > 0;) {
      in.Seek(chunks[i].begin, chunks[i].end);
      ids_text.clear();
      id_ends.clear();
      written[i].first = put;
      while (in.Next(&line)) {
        SplitQuotedFields(line, f, 6);
        const std::string_view id = f[4];
        record = line;
        record += ",\"";
        auto next = seen_on.find(id);
        if (next != seen_on.end()) record += chunks[next->second].page;
        record += '"';
        out.WriteLine(record);
        put += static_cast<long long>(record.size()) + 2;
        ids_text += id;
        id_ends.push_back(ids_text.size());
      }
      written[i].second = put;
      size_t start = 0;
      for (size_t end : id_ends) {
        std::string_view id = std::string_view(ids_text).substr(start, end - start);
        auto entry = seen_on.find(id);
        if (entry == seen_on.end()) {
          seen_on.emplace(std::string(id), i);
        } else {
          entry->second = i;
        }
        start = end;
      }
    }
  }
  bool ok = CopyWorkFileRanges(scratch, table, written);
  DeleteWorkFile(scratch);
  return ok;
}

// One pass over the word-order list gives every occurrence its next page, with a table of
// one word's pages at a time; the sort brings the table back to document order.
void FindNextPages(const KeyOrderPass& key_order, const DocumentOrderPass& pass) {
  if (key_order.every_record_numbered && pass.checked == key_order.numbered &&
      WriteTableFromTheBack(GroupFile("wrd_12"), GroupFile("wrd_24"))) {
    return;
  }
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
  Release({kNextPagesInWordOrder});
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
  // The tables are not written again after this, and their names in the work directory are
  // deleted before the run ends.
  CopyAsSecondNames("wrd_24*.txt", "wrd_24", "out_null.list");
}

}  // namespace

void ConsolidateWordLists(StepFiles step_files) {
  g_delete_step_files = step_files == StepFiles::kDelete;
  WriteWordKeys();
  Release({"wrd_01.txt"});
  MergeSortFile("wrd_01_01.txt", "wrd_01_02.txt");
  Release({"wrd_01_01.txt"});
  PrintLine("processed 20%");

  KeyOrderPass key_order = AssignIdsAndNumbers();
  Release({"wrd_01_02.txt"});
  MergeSortFile("wrd_04.txt", "wrd_05.txt");
  Release({"wrd_04.txt"});
  DocumentOrderPass pass = CopyCheckedRecords();
  MergeSortFile("wrd_07.txt", "wrd_08.txt");
  Release({"wrd_07.txt"});
  PrintLine("processed 30%");

  MergeSortFile("group_page_all.txt", "group_page_all_sort.txt");
  PrintLine("processed 40%");

  SplitByPage(pass, key_order);
  FindNextPages(key_order, pass);
  Release({"wrd_03.txt"});
  PrintLine("processed 50%");
  KeepOccurrenceTables();
}
