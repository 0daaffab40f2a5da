#ifndef COMMON_PLATFORM_H_
#define COMMON_PLATFORM_H_

/// The one seam between the programs and the system they run on: the console's keys and
/// screen, the files and folders of the work directory, starting programs, the run lock,
/// the clock and the environment. Each system implements it in files of its own, one per
/// concern (platform_posix_*.cc, platform_win32_*.cc); the build picks one system.
/// platform.cc holds what is written once on top of the primitives.
///
/// Every function promises the same on both systems. Names are UTF-8 and paths use "/"
/// inside the programs; the Windows side turns them into UTF-16 with "\" at the system
/// calls. Descriptors are C runtime file numbers, in binary mode on Windows, so bytes pass
/// unchanged.
///
/// Errors: a call that can fail returns an int, 0 on success or a positive errno value (the
/// Windows side maps its own errors onto errno values), and gives what it yields through an
/// out-parameter, set only on success. A call interrupted by a signal is tried again
/// inside, never reported. Calls that answer a question return bool; calls that cannot fail
/// return what they yield.

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
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
/// One byte of input from `fd`: true when one came; false at its end, on an error, or
/// (with `timeout_ms` >= 0 on a terminal) when nothing came in time. On a terminal a key
/// that gives no character (an arrow, a function key) comes as a 0 byte or as its escape
/// sequence.
bool ReadInputByte(int fd, bool terminal, char* byte, int timeout_ms);
/// Clears the screen when standard output is a console; does nothing otherwise.
void ClearScreen();
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
/// True where the system reserves some file names for itself (Windows: device names such as
/// "con.htm", the characters * ? " < > | :, a trailing dot or blank), so that opening such a
/// name reaches something else than the file a listing showed.
extern const bool kReservesWindowsNames;

struct FileInfo {
  /// kFile: a regular file; kFolder: a folder; kLink: a symbolic link or junction, seen as
  /// itself; kOther: anything else (a device, a FIFO, a socket, a dangling link followed).
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
/// answers for what it points to, otherwise for itself. ENOENT when it does not exist.
int Status(const std::string& path, bool follow, FileInfo* info);
int DescriptorStatus(int fd, FileInfo* info);

/// Calls `take` with each name in the folder `path`, never "." or "..". With `detail` 0
/// only the name is known (`info` is empty); with 1 also its kind (kFile, kFolder or kOther;
/// a link counts as what it points to, a dangling one as kOther); with 2 also its size and
/// time. ENOENT or ENOTDIR when `path` is no folder.
int ListFolderNames(const std::string& path, int detail,
                    const std::function<void(std::string name, const FileInfo& info)>& take);

/// A folder of the work directory ("." or a "/"-separated path below it) held open for
/// operations on the names in it: opening refuses a path that passes through a link or a
/// junction, and nothing can swap a component for a link while it is held.
class Folder {
 public:
  /// What held() is for the current folder, which needs nothing held.
  static constexpr std::intptr_t kNothingHeld = -1;

  Folder() = default;
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  /// Opens the folder once: 0, or ELOOP for a link on the way, EXDEV for a "..", ENOENT or
  /// ENOTDIR.
  int Open(const std::string& folder_path);
  /// What `name` in this folder is, a link as itself; ENOENT when it does not exist.
  int StatName(const std::string& name, FileInfo* info) const;
  const std::string& path() const { return path_; }
  /// What the system's side holds open for the folder (a descriptor, or its own record of
  /// handles), read only by that side.
  std::intptr_t held() const { return held_; }

 private:
  /// The system's side of Open: holds `path_` (neither "." nor holding "..") open.
  int Hold();

  std::string path_ = ".";
  std::intptr_t held_ = kNothingHeld;
};

/// Opens `name` in `folder` for writing into `*fd`, never through a link as its last
/// component (ELOOP), created when missing (only then, with `exclusive`: EEXIST), without
/// truncating and without blocking.
int OpenForWriting(const Folder& folder, const std::string& name, bool append, unsigned mode,
                   bool exclusive, int* fd);
/// 0 when new files can be made in the folder `path`, else why not (EACCES, EROFS), as far
/// as the system can tell without making one.
int WritableFolderError(const std::string& path);
/// Opens `path` for reading into `*fd`, following links and without blocking, and tells
/// what it is (a file, or a device or FIFO). EISDIR for a folder, and nothing stays open.
int OpenForReading(const std::string& path, int* fd, FileInfo* info);
/// Removes the name of a file; a link is removed as a link; EISDIR for a folder.
int RemoveName(const Folder& folder, const std::string& name);
int MakeFolderName(const Folder& folder, const std::string& name);
int RemoveFolderName(const Folder& folder, const std::string& name);
/// Gives the file `from` the name `to`, replacing what `to` names (never following it).
int RenameName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
               const std::string& to);
