#ifndef COMMON_PLATFORM_H_
#define COMMON_PLATFORM_H_

/// The one seam between the programs and the system they run on: the console's keys and
/// screen, the files and folders of the work directory, starting programs, the run lock,
/// the start-folder check, the clock and the environment. platform_posix.cc and
/// platform_win32.cc implement it; the build picks one. Everything above it is shared.
///
/// Names are UTF-8 and paths use "/" inside the programs; the Windows side turns them into
/// UTF-16 with "\" at the system calls. Errors are errno values on both sides. Descriptors
/// are C runtime file numbers, in binary mode on Windows, so bytes pass unchanged.

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// ---- Console

/// Prepares the standard streams: a closed one gets the null device so that no file opened
/// later takes its number (true when standard output was closed); on Windows the streams
/// pass bytes unchanged and the console shows UTF-8.
bool PrepareStandardStreams();
/// True when `fd` is an interactive console; its mode is kept, and restored on every way
/// out (RestoreTerminal is installed for Ctrl+C and termination).
bool OpenTerminal(int fd);
/// Key-at-a-time input without echo (`raw`), or the console's own line editing.
void SetRawInput(bool raw);
/// Puts back the mode OpenTerminal found; safe in a signal handler, and more than once.
void RestoreTerminal();
/// One byte of input from `fd`: 1 when one came, 0 at its end, or (with `timeout_ms` >= 0
/// on a terminal) when nothing came in time. On a terminal a key that gives no character
/// (an arrow, a function key) comes as a 0 byte or as its escape sequence.
int ReadInputByte(int fd, bool terminal, char* byte, int timeout_ms);
/// Clears the screen when standard output is a console; does nothing otherwise.
void ClearScreen();
/// Runs `program_path` in `folder` as `argv0` in this console, in place of this process
/// (or, where a process cannot be replaced, ends with its status when it ends). Returns
/// only when it could not be started.
void ReplaceProcess(const std::string& folder, const std::string& program_path,
                    const std::string& argv0);
/// Blocks the calling thread for good.
[[noreturn]] void WaitForever();
/// Takes the user's requests to stop (Ctrl+C, a termination signal, a closed terminal or
/// console window) on a thread of its own, which calls `on_interrupt` with the request's
/// signal number; `on_interrupt` ends the process with EndAfterInterrupt. Call once, before
/// any other thread starts; programs this one starts or is replaced by take such requests
/// as usual.
void WatchInterrupts(void (*on_interrupt)(int signal));
/// Ends the process as one stopped by `signal` asks: status 128 + its number on POSIX
/// (130 for Ctrl+C, 143 for SIGTERM), STATUS_CONTROL_C_EXIT on Windows.
[[noreturn]] void EndAfterInterrupt(int signal);

// ---- Files and folders

/// The separator of folders in the paths the system's own tools and users write ('/' or
/// '\\'), for messages that name files.
extern const char kFolderSeparator;

struct FileInfo {
  enum Kind { kFile, kFolder, kLink, kOther };
  Kind kind = kOther;
  long long size = 0;
  long long mtime = 0;                       // seconds since the epoch
  long long mtime_ns = 0;                    // the same to the nanosecond, to see a change
  unsigned long long device = 0, index = 0;  // together they name the file
  unsigned long long links = 1;
  unsigned mode = 0666;  // permission bits, where the system has them
};

/// What `path` (relative to the current folder, or absolute) is; with `follow` a link
/// answers for what it points to, otherwise for itself. False when it does not exist.
bool Status(const std::string& path, bool follow, FileInfo* info);
bool DescriptorStatus(int fd, FileInfo* info);

/// The names in the folder `path`, never "." or ".."; false when it cannot be listed.
/// With `detail` 1 each entry's kind is known (a link counts as what it points to), with
/// 2 also its size and time; with 0 only its name.
bool ListFolderNames(const std::string& path, int detail,
                     const std::function<void(std::string name, const FileInfo& info)>& take);

