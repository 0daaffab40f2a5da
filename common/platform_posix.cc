#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "common/platform.h"
#include "common/text.h"
#include "common/work_paths.h"

namespace platform {

const char kFolderSeparator = '/';

// ---- Console

namespace {

int g_terminal_fd = -1;
bool g_have_saved_mode = false;
termios g_saved_mode;
volatile sig_atomic_t g_raw = 0;

void OnSignal(int signal_number) {
  RestoreTerminal();
  // The default action ends the process as the user asked.
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = SIG_DFL;
  sigaction(signal_number, &action, nullptr);
  raise(signal_number);
}

// Waits (in poll, never spinning) until input is readable, or `timeout_ms` passes.
bool WaitReadable(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  while (true) {
    int ready = poll(&p, 1, timeout_ms);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

}  // namespace

bool PrepareStandardStreams() {
  bool stdout_closed = false;
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);  // takes the lowest free number
    if (fd == STDOUT_FILENO) stdout_closed = true;
  }
  return stdout_closed;
}

bool OpenTerminal(int fd) {
  if (isatty(fd) == 0) return false;
  g_terminal_fd = fd;
  if (tcgetattr(fd, &g_saved_mode) == 0) g_have_saved_mode = true;
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    sigaction(signal_number, &action, nullptr);
  }
  return true;
}

void SetRawInput(bool raw) {
  if (!g_have_saved_mode || (g_raw != 0) == raw) return;
  if (raw) {
    termios mode = g_saved_mode;
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    g_raw = 1;
    tcsetattr(g_terminal_fd, TCSANOW, &mode);
  } else {
    tcsetattr(g_terminal_fd, TCSANOW, &g_saved_mode);
    g_raw = 0;
  }
}

void RestoreTerminal() {
  if (g_have_saved_mode && g_raw) {
    tcsetattr(g_terminal_fd, TCSAFLUSH, &g_saved_mode);
    g_raw = 0;
  }
}

int ReadInputByte(int fd, bool terminal, char* byte, int timeout_ms) {
  if (terminal && !WaitReadable(fd, timeout_ms)) return 0;
  while (true) {
    ssize_t got = read(fd, byte, 1);
    if (got < 0 && errno == EINTR) continue;
    return got == 1 ? 1 : 0;
  }
}

void ClearScreen() {
  if (isatty(STDOUT_FILENO)) {
    std::fputs("\x1b[H\x1b[2J", stdout);
    std::fflush(stdout);
  }
}

namespace {

// The signals that ask a run to stop, blocked in every thread and taken by sigwait; the
// mask the process had before, for the programs it starts.
sigset_t g_interrupts;
sigset_t g_mask_before;
bool g_watching = false;

// A program started by this one, or replacing it, gets the mask this process had.
void RestoreSignalMask() {
  if (g_watching) sigprocmask(SIG_SETMASK, &g_mask_before, nullptr);
}

}  // namespace

void ReplaceProcess(const std::string& folder, const std::string& program_path,
                    const std::string& argv0) {
  if (chdir(folder.c_str()) != 0) return;
  std::string name = argv0;
  char* const argv[] = {name.data(), nullptr};
  RestoreSignalMask();
  execv(program_path.c_str(), argv);
}

void WaitForever() {
  while (true) pause();
}

void WatchInterrupts(void (*on_interrupt)(int signal)) {
  sigemptyset(&g_interrupts);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&g_interrupts, signal_number);
  if (pthread_sigmask(SIG_BLOCK, &g_interrupts, &g_mask_before) != 0) return;
  g_watching = true;
  std::thread([on_interrupt] {
    int signal_number = 0;
    while (sigwait(&g_interrupts, &signal_number) != 0) {
    }
    on_interrupt(signal_number);
  }).detach();
}

void EndAfterInterrupt(int signal) { _exit(128 + signal); }

// ---- Files and folders

