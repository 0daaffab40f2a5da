// clang-format off
#include <windows.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/platform.h"
#include "common/text.h"
#include "common/win32_text.h"
#include "common/work_paths.h"

namespace platform {

const char kFolderSeparator = '\\';

namespace {

// ---- Names: UTF-8 with "/" inside the programs, UTF-16 with "\" at the system calls

std::wstring NativePath(const std::string& path) {
  std::wstring wide = Wide(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide;
}

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    default:
      return EIO;
  }
}

int LastErrno() { return ErrnoOf(GetLastError()); }

// A file deleted while it is open elsewhere is first renamed to a name of this prefix where
// the name cannot go at once; it is gone when its last handle closes, and no listing shows it.
const wchar_t kSetAside[] = L"~$deleted.";
std::atomic<unsigned> g_set_aside_count{0};

// FileDispositionInfoEx (Windows 10 and later), which MinGW declares only for newer targets;
// older systems refuse it and the deletion waits for the file's last handle there.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

long long UnixNanoseconds(const FILETIME& time) {
  // FILETIME counts 100 ns steps from 1601; the epoch lies 11644473600 s later.
  long long ticks = (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (ticks - 116444736000000000LL) * 100;
}

long long FloorSeconds(long long nanoseconds) {
  long long seconds = nanoseconds / 1000000000LL;
  return nanoseconds % 1000000000LL < 0 ? seconds - 1 : seconds;
}

void FillInfo(const BY_HANDLE_FILE_INFORMATION& found, DWORD type, bool link_as_itself,
              FileInfo* info) {
  DWORD attributes = found.dwFileAttributes;
  if (type != FILE_TYPE_DISK) {
    info->kind = FileInfo::kOther;
  } else if (link_as_itself && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    info->kind = FileInfo::kLink;
  } else {
    info->kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileInfo::kFolder : FileInfo::kFile;
  }
  info->size = (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  info->mtime_ns = UnixNanoseconds(found.ftLastWriteTime);
  info->mtime = FloorSeconds(info->mtime_ns);
  info->device = found.dwVolumeSerialNumber;
  info->index = (static_cast<unsigned long long>(found.nFileIndexHigh) << 32) | found.nFileIndexLow;
  info->links = found.nNumberOfLinks;
  info->mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
}

bool HandleInfo(HANDLE handle, bool link_as_itself, FileInfo* info) {
  BY_HANDLE_FILE_INFORMATION found;
  DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK) {
    *info = FileInfo();
    return type != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
  }
  if (!GetFileInformationByHandle(handle, &found)) return false;
  FillInfo(found, type, link_as_itself, info);
  return true;
}

// Opens `path` for its attributes only; folders too, and a link as itself unless `follow`.
HANDLE OpenForStatus(const std::wstring& path, bool follow) {
  return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                     nullptr);
}

std::wstring NameIn(const Folder& folder, const std::string& name) {
  return NativePath(folder.path() == "." ? name : folder.path() + "/" + name);
}

std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += L' ';
    line += QuotedArgument(Wide(argument));
  }
  return line;
}

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program file a bare name stands for: found on PATH or in the system folder, never in
// the work folder, where a file of that name is data.
std::wstring ProgramFile(const std::string& name) {
  if (name.find_first_of("/\\:") != std::string::npos) return NativePath(name);
  std::string found = FindOnPath(name);
  if (!found.empty()) return NativePath(found);
  wchar_t system[MAX_PATH];
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  std::wstring candidate = std::wstring(system, length) + L"\\" + Wide(name);
  return IsFile(candidate) ? candidate : L"";
}

bool StandardInputIsConsole() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// ---- Console state

HANDLE g_terminal = INVALID_HANDLE_VALUE;
DWORD g_saved_mode = 0;
volatile LONG g_raw = 0;
UINT g_saved_output_code_page = 0;
std::string g_pending_input;  // the rest of a key or line already read from the console

