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
#include "indexer/occurrence_walk.h"
#include "indexer/page_files.h"
#include "indexer/search_page.h"
#include "indexer/second_names.h"

namespace {

constexpr uint32_t kNoSpelling = UINT32_MAX;

// Words from this length on are written without a copy.
constexpr size_t kHugeWord = 1 << 16;

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
  LineWriter table(kOccurrenceTable);
  std::vector<PageOccurrence> batch;
  while (queue->Pop(&batch)) {
    for (const PageOccurrence& item : batch) {
      if (item.page != decorated) {
        const uint32_t p = item.page;
        const std::string& page = lists.pages[p].name;
        decorator.reset();  // the page before is complete
        decorator = std::make_unique<PageDecorator>(run, page, lists.pages[p].text,
                                                    NeighbourPages(chain, page),
                                                    p + 1 == lists.pages.size());
        decorated = p;
      }
      decorator->Take(item.occurrence, item.highest_on_page);
      WriteTableLine(&table, item.occurrence);
    }
  }
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
    SearchPageWriter search(run);
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
  RequireFolderWhereNamed("wrd_24", "write");
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
  RequireFolder("wrd_24", "write");
  // The table is not written again after this, and its name in the work directory is
  // deleted before the run ends.
  CopyAsSecondNames("wrd_24*.txt", "wrd_24", "out_null.list");
}
