#include "indexer/page_decoration.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string_view>
#include <vector>

#include "common/line_files.h"
#include "indexer/decorate.h"
#include "indexer/decorate_lines.h"

namespace {

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

}  // namespace

std::string OccurrenceTable(uint32_t group) { return "wrd_24_" + std::to_string(group) + ".txt"; }

// The thread's queue, and the occurrences gathered for its next batch.
struct PageDecoration::Handover {
  OccurrenceQueue queue;
  std::vector<PageOccurrence> batch;
};

PageDecoration::PageDecoration(const IndexerRun& run, const WordLists& lists)
    : handover_(std::make_unique<Handover>()),
      thread_([this, &run, &lists] { Decorate(run, lists); }) {}

PageDecoration::~PageDecoration() { Finish(); }

void PageDecoration::Take(uint32_t page, long long highest_on_page, const Occurrence& o) {
  handover_->batch.push_back({page, highest_on_page, o});
  if (handover_->batch.size() == OccurrenceQueue::kBatch) handover_->queue.Push(&handover_->batch);
}

void PageDecoration::Finish() {
  if (!thread_.joinable()) return;
  handover_->queue.Push(&handover_->batch);
  handover_->queue.End();
  thread_.join();
}

// Decorates the pages and writes the occurrence tables, as the occurrences come. The Before
// and Next links follow the whole page list; the last page of each group is the last one
// decorated in that group's run. An empty page list leaves an empty table of group 1.
void PageDecoration::Decorate(const IndexerRun& run, const WordLists& lists) {
  std::vector<std::string> names;
  for (const PageWords& page : lists.pages) names.push_back(page.name);
  const PageChain chain = MakePageChain(names);
  std::unique_ptr<PageDecorator> decorator;
  uint32_t decorated = kNoPage;
  uint32_t table_group = 1;
  auto table = std::make_unique<LineWriter>(OccurrenceTable(table_group));
  std::vector<PageOccurrence> batch;
  while (handover_->queue.Pop(&batch)) {
    for (const PageOccurrence& item : batch) {
      if (item.page != decorated) {
        const uint32_t p = item.page;
        const PageWords& page = lists.pages[p];
        decorator.reset();  // the page before is complete
        if (page.group != table_group) {
          table->Close();
          table_group = page.group;
          table = std::make_unique<LineWriter>(OccurrenceTable(table_group));
        }
        const bool last_in_group =
            p + 1 == lists.pages.size() || lists.pages[p + 1].group != page.group;
        decorator = std::make_unique<PageDecorator>(
            run, page.name, page.text, NeighbourPages(chain, page.name), page.group, last_in_group);
        decorated = p;
      }
      decorator->Take(item.occurrence, item.highest_on_page);
      WriteTableLine(table.get(), item.occurrence);
    }
  }
  decorator.reset();
  table->Close();
}