void RestoreCodePage() {
  if (g_saved_output_code_page != 0) SetConsoleOutputCP(g_saved_output_code_page);
}

BOOL WINAPI OnControl(DWORD) {
  RestoreTerminal();
  RestoreCodePage();
  return FALSE;  // the default handler ends the process as the user asked
}

bool IsModifierKey(WORD key) {
  switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

// One key from the console without echo, as UTF-8 in g_pending_input; a key without a
// character (an arrow, a function key) as a 0 byte.
bool ReadConsoleKey() {
  wchar_t high_surrogate = 0;
  while (true) {
    INPUT_RECORD record;
    DWORD count = 0;
    if (!ReadConsoleInputW(g_terminal, &record, 1, &count) || count == 0) return false;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    wchar_t c = key.uChar.UnicodeChar;
    if (c == 0) {
      if (IsModifierKey(key.wVirtualKeyCode)) continue;
      g_pending_input.assign(1, '\0');
      return true;
    }
    if (c >= 0xD800 && c < 0xDC00) {
      high_surrogate = c;
      continue;
    }
    if (c >= 0xDC00 && c < 0xE000 && high_surrogate != 0) {
      wchar_t pair[2] = {high_surrogate, c};
      g_pending_input = Narrow(pair, 2);
    } else {
      g_pending_input = Narrow(&c, 1);
    }
    return true;
  }
}

// One line from the console, edited and echoed there, as UTF-8 with its line end.
bool ReadConsoleLine() {
  wchar_t buffer[4096];
  DWORD count = 0;
  if (!ReadConsoleW(g_terminal, buffer, 4096, &count, nullptr) || count == 0) return false;
  if (buffer[0] == 0x1a) return false;  // Ctrl+Z: the end of input
  g_pending_input = Narrow(buffer, count);
  return true;
}

}  // namespace

// ---- Console

bool PrepareStandardStreams() {
  bool stdout_closed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (_get_osfhandle(fd) >= 0) continue;
    // A closed stream gets the null device, so that no file opened later takes its number.
    int null_fd = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
    if (null_fd >= 0 && null_fd != fd) {
      _dup2(null_fd, fd);
      _close(null_fd);
    }
    if (fd == 1) stdout_closed = true;
  }
  // Bytes pass unchanged: a line ends in CR LF once, as on Linux.
  for (int fd = 0; fd <= 2; ++fd) _setmode(fd, _O_BINARY);
  // The programs write UTF-8; the console shows it as such while they run.
  UINT code_page = GetConsoleOutputCP();
  if (code_page != 0 && code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    g_saved_output_code_page = code_page;
    std::atexit(RestoreCodePage);
  }
  return stdout_closed;
}

bool OpenTerminal(int fd) {
  HANDLE handle = HandleOf(fd);
  DWORD mode;
  if (!GetConsoleMode(handle, &mode)) return false;
  g_terminal = handle;
  g_saved_mode = mode;
  SetConsoleCtrlHandler(OnControl, TRUE);
  return true;
}

void SetRawInput(bool raw) {
  if (g_terminal == INVALID_HANDLE_VALUE || (g_raw != 0) == raw) return;
  // Ctrl+C stays processed, so that it still ends the program.
  DWORD mode = raw ? (g_saved_mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT))
                   : g_saved_mode;
  g_raw = raw ? 1 : 0;
  SetConsoleMode(g_terminal, mode);
}

void RestoreTerminal() {
  if (g_terminal != INVALID_HANDLE_VALUE && g_raw) {
    SetConsoleMode(g_terminal, g_saved_mode);
    g_raw = 0;
  }
}

