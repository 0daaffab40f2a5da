#ifndef COMMON_WORK_DIR_H_
#define COMMON_WORK_DIR_H_

/// Files of the work directory (the current directory when the program starts), named as
/// the programs name them: "\" or "/" separates folders, names match without regard to ASCII
/// letter case (opening "report.htm" finds "Report.HTM"), new files get the name as
/// written.
///
/// Nothing is ever created, written, deleted or renamed outside the work directory: a name
/// that is absolute, climbs out of it or passes through a symbolic link (its last component
/// included) is refused for all of these, whatever the link points to; deleting a link
/// deletes the link. Reading follows links, but only regular files are read: anything else
/// (a folder, a FIFO, a device) reads as a file that cannot be opened, and opening never
/// blocks.
///
/// A file that cannot be created, written or finished, a refused name included, ends the
/// program (StopOnWriteFailure). A source that cannot be read, a folder that is missing
/// where a command names one, and a file that cannot be deleted are the callers' ordinary
/// failures: false, and the program goes on.
///
/// Every line written ends with CR LF; a line read ends at LF, with a CR before it dropped.
/// A file that is missing reads as empty.

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Maps a work-directory name to a path usable with the C library. With `for_create`, the
/// last component may be new (its case as written); otherwise it must exist. Returns false
/// when the name leaves the work directory, or (without `for_create`) when nothing matches.
bool ResolveWorkPath(std::string_view name, bool for_create, std::string* path);
/// As ResolveWorkPath with `for_create`, for a path that another program will write in or
/// work in (an editor, a program started in a folder): false also when the path passes
/// through a link, its last component included.
bool ResolveConfinedPath(std::string_view name, std::string* path);

/// Ends the program with status 1 because the output or work file `name` could not be
/// created, written or finished: one line on standard error naming the file and the
/// reason for `error` (an errno value; ELOOP stands for a path through a link, EXDEV for
/// one outside the work directory).
[[noreturn]] void StopOnWriteFailure(std::string_view name, int error);
/// The error of a name whose folder does not exist (or is a file): for a command, the
/// failure of the command, not the end of the program.
bool IsMissingFolder(int error);
/// For tests: checks links by hand, as where the kernel has no openat2 (false: openat2
/// again where there is one).
void CheckLinksByHandForTesting(bool by_hand);

bool FileExists(std::string_view name);    // a regular file
bool FolderExists(std::string_view name);  // a directory
/// False when the file is missing or cannot be deleted.
bool DeleteWorkFile(std::string_view name);
/// Copies one file byte for byte; the target is created or replaced. False when the
/// source cannot be read or the target's folder is missing.
bool CopyWorkFile(std::string_view source, std::string_view target);
/// Gives a file a new name (or folder), replacing a file of that name; where the kernel
/// cannot rename it, it is copied and the source deleted. The end state is that of a copy
/// followed by deleting the source, without passing the bytes through this process.
bool MoveWorkFile(std::string_view source, std::string_view target);
/// Makes `target` a second name of the file `source` (a hard link), replacing a file of
/// that name; copies where the file system cannot link. Creating a file under either name
/// afterwards gives that name a new file; appending to it changes both.
bool ShareWorkFile(std::string_view source, std::string_view target);
/// Writes `target` as the byte ranges [begin, end) of `source`, one after the other.
bool CopyWorkFileRanges(std::string_view source, std::string_view target,
                        const std::vector<std::pair<long long, long long>>& ranges);
bool MakeFolder(std::string_view name);
/// Removes an empty folder.
bool RemoveFolder(std::string_view name);

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
  /// The next bytes as they stand, line ends included (at most about 64 KiB); false at the
  /// end of the file.
  bool NextChunk(std::string* chunk);
  /// Starts again from the first line.
  void Rewind();
  /// Where the next line begins, in bytes from the start of the file.
  long long Offset() const { return file_offset_ - static_cast<long long>(end_ - begin_); }
  /// Goes on reading from `offset` (an offset that Offset() gave); with an `end`, only the
  /// lines before that offset are read, and nothing of the file beyond it.
  void Seek(long long offset, long long end = -1);

 private:
  bool Fill();
  int fd_ = -1;
  long long file_offset_ = 0;  // of buffer_[end_]
  long long end_offset_ = -1;  // where reading stops, -1 at the end of the file
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
};

/// Writes lines ended by CR LF, buffered. Creating replaces an existing file (a new file
/// where the old one has other names too). A failed write or close ends the program.
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
  /// A quoted record as one line.
  void WriteRecord(std::initializer_list<std::string_view> fields);
  void Close();

 private:
  void Flush();
  void WriteOut(std::string_view bytes);
  int fd_ = -1;
  int error_ = 0;
  std::string name_;
  std::string buffer_;
};

/// Every line of a (small) file.
std::vector<std::string> ReadAllLines(std::string_view name);
void WriteAllLines(std::string_view name, const std::vector<std::string>& lines);

/// Names in a work-directory folder ("" for the work directory itself), files and folders,
/// never "." or "..". Unordered.
struct FolderEntry {
  std::string name;
  bool is_folder = false;
  long long size = 0;
  long long mtime = 0;  // seconds since the epoch
};
/// With `details`, size and time are filled in too. A missing folder lists nothing.
std::vector<FolderEntry> ListFolder(std::string_view folder, bool details = false);

/// Windows wildcards, matched without regard to case: "*" and "?", where "*.*" is every
/// name, a trailing "." asks for names without a dot, and "x.*" also matches "x".
bool HasWildcard(std::string_view name);
bool NameMatches(std::string_view name, std::string_view pattern);

/// The entries a pattern names, in listing order (case-blind, ties by bytes):
/// "htm_in\*.htm*" lists the matches in htm_in, a plain folder name lists its contents, an
/// empty pattern lists the work directory. `folder` receives the folder listed.
std::vector<FolderEntry> ListMatches(std::string_view pattern, bool details, std::string* folder);

/// The files a copy or del source names ("i_*.htm", "index.htm"), as work-directory names:
/// a name with wildcards gives the matching files in listing order, one without gives
/// itself when it is a file.
std::vector<std::string> MatchingWorkFiles(std::string_view pattern);

/// Splits a work-directory name at its last separator: "htm_in\a.htm" gives "htm_in" and
/// "a.htm".
void SplitFolderAndName(std::string_view name, std::string* folder, std::string* base);

#endif  // COMMON_WORK_DIR_H_