namespace {

void FillInfo(const struct stat& st, FileInfo* info) {
  info->kind = S_ISREG(st.st_mode)   ? FileInfo::kFile
               : S_ISDIR(st.st_mode) ? FileInfo::kFolder
               : S_ISLNK(st.st_mode) ? FileInfo::kLink
                                     : FileInfo::kOther;
  info->size = static_cast<long long>(st.st_size);
  info->mtime = static_cast<long long>(st.st_mtim.tv_sec);
  info->mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  info->device = st.st_dev;
  info->index = st.st_ino;
  info->links = st.st_nlink;
  info->mode = st.st_mode & 07777;
}

std::atomic<bool> g_use_openat2{true};  // until the kernel says it has no openat2

// Opens a folder below the work directory for the *at() calls, refusing a path that
// passes through a link or climbs out. Returns the descriptor, or -errno (ELOOP for a
// link).
int OpenFolderByHand(const std::string& folder_path) {
  int fd = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -errno;
  for (const std::string& part : SplitFields(folder_path, '/')) {
    if (part.empty() || part == ".") continue;
    struct stat st;
    int error = 0;
    if (part == "..") {
      error = EXDEV;  // names are resolved without climbs before they get here
    } else if (fstatat(fd, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      error = errno;
    } else if (S_ISLNK(st.st_mode)) {
      error = ELOOP;
    }
    int next = -1;
    if (error == 0) {
      // O_NOFOLLOW: a link put there since the check is refused all the same.
      next = openat(fd, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (next < 0) error = errno;
    }
    close(fd);
    if (error != 0) return -error;
    fd = next;
  }
  return fd;
}

int OpenFolderBeneath(const std::string& folder_path) {
  while (g_use_openat2) {
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    long fd = syscall(SYS_openat2, AT_FDCWD, folder_path.c_str(), &how, sizeof how);
    if (fd >= 0) return static_cast<int>(fd);
    if (errno == EAGAIN || errno == EINTR) continue;  // a rename raced the lookup
    // Without openat2 (an old kernel, or a sandbox that forbids it) the check is done by
    // hand.
    if (errno != ENOSYS && errno != EPERM && errno != E2BIG) return -errno;
    g_use_openat2 = false;
  }
  return OpenFolderByHand(folder_path);
}

int Dir(const Folder& folder) { return folder.descriptor() >= 0 ? folder.descriptor() : AT_FDCWD; }

int ResultOf(int returned) { return returned == 0 ? 0 : errno; }

}  // namespace

bool Status(const std::string& path, bool follow, FileInfo* info) {
  struct stat st;
  if ((follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return false;
  FillInfo(st, info);
  return true;
}

bool DescriptorStatus(int fd, FileInfo* info) {
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  FillInfo(st, info);
  return true;
}

bool ListFolderNames(const std::string& path, int detail,
                     const std::function<void(std::string name, const FileInfo& info)>& take) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return false;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FileInfo info;
    if (detail == 2 || (detail == 1 && (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK))) {
      struct stat st;
      if (stat((path + "/" + name).c_str(), &st) == 0) FillInfo(st, &info);
    } else if (detail == 1) {
      info.kind = entry->d_type == DT_DIR ? FileInfo::kFolder : FileInfo::kOther;
    }
    take(std::move(name), info);
  }
  closedir(dir);
  return true;
}

Folder::Folder() = default;

Folder::~Folder() {
  if (descriptor_ >= 0) close(descriptor_);
}

int Folder::Open(const std::string& folder_path) {
  path_ = folder_path;
  if (folder_path == ".") return 0;
  int fd = OpenFolderBeneath(folder_path);
  if (fd < 0) return -fd;
  descriptor_ = fd;
  return 0;
}

bool Folder::StatName(const std::string& name, FileInfo* info) const {
  struct stat st;
  if (fstatat(Dir(*this), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  FillInfo(st, info);
  return true;
}

int OpenForWriting(const Folder& folder, const std::string& name, bool append, unsigned mode,
                   bool exclusive) {
  // O_NOFOLLOW refuses a link as the last component, O_NONBLOCK keeps a FIFO from
  // blocking the opening.
  int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0) |
              (exclusive ? O_EXCL : 0);
  int fd = openat(Dir(folder), name.c_str(), flags, static_cast<mode_t>(mode));
  return fd >= 0 ? fd : -errno;
}

int WritableFolderError(const std::string& path) {
  // As the process's effective user: root passes where the mode bits say no, a read-only
  // mount does not.
  return faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

int OpenForReading(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  return fd >= 0 ? fd : -errno;
}

int RemoveName(const Folder& folder, const std::string& name) {
  return ResultOf(unlinkat(Dir(folder), name.c_str(), 0));
}

int MakeFolderName(const Folder& folder, const std::string& name) {
  return ResultOf(mkdirat(Dir(folder), name.c_str(), 0777));
}

int RemoveFolderName(const Folder& folder, const std::string& name) {
  return ResultOf(unlinkat(Dir(folder), name.c_str(), AT_REMOVEDIR));
}

int RenameName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
               const std::string& to) {
  // renameat replaces the last component itself: a link standing there is replaced, never
  // followed.
  return ResultOf(renameat(Dir(from_folder), from.c_str(), Dir(to_folder), to.c_str()));
}

int LinkName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
             const std::string& to) {
  return ResultOf(linkat(Dir(from_folder), from.c_str(), Dir(to_folder), to.c_str(), 0));
}

long long Read(int fd, char* to, size_t size) { return read(fd, to, size); }

long long ReadAt(int fd, char* to, size_t size, long long offset) {
  return pread(fd, to, size, static_cast<off_t>(offset));
}

long long Write(int fd, const char* bytes, size_t size) { return write(fd, bytes, size); }

int Close(int fd) { return close(fd); }

void Seek(int fd, long long offset) { lseek(fd, static_cast<off_t>(offset), SEEK_SET); }

int Truncate(int fd) { return ResultOf(ftruncate(fd, 0)); }

long long CopyRange(int in, long long* offset, int out, size_t size, int* error) {
  while (true) {
    off_t at = static_cast<off_t>(*offset);
    ssize_t put = copy_file_range(in, &at, out, nullptr, size, 0);
    *offset = at;
    if (put < 0 && errno == EINTR) continue;
    if (put >= 0) return put;
    // A failure that the copy through a buffer would only meet again.
    if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG) {
      *error = errno;
      return -2;
    }
    return -1;
  }
}

// ---- Programs

std::string CurrentFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

std::string AbsolutePath(const std::string& path) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return path == "." ? std::string(cwd) : std::string(cwd) + "/" + path;
}

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  // An empty entry is the current folder, as for execvp.
  for (const std::string& dir : SplitFields(dirs, ':')) {
    std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

namespace {

// Starts `argv` without a shell; with `wait`, returns once it has ended.
bool Spawn(const std::vector<std::string>& argv, const std::string& folder, bool wait) {
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    if (!wait) setsid();  // a started program outlives its caller
    RestoreSignalMask();
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (!wait) return true;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

}  // namespace

bool RunAndWait(const std::vector<std::string>& argv) { return Spawn(argv, "", true); }

bool StartInNewWindow(const std::string& folder, const std::string&, const std::string& run_as) {
  if (std::getenv("TMUX") && !FindOnPath("tmux").empty()) {
    // Two words after the window options make tmux start the program without a shell.
    if (Spawn({"tmux", "new-window", "-c", folder, "env", run_as}, "", true)) return true;
  }
  if (std::getenv("DISPLAY") && !FindOnPath("x-terminal-emulator").empty()) {
    if (Spawn({"x-terminal-emulator", "-e", run_as}, folder, false)) return true;
  }
  return false;
}

std::vector<std::string> DefaultEditor() {
  for (const char* name : {"sensible-editor", "editor", "nano", "vi"}) {
    if (!FindOnPath(name).empty()) return {name};
  }
  return {};
}

long long ProcessId() { return getpid(); }

// ---- The run

std::string StartedProgramPath(const std::string& argv0) {
  // The path by which the program file was found: argv0 itself when it holds a "/", else
  // the program on PATH, found as execvp found it.
  return argv0.find('/') != std::string::npos ? argv0 : FindOnPath(argv0);
}

bool StartedInCurrentFolder(const std::string& started) {
  // A copy or a link of the program counts; folders are compared by identity, so
  // "../idx/./" and links to the folder itself agree.
  struct stat file_st, folder_st, here_st;
  if (started.empty() || lstat(started.c_str(), &file_st) != 0) return false;
  std::string folder = started.substr(0, started.find_last_of('/'));
  if (folder.empty()) folder = "/";
  return stat(folder.c_str(), &folder_st) == 0 && stat(".", &here_st) == 0 &&
         folder_st.st_dev == here_st.st_dev && folder_st.st_ino == here_st.st_ino;
}

std::string FolderOfPath(const std::string& path) {
  size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return "";
  char resolved[PATH_MAX];
  std::string folder = cut == 0 ? "/" : path.substr(0, cut);
  return realpath(folder.c_str(), resolved) ? std::string(resolved) : folder;
}

LockResult LockFolder(const std::string& path, long long* held) {
  // An exclusive lock on the folder itself: the kernel drops it with the process, so a
  // killed run leaves no stale lock, and it is not passed on to a program this one is
  // replaced by.
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return LockResult::kUnsupported;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    *held = fd;
    return LockResult::kTaken;
  }
  int error = errno;
  close(fd);
  return error == EWOULDBLOCK ? LockResult::kHeldByAnother : LockResult::kUnsupported;
}

void ReleaseFolderLock(long long held) { close(static_cast<int>(held)); }

// ---- Clock and environment

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::tm CalendarTime(long long seconds, bool utc) {
  std::time_t when = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (utc) {
    gmtime_r(&when, &parts);
  } else {
    localtime_r(&when, &parts);
  }
  return parts;
}

}  // namespace platform

void CheckLinksByHandForTesting(bool by_hand) { platform::g_use_openat2 = !by_hand; }
