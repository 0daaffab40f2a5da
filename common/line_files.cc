#include "common/line_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/file_failures.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/work_files.h"
#include "common/work_paths.h"
#include "common/work_target.h"

namespace {

constexpr size_t kWriteBuffer = 1 << 18;
constexpr size_t kReadBuffer = 1 << 16;
// A read buffer grows by doubling up to this size and keeps it; beyond it, it grows to the
// size of the line and is given back once the line is read.
constexpr size_t kKeptReadBuffer = 1 << 20;

}  // namespace

LineReader::LineReader(std::string_view name)
    : buffer_(std::make_unique_for_overwrite<char[]>(kReadBuffer)), size_(kReadBuffer) {
  platform::FileInfo st;
  fd_ = OpenInput(name, &st);
}

LineReader::~LineReader() {
  if (fd_ >= 0) platform::Close(fd_);
}

void LineReader::Rewind() { Seek(0); }

void LineReader::Seek(long long offset, long long end) {
  if (fd_ < 0) return;
  end_offset_ = end;
  // Within the buffer, no read is needed.
  long long buffer_start = file_offset_ - static_cast<long long>(end_);
  if (offset >= buffer_start && offset <= file_offset_ && (end < 0 || file_offset_ <= end)) {
    begin_ = static_cast<size_t>(offset - buffer_start);
    eof_ = end >= 0 && file_offset_ >= end;
    return;
  }
  platform::Seek(fd_, offset);
  file_offset_ = offset;
  begin_ = end_ = 0;
  eof_ = false;
}

void LineReader::Reallocate(size_t size) {
  auto buffer = std::make_unique_for_overwrite<char[]>(size);
  if (end_ > begin_) std::memcpy(buffer.get(), buffer_.get() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  buffer_ = std::move(buffer);
  size_ = size;
}

// A line longer than the buffer. A giant line is measured by reading ahead, and the buffer
// grows once to hold it: doubling would hold up to twice the line, and both buffers while
// copying.
void LineReader::GrowForLine() {
  if (2 * size_ <= kKeptReadBuffer) {
    Reallocate(2 * size_);
    return;
  }
  auto scratch = std::make_unique_for_overwrite<char[]>(kReadBuffer);
  long long ahead = 0;
  while (true) {
    size_t wanted = kReadBuffer;
    if (end_offset_ >= 0) {
      wanted = static_cast<size_t>(
          std::clamp(end_offset_ - file_offset_ - ahead, 0LL, static_cast<long long>(wanted)));
    }
    if (wanted == 0) break;
    long long got = platform::ReadAt(fd_, scratch.get(), wanted, file_offset_ + ahead);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    const void* lf = std::memchr(scratch.get(), '\n', static_cast<size_t>(got));
    if (lf) {
      ahead += static_cast<const char*>(lf) - scratch.get() + 1;
      break;
    }
    ahead += got;
  }
  // One byte more, so that a line at the end of the file meets the end in the same read.
  Reallocate(std::max(end_ - begin_ + static_cast<size_t>(ahead) + 1, kKeptReadBuffer));
}

bool LineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  // Once a giant line is read, its buffer goes.
  if (size_ > kKeptReadBuffer && end_ - begin_ <= kKeptReadBuffer / 2) {
    Reallocate(kKeptReadBuffer);
  } else if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == size_) GrowForLine();
  size_t room = size_ - end_;
  if (end_offset_ >= 0) {
    if (file_offset_ >= end_offset_) {
      eof_ = true;
      return false;
    }
    room = std::min(room, static_cast<size_t>(end_offset_ - file_offset_));
  }
  while (true) {
    long long got = platform::Read(fd_, buffer_.get() + end_, room);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {  // end of file, or a folder or unreadable file: reads as its end
      eof_ = true;
      return false;
    }
    end_ += static_cast<size_t>(got);
    file_offset_ += got;
    return true;
  }
}

