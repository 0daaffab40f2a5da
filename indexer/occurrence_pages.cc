#include "indexer/occurrence_pages.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/line_files.h"
#include "common/record_file.h"
#include "common/shell.h"
#include "common/text.h"
#include "common/work_files.h"
#include "indexer/decorate.h"
#include "indexer/decorate_lines.h"
#include "indexer/line_numbers.h"
#include "indexer/page_files.h"
#include "indexer/search_page.h"
#include "indexer/second_names.h"
#include "indexer/work_file_lock.h"

namespace {

constexpr uint32_t kNoSpelling = UINT32_MAX;

// Words from this length on are written without a copy.
constexpr size_t kHugeWord = 1 << 16;

// Lines with more occurrences than this are walked without holding them (LongLine).
constexpr size_t kHeldLineItems = 1 << 16;

// One line of the occurrence table: page, line, column, word, word id, occurrence number,
// next page, each quoted. A huge word is written as it stands, not copied.
void WriteTableLine(LineWriter* table, const Occurrence& o) {
  const size_t room = 128 + o.page.size() + o.word_id.size() + o.next_page.size();
  const bool huge = o.word.size() >= kHugeWord;
  {
    InPlace out(table, room + (huge ? 0 : o.word.size()));
    out << "\"" << o.page << "\",\"";
    out.RightAligned(o.line, 10) << "\",\"";
    out.RightAligned(o.column, 6) << "\",\"";
    if (!huge) out << o.word;
  }
  if (huge) table->Write(o.word);
  InPlace out(table, room);
  out << "\",\"" << o.word_id << "\",\"" << o.number << "\",\"" << o.next_page << "\"\r\n";
}

// Per key, together so that one occurrence touches one cache line of them.
struct KeyState {
  uint64_t running = 0;           // occurrences numbered so far
  uint64_t on_page = 0;           // occurrences on the current page
  uint64_t base = 0;              // occurrences numbered before the current page
  uint64_t line_serial = 0;       // the last line met on, counted along the walk from 1
  std::string_view id;            // the word id, taken when the page is first met
  uint32_t next_page = kNoPage;   // on the current page: the next page holding the key
  uint32_t entry_page = kNoPage;  // the page whose index entry is made last
};

// What a walk tells of one occurrence besides the Occurrence itself.
struct WalkStep {
  uint32_t page;      // the page's place in page order
  uint32_t key;       // the word's key
  uint32_t spelling;  // the word as it stands
  KeyState* state;    // the key's counts
};

// Walks the pages in order and their occurrences in document order, numbering them and
// finding their next pages: `take(occurrence, step)` for each occurrence.
template <typename Take>
void WalkOccurrences(const WordLists& lists, Take take) {
  const Vocabulary& vocabulary = lists.vocabulary;
  std::vector<KeyState> state(vocabulary.key_count());
  std::unique_lock<std::mutex> lock(WorkFileLock());
  RecordReader<OccurrenceRecord> scout(kOccurrenceFile);
  RecordReader<OccurrenceRecord> records(kOccurrenceFile);
  RecordReader<uint32_t> next_pages(kNextPageFile);
  lock.unlock();
  std::vector<uint32_t> touched;
  std::vector<LineItem> line;
  std::unique_ptr<LongLine> long_line;  // made when a page holds one
  std::vector<uint32_t> order;
  uint64_t line_serial = 0;
  OccurrenceRecord record;
  for (uint32_t p = 0; p < lists.pages.size(); ++p) {
    const PageWords& page = lists.pages[p];
    // The scout counts each key's occurrences on the page first: an occurrence has a later
    // one on its page when its number is below the highest the key reaches there.
    touched.clear();
    scout.Seek(page.first, page.first + page.count);
    while (scout.Next(&record)) {
      KeyState& k = state[record.key];
      if (k.on_page++ == 0) {
        touched.push_back(record.key);
        k.base = k.running;
        k.id = lists.key_id[record.key];
      }
    }
    next_pages.Seek(page.next_first, page.next_first + page.next_count);
    for (uint32_t key : touched) {
      if (!next_pages.Next(&state[key].next_page)) state[key].next_page = kNoPage;
    }

    records.Seek(page.first, page.first + page.count);
    size_t at = page.first;  // the place of `record` in kOccurrenceFile
    bool have = records.Next(&record);
    while (have) {
      const uint64_t line_number = record.line;
      const size_t line_first = at;
      line.clear();
      do {
        line.push_back({record.column, record.spelling, record.key, 0});
        have = records.Next(&record);
        ++at;
      } while (have && record.line == line_number && line.size() < kHeldLineItems);
      auto take_item = [&](const LineItem& item) {
        KeyState& k = state[item.key];
        Occurrence o;
        o.page = page.name;
        o.line = static_cast<long long>(line_number);
        o.column = static_cast<long long>(item.column);
        o.word = vocabulary.SpellingText(item.spelling);
        o.word_id = k.id;
        o.number = static_cast<long long>(item.number);
        if (k.next_page != kNoPage) o.next_page = lists.pages[k.next_page].name;
        take(o, WalkStep{p, item.key, item.spelling, &k});
      };
      if (have && record.line == line_number) {
        if (!long_line) {
          long_line = std::make_unique<LongLine>(vocabulary, kOccurrenceFile, &WorkFileLock());
        }
        for (const LineItem& item : line) long_line->Count(item.column, item.spelling);
        for (; have && record.line == line_number; have = records.Next(&record), ++at) {
          long_line->Count(record.column, record.spelling);
        }
        long_line->Walk(line_first, &state, take_item);
        continue;
      }
      NumberLine(vocabulary, ++line_serial, &line, &order, &state);
      DocumentOrder(line, &order);
      for (uint32_t i : order) take_item(line[i]);
    }
    for (uint32_t key : touched) state[key].on_page = 0;
  }
}

// One occurrence on its way to the decorated pages and the occurrence table.
struct PageOccurrence {
  uint32_t page;              // the page's place in page order
  long long highest_on_page;  // the highest occurrence number of the word on the page
  Occurrence occurrence;
};

// Hands the walk's occurrences in batches from the walking thread to the decorating one,
// holding a few batches at most.
class OccurrenceQueue {
 public:
  static constexpr size_t kBatch = 4096;