/// A folder of the work directory ("." or a "/"-separated path below it) held open for
/// operations on the names in it: opening refuses a path that passes through a link or a
/// junction, and nothing can swap a component for a link while it is held.
class Folder {
 public:
  Folder();
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  /// 0, or an errno value: ELOOP for a link on the way, ENOENT or ENOTDIR.
  int Open(const std::string& folder_path);
  /// What `name` in this folder is, a link as itself. False when it does not exist.
  bool StatName(const std::string& name, FileInfo* info) const;
  const std::string& path() const { return path_; }
  int descriptor() const { return descriptor_; }

 private:
  std::string path_ = ".";
  int descriptor_ = -1;      // the folder opened for the *at() calls (POSIX)
  std::vector<void*> held_;  // each component, held open (Windows)
};

/// For writing `name` in `folder`, never through a link as its last component, created
/// when missing (only then, with `exclusive`), without truncating and without blocking.
/// Returns the descriptor or -errno (ELOOP for a link).
int OpenForWriting(const Folder& folder, const std::string& name, bool append, unsigned mode,
                   bool exclusive);
/// 0 when new files can be made in the folder `path`, else why not (EACCES, EROFS), as far
/// as the system can tell without making one.
int WritableFolderError(const std::string& path);
/// For reading `path`, following links and without blocking; -errno when it fails.
int OpenForReading(const std::string& path);
/// 0 or an errno value; a link is removed as a link.
int RemoveName(const Folder& folder, const std::string& name);
int MakeFolderName(const Folder& folder, const std::string& name);
int RemoveFolderName(const Folder& folder, const std::string& name);
/// Gives the file `from` the name `to`, replacing what `to` names (never following it).
int RenameName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
               const std::string& to);
/// Makes `to` a second name of the file `from`.
int LinkName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
             const std::string& to);

/// Reads, writes and closes a descriptor: the count, or -1 with errno set.
long long Read(int fd, char* to, size_t size);
long long ReadAt(int fd, char* to, size_t size, long long offset);
long long Write(int fd, const char* bytes, size_t size);
int Close(int fd);  // 0, or -1 with errno set
void Seek(int fd, long long offset);
int Truncate(int fd);  // to no bytes; 0 or an errno value
/// Copies up to `size` bytes from `in` at `*offset` to the end of `out` without passing
/// them through this process, advancing `*offset`: the count, 0 at the source's end, -1
/// where it cannot (copy another way), or -2 with `*error` when writing failed.
long long CopyRange(int in, long long* offset, int out, size_t size, int* error);

// ---- Programs

/// The folder the process runs in, as the system writes it.
std::string CurrentFolder();
/// `path` (relative to the current folder) as an absolute path with "/" separators.
std::string AbsolutePath(const std::string& path);
/// The first program named `program` on PATH; empty when there is none.
std::string FindOnPath(const std::string& program);
/// Runs `argv` without a shell and waits for it; false when it could not be started.
bool RunAndWait(const std::vector<std::string>& argv);
/// Opens `run_as` (the program `program_path`) in a window of its own in `folder`, where
/// there is one to open; false leaves the caller to start it in this console.
bool StartInNewWindow(const std::string& folder, const std::string& program_path,
                      const std::string& run_as);
/// The editor of the system, with its arguments, when VISUAL and EDITOR name none;
/// empty when there is none.
std::vector<std::string> DefaultEditor();
long long ProcessId();

// ---- The run

/// The path of the program file this process was started from, as found by `argv0`;
/// empty when it cannot be told.
std::string StartedProgramPath(const std::string& argv0);
/// True when the file `started` stands directly in the current folder (folders compared
/// by identity, not by name).
bool StartedInCurrentFolder(const std::string& started);
/// The folder of `path`, resolved where it can be; empty when `path` names none.
std::string FolderOfPath(const std::string& path);
/// One run per folder: takes the run lock of the folder `path` ("." for the current one)
/// and holds it until ReleaseFolderLock(*held) or the end of the process; a program this
/// one is replaced by does not inherit it. `*held` is set only when the lock is taken.
enum class LockResult { kTaken, kHeldByAnother, kUnsupported };
LockResult LockFolder(const std::string& path, long long* held);
void ReleaseFolderLock(long long held);

// ---- Clock and environment

/// The variable's value; empty when it is not set.
std::string Environment(const char* name);
/// `seconds` since the epoch as calendar time, in UTC or local time.
std::tm CalendarTime(long long seconds, bool utc);

}  // namespace platform

#endif  // COMMON_PLATFORM_H_