int ReadInputByte(int fd, bool terminal, char* byte, int timeout_ms) {
  if (!terminal) {
    // One byte at a time, past the C runtime: what is not read stays in the input for a
    // program that takes over the console afterwards.
    DWORD got = 0;
    if (!ReadFile(HandleOf(fd), byte, 1, &got, nullptr) || got == 0) return 0;
    return 1;
  }
  if (g_pending_input.empty()) {
    // A key comes whole in one event: there is never the rest of one to wait for.
    if (timeout_ms >= 0) return 0;
    if (!(g_raw ? ReadConsoleKey() : ReadConsoleLine())) return 0;
  }
  *byte = g_pending_input.front();
  g_pending_input.erase(0, 1);
  return 1;
}

void ClearScreen() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO screen;
  if (!GetConsoleScreenBufferInfo(out, &screen)) return;
  std::fflush(stdout);
  DWORD cells = static_cast<DWORD>(screen.dwSize.X) * static_cast<DWORD>(screen.dwSize.Y);
  COORD home = {0, 0};
  DWORD written;
  FillConsoleOutputCharacterW(out, L' ', cells, home, &written);
  FillConsoleOutputAttribute(out, screen.wAttributes, cells, home, &written);
  SetConsoleCursorPosition(out, home);
}

void ReplaceProcess(const std::string& folder, const std::string& program_path,
                    const std::string& argv0) {
  // Windows cannot replace a process: the program runs in this console on the same
  // standard streams, and this process ends with its status.
  std::fflush(nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  HANDLE* streams[] = {&startup.hStdInput, &startup.hStdOutput, &startup.hStdError};
  DWORD ids[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  for (int i = 0; i < 3; ++i) {
    *streams[i] = GetStdHandle(ids[i]);
    SetHandleInformation(*streams[i], HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  std::wstring command_line = QuotedArgument(Wide(argv0));
  std::wstring folder_path = NativePath(folder);
  PROCESS_INFORMATION process;
  if (!CreateProcessW(NativePath(program_path).c_str(), command_line.data(), nullptr, nullptr, TRUE,
                      0, nullptr, folder_path.c_str(), &startup, &process)) {
    return;
  }
  CloseHandle(process.hThread);
  // Ctrl+C is the started program's to answer; this one only waits for it.
  SetConsoleCtrlHandler(nullptr, TRUE);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  RestoreCodePage();
  ExitProcess(status);
}

void WaitForever() {
  while (true) Sleep(INFINITE);
}

namespace {

void (*g_on_interrupt)(int) = nullptr;

// Runs on a thread the system starts for the event. Ctrl+C and Ctrl+Break, and closing
// the console window (for which the system waits a few seconds), stop the run; the
// program ends in the handler, so the system's own handling never comes.
BOOL WINAPI OnInterruptEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      g_on_interrupt(SIGINT);
      return TRUE;
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      g_on_interrupt(SIGTERM);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void WatchInterrupts(void (*on_interrupt)(int signal)) {
  g_on_interrupt = on_interrupt;
  SetConsoleCtrlHandler(OnInterruptEvent, TRUE);
}

void EndAfterInterrupt(int) {
  RestoreTerminal();
  RestoreCodePage();
  std::fflush(nullptr);
  ExitProcess(0xC000013AUL);  // STATUS_CONTROL_C_EXIT, as Windows ends a program on Ctrl+C
}

// ---- Files and folders

bool Status(const std::string& path, bool follow, FileInfo* info) {
  HANDLE handle = OpenForStatus(NativePath(path), follow);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool ok = HandleInfo(handle, !follow, info);
  CloseHandle(handle);
  return ok;
}

bool DescriptorStatus(int fd, FileInfo* info) { return HandleInfo(HandleOf(fd), true, info); }

bool ListFolderNames(const std::string& path, int detail,
                     const std::function<void(std::string name, const FileInfo& info)>& take) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(NativePath(path + "/*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    std::wstring wide = found.cFileName;
    if (wide == L"." || wide == L".." || wide.starts_with(kSetAside)) continue;
    std::string name = Narrow(wide);
    FileInfo info;
    if (detail > 0 && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      // A link counts as what it points to.
      if (!Status(path + "/" + name, true, &info)) info = FileInfo();
    } else if (detail > 0) {
      info.kind =
          (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileInfo::kFolder : FileInfo::kFile;
      info.size = (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      info.mtime_ns = UnixNanoseconds(found.ftLastWriteTime);
      info.mtime = FloorSeconds(info.mtime_ns);
    }
    take(std::move(name), info);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

Folder::Folder() = default;

Folder::~Folder() {
  for (void* handle : held_) CloseHandle(handle);
}

int Folder::Open(const std::string& folder_path) {
  path_ = folder_path;
  if (folder_path == ".") return 0;
  // Each component is checked and held open, listing access without sharing deletion, so
  // that none can be renamed or replaced by a link until the operation is done.
  std::string so_far;
  for (const std::string& part : SplitFields(folder_path, '/')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") return EXDEV;  // names are resolved without climbs before they get here
    so_far += (so_far.empty() ? "" : "/") + part;
    HANDLE handle =
        CreateFileW(NativePath(so_far).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastErrno();
    held_.push_back(handle);
    BY_HANDLE_FILE_INFORMATION found;
    if (!GetFileInformationByHandle(handle, &found)) return LastErrno();
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return ELOOP;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return ENOTDIR;
  }
  return 0;
}

bool Folder::StatName(const std::string& name, FileInfo* info) const {
  HANDLE handle = OpenForStatus(NameIn(*this, name), false);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool ok = HandleInfo(handle, true, info);
  CloseHandle(handle);
  return ok;
}

int OpenForWriting(const Folder& folder, const std::string& name, bool append, unsigned,
                   bool exclusive) {
  std::wstring path = NameIn(folder, name);
  // The link itself is opened, never what it points to, and then refused.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              exclusive ? CREATE_NEW : OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return -ELOOP;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return -EISDIR;
    return -ErrnoOf(error);
  }
  BY_HANDLE_FILE_INFORMATION found;
  if (GetFileInformationByHandle(handle, &found) &&
      (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    CloseHandle(handle);
    return -ELOOP;
  }
  int fd =
      _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | (append ? _O_APPEND : 0));
  if (fd < 0) {
    CloseHandle(handle);
    return -EMFILE;
  }
  return fd;
}

int WritableFolderError(const std::string&) {
  // A folder's read-only attribute does not keep files out on Windows, and its access
  // lists answer only to an attempt: a folder that refuses files is found at the first.
  return 0;
}

int OpenForReading(const std::string& path) {
  HANDLE handle = CreateFileW(NativePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return -LastErrno();
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_RDONLY);
  if (fd < 0) {
    CloseHandle(handle);
    return -EMFILE;
  }
  return fd;
}

int RemoveName(const Folder& folder, const std::string& name) {
  // A link is deleted as a link: what it points to stays.
  HANDLE handle =
      CreateFileW(NameIn(folder, name).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastErrno();
  BY_HANDLE_FILE_INFORMATION found;
  int error = 0;
  if (!GetFileInformationByHandle(handle, &found)) {
    error = LastErrno();
  } else if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
             !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    error = EISDIR;
  } else {
    // The name goes at once, as on Linux, even while the file is still open (a page being
    // replaced by its decorated copy): otherwise it stays taken until the last handle closes.
    FILE_DISPOSITION_INFO_EX at_once = {FILE_DISPOSITION_FLAG_DELETE |
                                        FILE_DISPOSITION_FLAG_POSIX_SEMANTICS |
                                        FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE};
    if (SetFileInformationByHandle(handle, kDispositionInfoEx, &at_once, sizeof at_once)) {
      CloseHandle(handle);
      return 0;
    }
    error = -1;  // the name cannot go at once here
  }
  CloseHandle(handle);
  if (error != -1) return error;
  std::wstring path = NameIn(folder, name);
  HANDLE alone = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (alone != INVALID_HANDLE_VALUE) {
    // Open nowhere else: it goes with this handle.
    FILE_DISPOSITION_INFO when_closed = {TRUE};
    error = SetFileInformationByHandle(alone, FileDispositionInfo, &when_closed, sizeof when_closed)
                ? 0
                : LastErrno();
    CloseHandle(alone);
    return error;
  }
  if (GetLastError() != ERROR_SHARING_VIOLATION) return LastErrno();
  std::wstring aside = NameIn(folder, "") + kSetAside + std::to_wstring(GetCurrentProcessId()) +
                       L"." + std::to_wstring(g_set_aside_count++);
  if (!MoveFileExW(path.c_str(), aside.c_str(), 0)) return LastErrno();
  DeleteFileW(aside.c_str());
  return 0;
}

int MakeFolderName(const Folder& folder, const std::string& name) {
  return CreateDirectoryW(NameIn(folder, name).c_str(), nullptr) ? 0 : LastErrno();
}

int RemoveFolderName(const Folder& folder, const std::string& name) {
  return RemoveDirectoryW(NameIn(folder, name).c_str()) ? 0 : LastErrno();
}

int RenameName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
               const std::string& to) {
  // A link standing at the target is replaced, never followed.
  std::wstring from_path = NameIn(from_folder, from), to_path = NameIn(to_folder, to);
  if (MoveFileExW(from_path.c_str(), to_path.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
  int error = LastErrno();
  // A target still open elsewhere is deleted out of the way first, as Linux replaces it.
  DWORD attributes = GetFileAttributesW(to_path.c_str());
  if (error != EACCES || attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) || RemoveName(to_folder, to) != 0) {
    return error;
  }
  return MoveFileExW(from_path.c_str(), to_path.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0
                                                                                    : LastErrno();
}

int LinkName(const Folder& from_folder, const std::string& from, const Folder& to_folder,
             const std::string& to) {
  return CreateHardLinkW(NameIn(to_folder, to).c_str(), NameIn(from_folder, from).c_str(), nullptr)
             ? 0
             : LastErrno();
}

long long Read(int fd, char* to, size_t size) {
  return _read(fd, to, static_cast<unsigned>(size > INT_MAX ? INT_MAX : size));
}

// As pread: the file's position stays where it was, for the reads that follow in order.
long long ReadAt(int fd, char* to, size_t size, long long offset) {
  const long long position = _lseeki64(fd, 0, SEEK_CUR);
  if (position < 0 || _lseeki64(fd, offset, SEEK_SET) < 0) return -1;
  const long long got = Read(fd, to, size);
  _lseeki64(fd, position, SEEK_SET);
  return got;
}

long long Write(int fd, const char* bytes, size_t size) {
  return _write(fd, bytes, static_cast<unsigned>(size > INT_MAX ? INT_MAX : size));
}

int Close(int fd) { return _close(fd); }

void Seek(int fd, long long offset) { _lseeki64(fd, offset, SEEK_SET); }

int Truncate(int fd) { return _chsize_s(fd, 0); }

long long CopyRange(int, long long*, int, size_t, int*) { return -1; }

// ---- Programs

std::string CurrentFolder() {
  wchar_t buffer[32768];
  DWORD length = GetCurrentDirectoryW(32768, buffer);
  return length > 0 && length < 32768 ? Narrow(buffer, length) : std::string(".");
}

std::string AbsolutePath(const std::string& path) {
  std::string folder = CurrentFolder();
  for (char& c : folder) {
    if (c == '\\') c = '/';
  }
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  return path == "." ? folder : folder + "/" + path;
}

std::string FindOnPath(const std::string& program) {
  std::string dirs = Environment("PATH");
  for (const std::string& dir : SplitFields(dirs, ';')) {
    if (dir.empty()) continue;
    for (const char* extension : {"", ".exe"}) {
      std::string candidate = dir + "\\" + program + extension;
      if (IsFile(NativePath(candidate))) return candidate;
    }
  }
  return "";
}

bool RunAndWait(const std::vector<std::string>& argv) {
  std::wstring program = ProgramFile(argv[0]);
  if (program.empty()) return false;
  std::fflush(nullptr);
  std::wstring command_line = CommandLine(argv);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  return true;
}

bool StartInNewWindow(const std::string& folder, const std::string& program_path,
                      const std::string& run_as) {
  // A scripted run has no console to open a window beside: it hands off in this one.
  if (!StandardInputIsConsole()) return false;
  std::wstring command_line = QuotedArgument(Wide(run_as));
  std::wstring folder_path = NativePath(folder);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessW(NativePath(program_path).c_str(), command_line.data(), nullptr, nullptr,
                      FALSE, CREATE_NEW_CONSOLE, nullptr, folder_path.c_str(), &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::vector<std::string> DefaultEditor() { return {"notepad.exe"}; }

long long ProcessId() { return GetCurrentProcessId(); }

// ---- The run

std::string StartedProgramPath(const std::string&) {
  // Windows knows the program file itself, whatever name it was started by.
  std::wstring buffer(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), 32768);
  if (length == 0 || length >= 32768) return "";
  return Narrow(buffer.data(), length);
}

namespace {

// The volume serial number and file index of a folder: its identity, whatever its name.
bool FolderIdentity(const std::string& path, unsigned long long* volume,
                    unsigned long long* index) {
  FileInfo info;
  if (!Status(path, true, &info) || info.kind != FileInfo::kFolder) return false;
  *volume = info.device;
  *index = info.index;
  return true;
}

}  // namespace

bool StartedInCurrentFolder(const std::string& started) {
  size_t cut = started.find_last_of("/\\");
  if (started.empty() || cut == std::string::npos || !IsFile(NativePath(started))) return false;
  std::string folder = started.substr(0, cut + 1);
  unsigned long long volume, index, here_volume, here_index;
  return FolderIdentity(folder, &volume, &index) &&
         FolderIdentity(".", &here_volume, &here_index) && volume == here_volume &&
         index == here_index;
}

std::string FolderOfPath(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return "";
  std::wstring folder = NativePath(path.substr(0, cut + 1));
  wchar_t resolved[32768];
  DWORD length = GetFullPathNameW(folder.c_str(), 32768, resolved, nullptr);
  if (length == 0 || length >= 32768) return path.substr(0, cut);
  std::string full = Narrow(resolved, length);
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

LockResult LockFolder(const std::string& path, long long* held) {
  // A named mutex keyed by the folder's identity: Windows drops it with the last process
  // that holds it, so a killed run leaves no stale lock, and it puts no file in the folder.
  unsigned long long volume, index;
  if (!FolderIdentity(path, &volume, &index)) return LockResult::kUnsupported;
  wchar_t name[96];
  swprintf(name, 96, L"Local\\doc_suite_run_%08llx_%016llx", volume, index);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  if (mutex == nullptr) return LockResult::kUnsupported;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return LockResult::kHeldByAnother;
  }
  *held = reinterpret_cast<long long>(mutex);
  return LockResult::kTaken;
}

void ReleaseFolderLock(long long held) { CloseHandle(reinterpret_cast<HANDLE>(held)); }

// ---- Clock and environment

std::string Environment(const char* name) {
  std::wstring wide_name = Wide(name);
  DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0) return "";
  std::wstring value(size, L'\0');
  DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  return length < size ? Narrow(value.data(), length) : std::string();
}

std::tm CalendarTime(long long seconds, bool utc) {
  __time64_t when = seconds;
  std::tm parts{};
  if (utc) {
    _gmtime64_s(&parts, &when);
  } else {
    _localtime64_s(&parts, &when);
  }
  return parts;
}

}  // namespace platform

// Windows has no openat2: the links on the way are always checked by hand.
void CheckLinksByHandForTesting(bool) {}
