#ifndef TESTS_TEST_UTIL_H_
#define TESTS_TEST_UTIL_H_

/// Helpers for tests that need a real work directory or run a built program.

#include <map>
#include <string>
#include <vector>

#include "common/console.h"

/// A fresh temporary folder, made the current directory for the test's lifetime (the
/// programs' work directory is the current one) and removed afterwards.
class ScopedWorkDir {
 public:
  ScopedWorkDir();
  ~ScopedWorkDir();
  ScopedWorkDir(const ScopedWorkDir&) = delete;
  ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

/// While it lives, what the console prints (PrintLine, PrintError, ...) is kept in `out`
/// and `err` instead of reaching standard output and standard error.
struct CapturedConsole {
  CapturedConsole() { SetConsoleOutputForTesting(&out, &err); }
  ~CapturedConsole() { SetConsoleOutputForTesting(nullptr, nullptr); }
  CapturedConsole(const CapturedConsole&) = delete;
  CapturedConsole& operator=(const CapturedConsole&) = delete;
  std::string out, err;
};

/// Whole-file bytes, relative to the current directory. A missing file reads as "".
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
void MakeDirs(const std::string& path);

/// Lines joined with CR LF after each, as the programs write them.
std::string CrLf(const std::vector<std::string>& lines);
/// A work file of those lines, as the programs write it (`path` relative, "/" separated).
inline void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  WriteBytes(path, CrLf(lines));
}

/// Names in a folder, sorted, without "." and "..".
std::vector<std::string> ListNames(const std::string& folder);

struct ProgramRun {
  std::string out;  // standard output
  std::string err;  // standard error
  int status = -1;  // exit status, or 128 + signal
};

/// Runs `program` (a path) in `work_dir` as "./<name>" would be started there, with `keys`
/// on standard input (not a terminal) and SOURCE_DATE_EPOCH set to `epoch` unless empty.
/// Gives up after `timeout_seconds` (status -1). With `argv`, `program` is started by exactly
/// that path and those arguments instead.
ProgramRun RunProgram(const std::string& program, const std::string& work_dir,
                      const std::string& keys, const std::string& epoch = "1720343103",
                      const std::map<std::string, std::string>& extra_env = {},
                      int timeout_seconds = 60, const std::vector<std::string>& argv = {});

/// As RunProgram, with standard input a pipe that stays open after `keys` (so the program
/// waits at its next prompt), and `signal` sent to the program once its standard output
/// holds `when_printed`. Where signals cannot be sent, status is -2.
ProgramRun RunAndInterrupt(const std::string& program, const std::string& work_dir,
                           const std::string& keys, const std::string& when_printed, int signal,
                           const std::map<std::string, std::string>& extra_env = {});

/// A run of `exe` started as "./exe" in `dir`, waiting at its first prompt until it is
/// killed: Start returns once it has printed its first byte, so it holds the folder by then.
class WaitingRun {
 public:
  WaitingRun() = default;
  ~WaitingRun() { Kill(); }
  WaitingRun(const WaitingRun&) = delete;
  WaitingRun& operator=(const WaitingRun&) = delete;
  bool Start(const std::string& dir, const std::string& exe);
  /// Ends the run at once, as a crash would, and waits until it is gone.
  void Kill();

 private:
  long long process_ = -1, keys_ = -1, out_ = -1;
};

/// Every entry below `folder`, for checking that a run changed nothing there: a file by its
/// bytes, a link by its target (not followed), a FIFO or device as "special" (not read).
/// The entry named `skip` and what it holds are left out.
std::map<std::string, std::string> SnapshotTree(const std::string& folder,
                                                const std::string& skip = "");

#ifdef BUILD_DIR
/// What the work folder of the program `exe` holds (the program and wget.exe; quillet's
/// also the indexer it hands its pages to), linked into `work_dir` as a user would copy
/// them (copied where links cannot be made).
void InstallPrograms(const std::string& work_dir, const std::string& exe);
void InstallProgram(const std::string& work_dir, const std::string& exe);
inline std::string ProgramPath(const std::string& exe) {
  return std::string(BUILD_DIR) + "/" + exe;
}
#endif

/// What differs between the systems the tests run on (test_system_posix.cc and
/// test_system_win32.cc).
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);
/// A symbolic link `link` to `target`; false where the system cannot make one here.
bool MakeLink(const std::string& target, const std::string& link);
/// A FIFO; false where the system has none.
bool MakeFifo(const std::string& path);
/// True where a folder's permissions cannot keep this process from writing in it (root, or
/// Windows, where they are no mode bits).
bool WritesEverywhere();
/// A pipe holding `bytes`, its writing end closed: a script's input. Returns the reading
/// end, for CloseInput.
int ScriptInput(const std::string& bytes);
void CloseInput(int fd);
/// The value of VISUAL for an editor that appends the line "edited" to the file it is given;
/// it may leave files in the current folder.
std::string AppendingEditor();
/// True where two names that differ only in letter case name two files.
bool NamesAreCaseSensitive();
/// True where a name may hold any byte but "/" and NUL ("*", "?", "|", control bytes);
/// Windows names cannot.
bool NamesHoldAnyByte();
/// Editors for quillet's list that leave it as it is, and that fail ("true" and "false").
std::string IdleEditor();
std::string FailingEditor();
/// True where the POSIX tools the tests name (sed) are at hand and a PATH can leave a
/// program without any editor (Windows always has Notepad).
bool HasPosixTools();

/// While it lives, the programs that RunProgram starts are held to permission bits even
/// when the tests run as root (they lose the capabilities that override them). `active()`
/// is false where that cannot be done; a test of permissions then has nothing to test.
class HonouredPermissions {
 public:
  HonouredPermissions();
  ~HonouredPermissions();
  HonouredPermissions(const HonouredPermissions&) = delete;
  HonouredPermissions& operator=(const HonouredPermissions&) = delete;
  bool active() const { return active_; }

 private:
  bool active_ = false;
};

/// Makes CR, LF and tabs visible, for readable failure messages.
std::string Visible(const std::string& text);

/// Compares two texts line by line; on a difference, describes the first differing line.
/// Empty when equal.
std::string FirstDifference(const std::string& expected, const std::string& actual);

#endif  // TESTS_TEST_UTIL_H_