  // Takes the batch's occurrences; waits while the queue is full.
  void Push(std::vector<PageOccurrence>* batch) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return full_.size() < kMaxBatches; });
    full_.push_back(std::move(*batch));
    batch->clear();
    changed_.notify_all();
  }
  // The next batch; false once the walk has ended and every batch is taken.
  bool Pop(std::vector<PageOccurrence>* batch) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !full_.empty() || ended_; });
    if (full_.empty()) return false;
    *batch = std::move(full_.front());
    full_.pop_front();
    changed_.notify_all();
    return true;
  }
  void End() {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    changed_.notify_all();
  }

 private:
  static constexpr size_t kMaxBatches = 4;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<PageOccurrence>> full_;
  bool ended_ = false;
};

// Decorates the pages and writes the occurrence table, as the occurrences come.
void DecoratePages(const IndexerRun& run, const WordLists& lists, OccurrenceQueue* queue) {
  std::vector<std::string> names;
  for (const PageWords& page : lists.pages) names.push_back(page.name);
  const PageChain chain = MakePageChain(names);
  std::unique_ptr<PageDecorator> decorator;
  uint32_t decorated = kNoPage;
  std::unique_lock<std::mutex> lock(WorkFileLock());
  LineWriter table(kOccurrenceTable);
  lock.unlock();
  std::vector<PageOccurrence> batch;
  while (queue->Pop(&batch)) {
    for (const PageOccurrence& item : batch) {
      if (item.page != decorated) {
        const uint32_t p = item.page;
        const std::string& page = lists.pages[p].name;
        lock.lock();
        decorator.reset();  // the page before is complete
        decorator = std::make_unique<PageDecorator>(run, page, lists.pages[p].text,
                                                    NeighbourPages(chain, page),
                                                    p + 1 == lists.pages.size());
        lock.unlock();
        decorated = p;
      }
      decorator->Take(item.occurrence, item.highest_on_page);
      WriteTableLine(&table, item.occurrence);
    }
  }
  lock.lock();
  decorator.reset();
  table.Close();
  // The walk has ended too: the work files of the pages' text and words go now, while the
  // word index is written.
  DeleteWorkFile(kPageTextFile);
  DeleteWorkFile(kOccurrenceFile);
  DeleteWorkFile(kNextPageFile);
}

}  // namespace

// The occurrences are numbered in one walk on this thread, which writes the search page
// and makes the word index entries; a second thread decorates the pages and writes the
// occurrence table, which hold most of the bytes. Every output file is written by one
// thread in a fixed order, so the bytes are the same on every run.
void WriteOccurrencePages(const IndexerRun& run, WordLists* lists) {
  OccurrenceQueue queue;
  std::thread decoration([&] { DecoratePages(run, *lists, &queue); });
  lists->first_spelling.assign(lists->vocabulary.key_count(), kNoSpelling);
  WordPageEntries entries;
  {
    std::unique_lock<std::mutex> lock(WorkFileLock());
    SearchPageWriter search(run);
    lock.unlock();
    std::vector<PageOccurrence> batch;
    WalkOccurrences(*lists, [&](const Occurrence& o, const WalkStep& step) {
      KeyState& k = *step.state;
      batch.push_back({step.page, static_cast<long long>(k.base + k.on_page), o});
      if (batch.size() == OccurrenceQueue::kBatch) queue.Push(&batch);
      search.Add(o);
      if (k.entry_page != step.page) {
        k.entry_page = step.page;
        entries.Add({lists->id_rank[step.key], step.page, step.spelling, 0, k.on_page,
                     static_cast<uint64_t>(o.number)});
        // A key's first occurrence always makes an entry.
        uint32_t& first = lists->first_spelling[step.key];
        if (first == kNoSpelling) first = step.spelling;
      }
    });
    queue.Push(&batch);
    queue.End();
  }
  WriteWordIndexAndContents(run, *lists, &entries);
  decoration.join();
}

void KeepOccurrenceTable() {
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
  // The table is not written again after this, and its name in the work directory is
  // deleted before the run ends.
  CopyAsSecondNames("wrd_24*.txt", "wrd_24", "out_null.list");
}
