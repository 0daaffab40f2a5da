#ifndef COMMON_RECORD_FILE_H_
#define COMMON_RECORD_FILE_H_

/// Work files of fixed-size records, for lists that one phase of a program writes and a later
/// one reads back: the record's bytes as they stand in memory, no line ends, no text fields.
/// Such a file lives and dies within one run on one machine, so its layout never has to be
/// read by anything else. Lists too large for memory are put in order by SortedRecords, an
/// external merge sort of such records.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/line_files.h"
#include "common/work_files.h"

template <typename Record>
class RecordWriter {
  static_assert(std::is_trivially_copyable_v<Record>);

 public:
  explicit RecordWriter(std::string_view name) : out_(name) {}
  void Put(const Record& record) {
    char* to = out_.Room(sizeof record);
    std::memcpy(to, &record, sizeof record);
    out_.Commit(to + sizeof record);
    ++count_;
  }
  /// Records written so far: the index the next one gets.
  size_t count() const { return count_; }
  void Close() { out_.Close(); }

 private:
  LineWriter out_;
  size_t count_ = 0;
};

template <typename Record>
class RecordReader {
  static_assert(std::is_trivially_copyable_v<Record>);

 public:
  explicit RecordReader(std::string_view name) : in_(name) {}
  /// Reads the records [first, end) from now on.
  void Seek(size_t first, size_t end) {
    in_.Seek(static_cast<long long>(first * sizeof(Record)),
             static_cast<long long>(end * sizeof(Record)));
    block_.clear();
    at_ = 0;
  }
  bool Next(Record* record) {
    if (at_ == block_.size()) {
      block_.resize(kBlock);
      block_.resize(ReadInto(block_.data(), kBlock));
      at_ = 0;
      if (block_.empty()) return false;
    }
    *record = block_[at_++];
    return true;
  }

 private:
  static constexpr size_t kBlock = (1 << 16) / sizeof(Record) + 1;
  size_t ReadInto(Record* to, size_t count) {
    return in_.Read(reinterpret_cast<char*>(to), count * sizeof(Record)) / sizeof(Record);
  }
  LineReader in_;
  std::vector<Record> block_;
  size_t at_ = 0;
};

/// Records put in order by `Less`: held in memory up to a budget, beyond it sorted in runs
/// that are written to work files "<run_stem><n>.txt" and merged when read back. Records
/// that compare equal may come out in any order.
template <typename Record, typename Less>
class SortedRecords {
 public:
  SortedRecords(std::string run_stem, size_t memory_bytes, Less less = Less())
      : stem_(std::move(run_stem)),
        capacity_(std::max<size_t>(memory_bytes / sizeof(Record), 1024)),
        less_(less) {}
  ~SortedRecords() {
    for (size_t n = 1; n <= runs_; ++n) DeleteWorkFile(RunName(n));
  }
  SortedRecords(const SortedRecords&) = delete;
  SortedRecords& operator=(const SortedRecords&) = delete;

  void Add(const Record& record) {
    if (buffer_.size() >= capacity_) WriteRun();
    buffer_.push_back(record);
  }

  /// Calls `visit` with every record, in order; once only.
  template <typename Visit>
  void ForEach(Visit visit) {
    std::sort(buffer_.begin(), buffer_.end(), less_);
    if (runs_ == 0) {
      for (const Record& record : buffer_) visit(record);
      buffer_ = std::vector<Record>();
      return;
    }
    if (!buffer_.empty()) WriteRun();
    buffer_ = std::vector<Record>();
    // Few runs are ever needed (each holds the memory budget), so one merge of all of them
    // through a heap of their heads is enough.
    std::vector<std::unique_ptr<RecordReader<Record>>> readers;
    std::vector<Record> heads(runs_);
    std::vector<size_t> heap;
    auto later = [&](size_t a, size_t b) { return less_(heads[b], heads[a]); };
    for (size_t n = 0; n < runs_; ++n) {
      readers.push_back(std::make_unique<RecordReader<Record>>(RunName(n + 1)));
      if (readers[n]->Next(&heads[n])) heap.push_back(n);
    }
    std::make_heap(heap.begin(), heap.end(), later);
    while (!heap.empty()) {
      std::pop_heap(heap.begin(), heap.end(), later);
      size_t n = heap.back();
      visit(heads[n]);
      if (readers[n]->Next(&heads[n])) {
        std::push_heap(heap.begin(), heap.end(), later);
      } else {
        heap.pop_back();
      }
    }
  }

 private:
  std::string RunName(size_t n) const { return stem_ + std::to_string(n) + ".txt"; }
  void WriteRun() {
    std::sort(buffer_.begin(), buffer_.end(), less_);
    auto run = std::make_unique<RecordWriter<Record>>(RunName(++runs_));
    for (const Record& record : buffer_) run->Put(record);
    buffer_.clear();
  }

  std::string stem_;
  size_t capacity_;
  Less less_;
  std::vector<Record> buffer_;
  size_t runs_ = 0;
};

#endif  // COMMON_RECORD_FILE_H_
