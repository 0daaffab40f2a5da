#ifndef COMMON_LINE_FILES_H_
#define COMMON_LINE_FILES_H_

/// Work files read and written line by line. Every line written ends with CR LF; a line
/// read ends at LF, with a CR before it dropped. A file that is missing, or is no regular
/// file, reads as empty. Writing follows the rules of work_files.h: never through a link,
/// and a failed write ends the program.

#include <charconv>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// Streams the lines of one file. A file that cannot be opened reads as empty.
class LineReader {
 public:
  explicit LineReader(std::string_view name);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool is_open() const { return fd_ >= 0; }
  /// The next line without its line end; false at the end of the file.
  bool Next(std::string* line);
  /// The same line as a view of the reader's buffer, which holds until the reader is used
  /// again: a giant line is then held once, not twice.
  bool NextView(std::string_view* line);
  /// The next bytes as they stand, line ends included (at most about 64 KiB); false at the
  /// end of the file.
  bool NextChunk(std::string* chunk);
  /// Up to `size` next bytes into `to`, fewer only at the end; returns how many.
  size_t Read(char* to, size_t size);
  /// Starts again from the first line.
  void Rewind();
  /// Where the next line begins, in bytes from the start of the file.
  long long Offset() const { return file_offset_ - static_cast<long long>(end_ - begin_); }
  /// Goes on reading from `offset` (an offset that Offset() gave); with an `end`, only the
  /// lines before that offset are read, and nothing of the file beyond it.
  void Seek(long long offset, long long end = -1);

 private:
  bool Fill();
  void GrowForLine();
  void Reallocate(size_t size);
  int fd_ = -1;
  long long file_offset_ = 0;  // of buffer_[end_]
  long long end_offset_ = -1;  // where reading stops, -1 at the end of the file
  std::unique_ptr<char[]> buffer_;
  size_t size_ = 0;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
};

/// Writes a work file through a buffer: lines ended by CR LF (WriteLine), or bytes as they
/// are (Write), which is how the binary record files of record_file.h are written too.
/// Creating replaces an existing file (a new file where the old one has other names too). A
/// failed write or close ends the program.
class LineWriter {
 public:
  enum Mode { kCreate, kAppend };
  /// What a file that cannot be opened does: end the program, or leave the writer closed
  /// (error() tells why) for a caller that has its own answer.
  enum OnFailure { kEndProgram, kReport };
  explicit LineWriter(std::string_view name, Mode mode = kCreate,
                      OnFailure on_failure = kEndProgram);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  bool is_open() const { return fd_ >= 0; }
  /// Why opening failed, as for StopOnWriteFailure; 0 when it did not.
  int error() const { return error_; }
  void WriteLine(std::string_view line);
  /// Raw bytes, no line end added.
  void Write(std::string_view bytes);
  /// Room for up to `size` bytes at the end of what is buffered, for a caller that builds
  /// its bytes in place; Commit(end) then takes the bytes up to `end`.
  char* Room(size_t size);
  void Commit(const char* end);
  /// Writes out what is buffered, so that a reader of the file sees it.
  void Flush();
  void Close();

 private:
  void WriteOut(std::string_view bytes);
  int fd_ = -1;
  int error_ = 0;
  std::string name_;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  size_t used_ = 0;
};

/// Builds bytes straight in a writer's buffer, from pieces that surely fit in the room
/// taken; they are committed when the builder goes.
class InPlace {
 public:
  InPlace(LineWriter* out, size_t room) : out_(out), to_(out->Room(room)) {}
  ~InPlace() { out_->Commit(to_); }
  InPlace(const InPlace&) = delete;
  InPlace& operator=(const InPlace&) = delete;
  InPlace& operator<<(std::string_view piece) {
    if (!piece.empty()) std::memcpy(to_, piece.data(), piece.size());
    to_ += piece.size();
    return *this;
  }
  InPlace& operator<<(long long number) {
    to_ = std::to_chars(to_, to_ + 24, number).ptr;
    return *this;
  }
  /// `number` right-aligned in `width` characters (more where it needs them).
  InPlace& RightAligned(long long number, size_t width) {
    char text[24];
    const size_t length = static_cast<size_t>(std::to_chars(text, text + 24, number).ptr - text);
    if (length < width) {
      std::memset(to_, ' ', width - length);
      to_ += width - length;
    }
    return *this << std::string_view(text, length);
  }

 private:
  LineWriter* out_;
  char* to_;
};

/// Every line of a (small) file.
std::vector<std::string> ReadAllLines(std::string_view name);

#endif  // COMMON_LINE_FILES_H_