bool LineReader::NextChunk(std::string* chunk) {
  if (begin_ == end_ && !Fill()) return false;
  chunk->assign(buffer_.get() + begin_, end_ - begin_);
  begin_ = end_;
  return true;
}

size_t LineReader::Read(char* to, size_t size) {
  size_t done = 0;
  while (done < size) {
    if (begin_ == end_ && !Fill()) break;
    size_t piece = std::min(size - done, end_ - begin_);
    std::memcpy(to + done, buffer_.get() + begin_, piece);
    begin_ += piece;
    done += piece;
  }
  return done;
}

bool LineReader::NextView(std::string_view* line) {
  size_t scanned = begin_;
  while (true) {
    const char* start = buffer_.get() + scanned;
    const void* lf = std::memchr(start, '\n', end_ - scanned);
    if (lf) {
      size_t stop = static_cast<size_t>(static_cast<const char*>(lf) - buffer_.get());
      size_t length = stop - begin_;
      if (length > 0 && buffer_[stop - 1] == '\r') --length;
      *line = std::string_view(buffer_.get() + begin_, length);
      begin_ = stop + 1;
      return true;
    }
    size_t kept = end_ - begin_;
    if (!Fill()) {
      if (begin_ == end_) return false;
      *line = std::string_view(buffer_.get() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
    scanned = begin_ + kept;
  }
}

bool LineReader::Next(std::string* line) {
  std::string_view view;
  if (!NextView(&view)) return false;
  line->assign(view);
  return true;
}

LineWriter::LineWriter(std::string_view name, Mode mode, OnFailure on_failure) : name_(name) {
  WorkTarget target;
  error_ = target.Resolve(name, true);
  if (error_ == 0) {
    int fd = OpenOutput(target, mode == kAppend, 0666);
    if (fd >= 0) {
      fd_ = fd;
      capacity_ = 2 * kWriteBuffer;
      buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
      return;
    }
    error_ = -fd;
  }
  if (on_failure == kEndProgram) StopOnWriteFailure(name, error_);
}

LineWriter::~LineWriter() { Close(); }

void LineWriter::WriteOut(std::string_view bytes) {
  WriteAllOrStop(fd_, bytes.data(), bytes.size(), name_);
}

void LineWriter::Flush() {
  WriteOut(std::string_view(buffer_.get(), used_));
  used_ = 0;
}

char* LineWriter::Room(size_t size) {
  if (used_ + size > capacity_) {
    if (fd_ >= 0) Flush();
    used_ = 0;  // a closed writer drops what it is given
    if (size > capacity_) {
      capacity_ = size;
      buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }
  }
  return buffer_.get() + used_;
}

void LineWriter::Commit(const char* end) {
  used_ = static_cast<size_t>(end - buffer_.get());
  if (used_ >= kWriteBuffer && fd_ >= 0) Flush();
}

void LineWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return;
  if (bytes.size() >= kWriteBuffer) {
    // A very long line goes out as it is, not through a copy in the buffer.
    Flush();
    WriteOut(bytes);
    return;
  }
  char* to = Room(bytes.size());
  if (!bytes.empty()) std::memcpy(to, bytes.data(), bytes.size());
  Commit(to + bytes.size());
}

void LineWriter::WriteLine(std::string_view line) {
  if (fd_ < 0) return;
  if (line.size() >= kWriteBuffer) {
    Write(line);
    Write("\r\n");
    return;
  }
  char* to = Room(line.size() + 2);
  if (!line.empty()) std::memcpy(to, line.data(), line.size());
  to += line.size();
  *to++ = '\r';
  *to++ = '\n';
  Commit(to);
}

void LineWriter::Close() {
  if (fd_ < 0) return;
  Flush();
  CloseOrStop(fd_, name_);
  fd_ = -1;
}

std::vector<std::string> ReadAllLines(std::string_view name) {
  std::vector<std::string> lines;
  LineReader reader(name);
  std::string line;
  while (reader.Next(&line)) lines.push_back(line);
  return lines;
}
