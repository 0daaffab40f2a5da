// Files and folders on POSIX: every operation on a name goes through the descriptor of its
// folder, opened beneath the work directory without following links.

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "common/platform.h"
#include "common/platform_posix.h"
#include "common/text.h"

namespace platform {

const char kFolderSeparator = '/';
const bool kReservesWindowsNames = false;

namespace {

std::atomic<bool> g_use_openat2{true};  // until the kernel says it has no openat2

// Opens a folder below the work directory for the *at() calls, refusing a path that
// passes through a link (ELOOP).
int OpenFolderByHand(const std::string& folder_path, int* folder_fd) {
  int fd = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  for (const std::string& part : SplitFields(folder_path, '/')) {
    if (part.empty() || part == ".") continue;
    struct stat st;
    int error = 0;
    if (fstatat(fd, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
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
    if (error != 0) return error;
    fd = next;
  }
  *folder_fd = fd;
  return 0;
}

int OpenFolderBeneath(const std::string& folder_path, int* folder_fd) {
  while (g_use_openat2) {
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    long fd = syscall(SYS_openat2, AT_FDCWD, folder_path.c_str(), &how, sizeof how);
    if (fd >= 0) {
      *folder_fd = static_cast<int>(fd);
      return 0;
    }
    if (errno == EAGAIN || errno == EINTR) continue;  // a rename raced the lookup
    // Without openat2 (an old kernel, or a sandbox that forbids it) the check is done by
    // hand.
    if (errno != ENOSYS && errno != EPERM && errno != E2BIG) return errno;
    g_use_openat2 = false;
  }
  return OpenFolderByHand(folder_path, folder_fd);
}

FileInfo::Kind KindOfEntry(unsigned char type) {
  switch (type) {
    case DT_REG:
      return FileInfo::kFile;
    case DT_DIR:
      return FileInfo::kFolder;
    default:
      return FileInfo::kOther;
  }
}

}  // namespace

namespace posix {

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

int Dir(const Folder& folder) {
  return folder.held() == Folder::kNothingHeld ? AT_FDCWD : static_cast<int>(folder.held());
}

}  // namespace posix

using posix::Dir;
using posix::FillInfo;
using posix::ResultOf;

int Status(const std::string& path, bool follow, FileInfo* info) {
  struct stat st;
  if ((follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return errno;
  FillInfo(st, info);
  return 0;
}

int DescriptorStatus(int fd, FileInfo* info) {
  struct stat st;
  if (fstat(fd, &st) != 0) return errno;
  FillInfo(st, info);
  return 0;
}

int ListFolderNames(const std::string& path, int detail,
                    const std::function<void(std::string name, const FileInfo& info)>& take) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return errno;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FileInfo info;
    if (detail == 2 || (detail == 1 && (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK))) {
      // A link counts as what it points to: a dangling one stays kOther.
      struct stat st;
      if (stat((path + "/" + name).c_str(), &st) == 0) FillInfo(st, &info);
    } else if (detail == 1) {
      info.kind = KindOfEntry(entry->d_type);
    }
    take(std::move(name), info);
  }
  closedir(dir);
  return 0;
}

Folder::~Folder() {
  if (held_ != kNothingHeld) close(static_cast<int>(held_));
}

int Folder::Hold() {
  int fd = -1;
  if (int error = OpenFolderBeneath(path_, &fd); error != 0) return error;
  held_ = fd;
  return 0;
}

int Folder::StatName(const std::string& name, FileInfo* info) const {
  struct stat st;
  if (fstatat(Dir(*this), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  FillInfo(st, info);
  return 0;
}

int OpenForWriting(const Folder& folder, const std::string& name, bool append, unsigned mode,
                   bool exclusive, int* fd) {
  // O_NOFOLLOW refuses a link as the last component, O_NONBLOCK keeps a FIFO from
  // blocking the opening.
  int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0) |
              (exclusive ? O_EXCL : 0);
  int opened = openat(Dir(folder), name.c_str(), flags, static_cast<mode_t>(mode));
  if (opened < 0) return errno;
  *fd = opened;
  return 0;
}

int WritableFolderError(const std::string& path) {
  // As the process's effective user: root passes where the mode bits say no, a read-only
  // mount does not.
  return ResultOf(faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS));
}

int OpenForReading(const std::string& path, int* fd, FileInfo* info) {
  int opened = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (opened < 0) return errno;
  struct stat st;
  int error = fstat(opened, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (error != 0) {
    close(opened);
    return error;
  }
  FillInfo(st, info);
  *fd = opened;
  return 0;
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

int Read(int fd, char* to, size_t size, size_t* got) {
  while (true) {
    ssize_t count = read(fd, to, size);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    *got = static_cast<size_t>(count);
    return 0;
  }
}

int ReadAt(int fd, char* to, size_t size, long long offset, size_t* got) {
  while (true) {
    ssize_t count = pread(fd, to, size, static_cast<off_t>(offset));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    *got = static_cast<size_t>(count);
    return 0;
  }
}

int Write(int fd, const char* bytes, size_t size, size_t* put) {
  while (true) {
    ssize_t count = write(fd, bytes, size);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    *put = static_cast<size_t>(count);
    return 0;
  }
}

int Close(int fd) {
  // Linux closes the descriptor even when close is interrupted: trying again could close
  // one opened meanwhile by another thread.
  return close(fd) == 0 || errno == EINTR ? 0 : errno;
}

int Seek(int fd, long long offset) {
  return lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0 ? errno : 0;
}

int Truncate(int fd) { return ResultOf(ftruncate(fd, 0)); }

int CopyRange(int in, long long* offset, int out, size_t size, size_t* copied) {
  while (true) {
    off_t at = static_cast<off_t>(*offset);
    ssize_t put = copy_file_range(in, &at, out, nullptr, size, 0);
    *offset = at;
    if (put < 0 && errno == EINTR) continue;
    if (put >= 0) {
      *copied = static_cast<size_t>(put);
      return 0;
    }
    // A failure that the copy through a buffer would only meet again.
    if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG) return errno;
    return ENOSYS;
  }
}

void CheckLinksByHandForTesting(bool by_hand) { g_use_openat2 = !by_hand; }

}  // namespace platform