/// Makes `to` a second name of the file `from`.
int LinkName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
             const std::string& to);

/// Reads up to `size` bytes into `to`: `*got` is their count, 0 at the end of the file.
int Read(int fd, char* to, size_t size, size_t* got);
/// As Read, from `offset` on, leaving the position where it was.
int ReadAt(int fd, char* to, size_t size, long long offset, size_t* got);
/// Writes up to `size` bytes: `*put` is their count (0 where the file takes no more).
int Write(int fd, const char* bytes, size_t size, size_t* put);
/// Closes `fd`; it is closed even when this reports an error (of writing, on some systems).
int Close(int fd);
int Seek(int fd, long long offset);
int Truncate(int fd);  // to no bytes
/// Copies up to `size` bytes from `in` at `*offset` to the end of `out` without passing
/// them through this process, advancing `*offset`: `*copied` is their count, 0 at the
/// source's end. ENOSYS where it cannot be done this way (the caller copies through a
/// buffer); any other error is one of writing.
int CopyRange(int in, long long* offset, int out, size_t size, size_t* copied);

// ---- Programs

/// Runs `program_path` in `folder` as `argv0` in this console, in place of this process
/// (or, where a process cannot be replaced, ends with its status when it ends). Returns
/// only when it could not be started, with the reason.
int ReplaceProcess(const std::string& folder, const std::string& program_path,
                   const std::string& argv0);
/// The first program named `program` on PATH; empty when there is none.
std::string FindOnPath(const std::string& program);
/// Runs `argv` without a shell, on this console, and waits for it. 0 when it ran and ended
/// by itself, whatever its exit status, except 127: that is how shells report a command
/// they could not run, and it counts as ENOENT, as a program that is not there. EINTR when
/// it was ended from outside (by a signal, Ctrl+C or a crash). Another errno value when it
/// could not be started.
int RunAndWait(const std::vector<std::string>& argv);
/// Opens `run_as` (the program `program_path`) in a window of its own in `folder`. ENOSYS
/// where there is no window to open one in, which leaves the caller to start it in this
/// console.
int StartInNewWindow(const std::string& folder, const std::string& program_path,
                     const std::string& run_as);
/// The editor of the system, with its arguments, when VISUAL and EDITOR name none;
/// empty when there is none.
std::vector<std::string> DefaultEditor();
long long ProcessId();

/// The words of the system's own shell, for advice in messages.
struct ShellWords {
  std::string_view run_here;       // before a program's name, to run it from the current folder
  std::string_view change_folder;  // before a folder, to make it current (its drive too)
  std::string_view copy;           // before the files to copy and the folder they go to
  bool copies_one_file;            // true when `copy` takes one file at a time
};
extern const ShellWords kShell;

// ---- The run

/// The process's arguments, argument zero first, as UTF-8: on Windows from the system's
/// wide-character command line (the C runtime's `argv` is in the ANSI code page there).
std::vector<std::string> ProgramArguments(int argc, char** argv);
/// The path of the program file this process was started from, as found by `argv0`;
/// empty when it cannot be told.
std::string StartedProgramPath(const std::string& argv0);
/// The folder the process runs in, as the system writes it; "." when it cannot be told.
std::string CurrentFolder();
/// The folder of `path`, resolved where it can be; empty when `path` names none.
std::string FolderOfPath(const std::string& path);
/// One run per folder: takes the run lock of the folder `path` ("." for the current one)
/// into `*held` and holds it until ReleaseFolderLock(*held) or the end of the process; a
/// program this one is replaced by does not inherit it. EBUSY when another run holds it;
/// another errno value where the folder cannot be locked.
int LockFolder(const std::string& path, long long* held);
void ReleaseFolderLock(long long held);

// ---- Clock and environment

/// The variable's value; empty when it is not set.
std::string Environment(const char* name);
/// `seconds` since the epoch as calendar time, in UTC or local time.
std::tm CalendarTime(long long seconds, bool utc);

// ---- Written once, on the primitives above

/// `path` (relative to the current folder) as an absolute path with "/" separators.
std::string AbsolutePath(const std::string& path);
/// True when the file `started` stands directly in the current folder (folders compared
/// by identity, not by name).
bool StartedInCurrentFolder(const std::string& started);

// ---- For tests

/// Folder::Open checks the links on the way by hand, as where the kernel has no openat2
/// (false: openat2 again where there is one). Windows always checks by hand.
void CheckLinksByHandForTesting(bool by_hand);

}  // namespace platform

#endif  // COMMON_PLATFORM_H_
