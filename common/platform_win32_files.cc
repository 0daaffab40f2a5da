// Files and folders on Windows: names are held open component by component, so that no
// link or junction can be put on the way while an operation runs.

#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <string>
#include <vector>

#include "common/platform.h"
#include "common/platform_win32.h"
#include "common/text.h"
#include "common/win32_text.h"

namespace platform {

const char kFolderSeparator = '\\';
const bool kReservesWindowsNames = true;

using win32::ErrnoOf;
using win32::HandleOf;
using win32::LastErrno;

namespace {

// A file deleted while it is open elsewhere is first renamed to a name of this prefix where
// the name cannot go at once; it is gone when its last handle closes, and no listing shows it.
const wchar_t kSetAside[] = L"~$deleted.";
std::atomic<unsigned> g_set_aside_count{0};

// FileDispositionInfoEx (Windows 10 and later), which MinGW declares only for newer targets;
// older systems refuse it and the deletion waits for the file's last handle there.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

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

int HandleInfo(HANDLE handle, bool link_as_itself, FileInfo* info) {
  BY_HANDLE_FILE_INFORMATION found;
  DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK) {
    if (type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR) return LastErrno();
    *info = FileInfo();
    return 0;
  }
  if (!GetFileInformationByHandle(handle, &found)) return LastErrno();
  FillInfo(found, type, link_as_itself, info);
  return 0;
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

// The handles a Folder holds, one per component of its path.
using HeldHandles = std::vector<HANDLE>;

}  // namespace

int Status(const std::string& path, bool follow, FileInfo* info) {
  HANDLE handle = OpenForStatus(NativePath(path), follow);
  if (handle == INVALID_HANDLE_VALUE) return LastErrno();
  int error = HandleInfo(handle, !follow, info);
  CloseHandle(handle);
  return error;
}

int DescriptorStatus(int fd, FileInfo* info) { return HandleInfo(HandleOf(fd), true, info); }

int ListFolderNames(const std::string& path, int detail,
                    const std::function<void(std::string name, const FileInfo& info)>& take) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(NativePath(path + "/*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrno();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ENOTDIR;
    return error == ERROR_FILE_NOT_FOUND ? 0 : ErrnoOf(error);  // nothing in it, not even "."
  }
  do {
    std::wstring wide = found.cFileName;
    if (wide == L"." || wide == L".." || wide.starts_with(kSetAside)) continue;
    std::string name = Narrow(wide);
    FileInfo info;
    if (detail > 0 && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      // A link counts as what it points to.
      if (Status(path + "/" + name, true, &info) != 0) info = FileInfo();
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
  return 0;
}

Folder::~Folder() {
  if (held_ == kNothingHeld) return;
  auto* handles = reinterpret_cast<HeldHandles*>(held_);
  for (HANDLE handle : *handles) CloseHandle(handle);
  delete handles;
}

int Folder::Hold() {
  auto* handles = new HeldHandles();
  held_ = reinterpret_cast<std::intptr_t>(handles);
  // Each component is checked and held open, listing access without sharing deletion, so
  // that none can be renamed or replaced by a link until the operation is done.
  std::string so_far;
  for (const std::string& part : SplitFields(path_, '/')) {
    if (part.empty() || part == ".") continue;
    so_far += (so_far.empty() ? "" : "/") + part;
    HANDLE handle =
        CreateFileW(NativePath(so_far).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastErrno();
    handles->push_back(handle);
    BY_HANDLE_FILE_INFORMATION found;
    if (!GetFileInformationByHandle(handle, &found)) return LastErrno();
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return ELOOP;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return ENOTDIR;
  }
  return 0;
}

int Folder::StatName(const std::string& name, FileInfo* info) const {
  HANDLE handle = OpenForStatus(NameIn(*this, name), false);
  if (handle == INVALID_HANDLE_VALUE) return LastErrno();
  int error = HandleInfo(handle, true, info);
  CloseHandle(handle);
  return error;
}

int OpenForWriting(const Folder& folder, const std::string& name, bool append, unsigned,
                   bool exclusive, int* fd) {
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
      return ELOOP;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return EISDIR;
    return ErrnoOf(error);
  }
  BY_HANDLE_FILE_INFORMATION found;
  if (GetFileInformationByHandle(handle, &found) &&
      (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    CloseHandle(handle);
    return ELOOP;
  }
  int opened =
      _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | (append ? _O_APPEND : 0));
  if (opened < 0) {
    CloseHandle(handle);
    return EMFILE;
  }
  *fd = opened;
  return 0;
}

int WritableFolderError(const std::string&) {
  // A folder's read-only attribute does not keep files out on Windows, and its access
  // lists answer only to an attempt: a folder that refuses files is found at the first.
  return 0;
}

int OpenForReading(const std::string& path, int* fd, FileInfo* info) {
  std::wstring native = NativePath(path);
  HANDLE handle = CreateFileW(native.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A folder is refused for want of backup semantics: say so, as the other systems do.
    int error = LastErrno();
    DWORD attributes = GetFileAttributesW(native.c_str());
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return folder ? EISDIR : error;
  }
  int opened = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_RDONLY);
  if (opened < 0) {
    CloseHandle(handle);
    return EMFILE;
  }
  if (int error = HandleInfo(handle, false, info); error != 0) {
    _close(opened);
    return error;
  }
  *fd = opened;
  return 0;
}

int RemoveName(const Folder& folder, const std::string& name) {
  // A link is deleted as a link: what it points to stays.
  HANDLE handle =
      CreateFileW(NameIn(folder, name).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A folder held open by a Folder cannot be opened for deletion: it is a folder all the
    // same.
    int error = LastErrno();
    DWORD attributes = GetFileAttributesW(NameIn(folder, name).c_str());
    bool plain_folder = attributes != INVALID_FILE_ATTRIBUTES &&
                        (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    return plain_folder ? EISDIR : error;
  }
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

int Read(int fd, char* to, size_t size, size_t* got) {
  int count = _read(fd, to, static_cast<unsigned>(size > INT_MAX ? INT_MAX : size));
  if (count < 0) return errno;
  *got = static_cast<size_t>(count);
  return 0;
}

// As pread: the file's position stays where it was, for the reads that follow in order.
int ReadAt(int fd, char* to, size_t size, long long offset, size_t* got) {
  const long long position = _lseeki64(fd, 0, SEEK_CUR);
  if (position < 0 || _lseeki64(fd, offset, SEEK_SET) < 0) return errno;
  const int error = Read(fd, to, size, got);
  _lseeki64(fd, position, SEEK_SET);
  return error;
}

int Write(int fd, const char* bytes, size_t size, size_t* put) {
  int count = _write(fd, bytes, static_cast<unsigned>(size > INT_MAX ? INT_MAX : size));
  if (count < 0) return errno;
  *put = static_cast<size_t>(count);
  return 0;
}

int Close(int fd) { return _close(fd) == 0 ? 0 : errno; }

int Seek(int fd, long long offset) { return _lseeki64(fd, offset, SEEK_SET) < 0 ? errno : 0; }

int Truncate(int fd) { return _chsize_s(fd, 0); }

int CopyRange(int, long long*, int, size_t, size_t*) { return ENOSYS; }

// Windows has no openat2: the links on the way are always checked by hand.
void CheckLinksByHandForTesting(bool) {}

}  // namespace platform
