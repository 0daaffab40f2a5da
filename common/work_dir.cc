#include "common/work_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <unordered_map>

#include "common/console.h"
#include "common/text.h"

namespace {

constexpr size_t kWriteBuffer = 1 << 16;

// Case-blind lookups list a folder; the listing is kept per folder and trusted while the
// folder's modification time is unchanged. The program's own creations and deletions update
// the kept listing, so writing thousands of new files does not list the folder each time.
struct FolderCache {
  timespec mtime{};
  std::unordered_map<std::string, std::string> by_lower_name;
};
std::map<std::string, FolderCache>& Caches() {
  static std::map<std::string, FolderCache> caches;
  return caches;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

FolderCache* CacheFor(const std::string& folder_path) {
  struct stat st;
  if (stat(folder_path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  FolderCache& cache = Caches()[folder_path];
  if (SameTime(cache.mtime, st.st_mtim) && !(cache.mtime.tv_sec == 0 && cache.mtime.tv_nsec == 0))
    return &cache;
  cache.by_lower_name.clear();
  cache.mtime = st.st_mtim;
  DIR* dir = opendir(folder_path.c_str());
  if (!dir) return &cache;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    // Where two names differ only in case, the first in byte order answers.
    auto [it, inserted] = cache.by_lower_name.emplace(LowerAscii(name), name);
    if (!inserted && name < it->second) it->second = name;
  }
  closedir(dir);
  return &cache;
}

// Keeps the folder's listing current after the program itself added or removed `name`.
void NoteChange(const std::string& folder_path, const std::string& name, bool added) {
  auto it = Caches().find(folder_path);
  if (it == Caches().end()) return;
  struct stat st;
  if (stat(folder_path.c_str(), &st) != 0) {
    Caches().erase(it);
    return;
  }
  std::string lower = LowerAscii(name);
  if (added) {
    it->second.by_lower_name.emplace(lower, name);
  } else {
    auto found = it->second.by_lower_name.find(lower);
    if (found != it->second.by_lower_name.end() && found->second == name)
      it->second.by_lower_name.erase(found);
  }
  it->second.mtime = st.st_mtim;
}

// The actual name in `folder_path` for `name`: itself when it exists, else a case-blind
// match, else empty.
std::string FindInFolder(const std::string& folder_path, const std::string& name) {
  std::string exact = folder_path + "/" + name;
  struct stat st;
  if (lstat(exact.c_str(), &st) == 0) return name;
  FolderCache* cache = CacheFor(folder_path);
  if (!cache) return "";
  auto it = cache->by_lower_name.find(LowerAscii(name));
  if (it == cache->by_lower_name.end()) return "";
  // The kept listing may be stale for names removed behind our back.
  if (lstat((folder_path + "/" + it->second).c_str(), &st) != 0) {
    cache->mtime = timespec{};
    return "";
  }
  return it->second;
}

// Splits a name into components, refusing absolute names and climbs out of the work
// directory.
bool SplitComponents(std::string_view name, std::vector<std::string>* parts) {
  if (name.find('\0') != std::string_view::npos) return false;
  std::string text(name);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  if (!text.empty() && text[0] == '/') return false;
  if (text.size() >= 2 && text[1] == ':') return false;  // a drive letter
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t slash = text.find('/', pos);
    if (slash == std::string::npos) slash = text.size();
    std::string part = text.substr(pos, slash - pos);
    pos = slash + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts->empty()) return false;
      parts->pop_back();
      continue;
    }
    parts->push_back(part);
  }
  return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder == "." ? name : folder + "/" + name;
}

bool ResolveParts(const std::vector<std::string>& parts, bool for_create, std::string* path,
                  std::string* folder_path, std::string* last) {
  std::string current = ".";
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string found = FindInFolder(current, parts[i]);
    bool is_last = i + 1 == parts.size();
    if (found.empty()) {
      if (!(is_last && for_create)) return false;
      found = parts[i];
    }
    if (is_last) {
      if (folder_path) *folder_path = current;
      if (last) *last = found;
    }
    current = JoinPath(current, found);
  }
  *path = current;
  return true;
}

}  // namespace

bool ResolveWorkPath(std::string_view name, bool for_create, std::string* path) {
  std::vector<std::string> parts;
  if (!SplitComponents(name, &parts)) return false;
  return ResolveParts(parts, for_create, path, nullptr, nullptr);
}

void SplitFolderAndName(std::string_view name, std::string* folder, std::string* base) {
  size_t cut = name.find_last_of("\\/");
  if (cut == std::string_view::npos) {
    folder->clear();
    *base = std::string(name);
  } else {
    *folder = std::string(name.substr(0, cut));
    *base = std::string(name.substr(cut + 1));
  }
}

namespace {

// The error of an output that exists but is no regular file (a FIFO, a device): writing it
// could block or reach beyond the work directory. It lies beyond the errno values.
constexpr int kNotAFile = 1 << 20;

bool g_use_openat2 = true;  // until the kernel says it has no openat2

// Opens a folder below the work directory for the *at() calls, refusing a path that
// passes through a link or climbs out. Returns the descriptor, or -errno (ELOOP for a
// link).
int OpenFolderByHand(const std::string& folder_path) {
  int fd = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -errno;
  size_t pos = 0;
  while (pos < folder_path.size()) {
    size_t slash = folder_path.find('/', pos);
    if (slash == std::string::npos) slash = folder_path.size();
    std::string part = folder_path.substr(pos, slash - pos);
    pos = slash + 1;
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

// A name of the work directory, ready for the *at() calls: its folder opened without
// following links, and its last component as found (or as written, when new).
class WorkTarget {
 public:
  WorkTarget() = default;
  ~WorkTarget() {
    if (folder_fd_ >= 0) close(folder_fd_);
  }
  WorkTarget(const WorkTarget&) = delete;
  WorkTarget& operator=(const WorkTarget&) = delete;

  // Returns 0 or the errno value that refuses the name: EXDEV for a name outside the work
  // directory, ENOENT for a missing folder (or, without `for_create`, a missing file),
  // ELOOP for a folder reached through a link.
  int Resolve(std::string_view name, bool for_create) {
    std::vector<std::string> parts;
    if (!SplitComponents(name, &parts)) return EXDEV;
    if (parts.empty()) return EINVAL;
    if (!ResolveParts(parts, for_create, &path_, &folder_path_, &last_)) return ENOENT;
    if (folder_path_ == ".") {
      dir_ = AT_FDCWD;
      return 0;
    }
    int fd = OpenFolderBeneath(folder_path_);
    if (fd < 0) return -fd;
    dir_ = folder_fd_ = fd;
    return 0;
  }
  int dir() const { return dir_; }
  const char* last() const { return last_.c_str(); }
  const std::string& path() const { return path_; }
  // What the last component is, without following a link; false when it does not exist.
  bool Stat(struct stat* st) const {
    return fstatat(dir_, last_.c_str(), st, AT_SYMLINK_NOFOLLOW) == 0;
  }
  void NoteAdded() const { NoteChange(folder_path_, last_, true); }
  void NoteRemoved() const { NoteChange(folder_path_, last_, false); }

 private:
  int folder_fd_ = -1;
  int dir_ = AT_FDCWD;
  std::string path_, folder_path_, last_;
};

// Resolves the target of a write; a refused name ends the program, a missing folder is
// left to the caller (false).
bool ResolveTargetOrStop(WorkTarget* target, std::string_view name) {
  int error = target->Resolve(name, true);
  if (error == 0) return true;
  if (IsMissingFolder(error)) return false;
  StopOnWriteFailure(name, error);
}

// Opens the file `target` names for writing: a regular file, never through a link, new
// when it is created and the old file has other names too. Returns the descriptor, or
// -error (-kNotAFile for an output that is no regular file).
int OpenOutput(const WorkTarget& target, bool append, mode_t mode) {
  // O_NOFOLLOW refuses a link as the last component, O_NONBLOCK keeps a FIFO from
  // blocking the opening. Truncation waits until the file is known to be the program's
  // own.
  int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0);
  int fd = openat(target.dir(), target.last(), flags, mode);
  if (fd < 0) return errno == ENXIO ? -kNotAFile : -errno;  // ENXIO: a FIFO without reader
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -kNotAFile;
  }
  if (!append && st.st_nlink > 1) {
    // Another name (a hard link, perhaps from outside the work directory) keeps the old
    // bytes; this name gets a new file.
    close(fd);
    if (unlinkat(target.dir(), target.last(), 0) != 0) return -errno;
    fd = openat(target.dir(), target.last(), flags | O_EXCL, mode);
    if (fd < 0) return -errno;
  } else if (!append && st.st_size > 0 && ftruncate(fd, 0) != 0) {
    int error = errno;
    close(fd);
    return -error;
  }
  target.NoteAdded();
  return fd;
}

// Opens a file for reading, following links: only a regular file, and without blocking.
int OpenInput(std::string_view name, struct stat* st) {
  std::string path;
  if (!ResolveWorkPath(name, false, &path)) return -1;
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

// Writes all of `bytes` or ends the program.
void WriteAllOrStop(int fd, const char* bytes, size_t size, std::string_view name) {
  size_t done = 0;
  while (done < size) {
    ssize_t put = write(fd, bytes + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) StopOnWriteFailure(name, put < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(put);
  }
}

// A failed copy_file_range that the copy through a buffer would only meet again.
bool WriteSideFailure(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

void CloseOrStop(int fd, std::string_view name) {
  if (close(fd) != 0 && errno != EINTR) StopOnWriteFailure(name, errno);
}

bool IsKind(std::string_view name, bool folder) {
  std::string path;
  if (!ResolveWorkPath(name, false, &path)) return false;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

}  // namespace

bool ResolveConfinedPath(std::string_view name, std::string* path) {
  WorkTarget target;
  struct stat st;
  if (target.Resolve(name, true) != 0 || (target.Stat(&st) && S_ISLNK(st.st_mode))) return false;
  *path = target.path();
  return true;
}

void StopOnWriteFailure(std::string_view name, int error) {
  std::string reason;
  if (error == ELOOP) {
    reason = "leaves the work directory through a link";
  } else if (error == EXDEV) {
    reason = "lies outside the work directory";
  } else if (error == kNotAFile) {
    reason = "is not a regular file";
  } else {
    reason = std::strerror(error);
  }
  EndProgramOnFailure("Cannot write " + std::string(name) + ": " + reason);
}

bool IsMissingFolder(int error) { return error == ENOENT || error == ENOTDIR; }

void CheckLinksByHandForTesting(bool by_hand) { g_use_openat2 = !by_hand; }

bool FileExists(std::string_view name) { return IsKind(name, false); }
bool FolderExists(std::string_view name) { return IsKind(name, true); }

bool DeleteWorkFile(std::string_view name) {
  WorkTarget target;
  if (target.Resolve(name, false) != 0) return false;
  // A link is deleted as a link: what it points to stays.
  if (unlinkat(target.dir(), target.last(), 0) != 0) return false;
  target.NoteRemoved();
  return true;
}

bool MakeFolder(std::string_view name) {
  WorkTarget target;
  if (target.Resolve(name, true) != 0) return false;
  if (mkdirat(target.dir(), target.last(), 0777) != 0) {
    return errno == EEXIST && FolderExists(name);
  }
  target.NoteAdded();
  return true;
}

bool RemoveFolder(std::string_view name) {
  WorkTarget target;
  if (target.Resolve(name, false) != 0) return false;
  if (unlinkat(target.dir(), target.last(), AT_REMOVEDIR) != 0) return false;
  target.NoteRemoved();
  Caches().erase(target.path());
  return true;
}

bool CopyWorkFile(std::string_view source, std::string_view target_name) {
  struct stat st;
  int in = OpenInput(source, &st);
  if (in < 0) return false;
  WorkTarget target;
  if (!ResolveTargetOrStop(&target, target_name)) {
    close(in);
    return false;
  }
  struct stat target_st;
  if (target.Stat(&target_st) && target_st.st_dev == st.st_dev && target_st.st_ino == st.st_ino) {
    close(in);
    return true;  // copying a file onto itself changes nothing
  }
  // Executables stay executable, as a copied program must start.
  int out = OpenOutput(target, false, st.st_mode & 0777);
  if (out < 0) StopOnWriteFailure(target_name, -out);
  // The kernel copies without passing the bytes through this process where it can.
  while (true) {
    ssize_t put = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
    if (put < 0 && errno == EINTR) continue;
    if (put == 0) {
      close(in);
      CloseOrStop(out, target_name);
      return true;
    }
    if (put < 0) {
      if (WriteSideFailure(errno)) StopOnWriteFailure(target_name, errno);
      break;  // not supported here: copy through a buffer
    }
  }
  bool ok = true;
  std::vector<char> buffer(1 << 16);
  while (true) {
    ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;  // a source that cannot be read to its end is the command's failure
      break;
    }
    WriteAllOrStop(out, buffer.data(), static_cast<size_t>(got), target_name);
  }
  close(in);
  CloseOrStop(out, target_name);
  return ok;
}

namespace {

// The regular file `source` as the source of a rename or a link; false when it is not
// one, or cannot be renamed from where it is.
bool ResolveMoveSource(std::string_view source, WorkTarget* from) {
  struct stat st;
  return from->Resolve(source, false) == 0 && from->Stat(&st) && S_ISREG(st.st_mode);
}

}  // namespace

bool MoveWorkFile(std::string_view source, std::string_view target_name) {
  WorkTarget from, to;
  if (!ResolveMoveSource(source, &from) || !ResolveTargetOrStop(&to, target_name)) return false;
  if (from.path() == to.path()) return true;
  // renameat replaces the last component itself: a link standing there is replaced, never
  // followed.
  if (renameat(from.dir(), from.last(), to.dir(), to.last()) != 0) {
    if (errno == EXDEV) return CopyWorkFile(source, target_name) && DeleteWorkFile(source);
    if (errno == ENOENT) return false;  // the source went meanwhile
    StopOnWriteFailure(target_name, errno);
  }
  from.NoteRemoved();
  to.NoteAdded();
  return true;
}

bool ShareWorkFile(std::string_view source, std::string_view target_name) {
  WorkTarget from, to;
  if (!ResolveMoveSource(source, &from) || !ResolveTargetOrStop(&to, target_name)) return false;
  if (from.path() == to.path()) return true;
  struct stat target_st;
  if (to.Stat(&target_st)) {
    if (S_ISDIR(target_st.st_mode)) StopOnWriteFailure(target_name, EISDIR);
    unlinkat(to.dir(), to.last(), 0);  // an existing file keeps its name as it stands
  }
  if (linkat(from.dir(), from.last(), to.dir(), to.last(), 0) != 0) {
    return CopyWorkFile(source, target_name);
  }
  to.NoteAdded();
  return true;
}

bool CopyWorkFileRanges(std::string_view source, std::string_view target_name,
                        const std::vector<std::pair<long long, long long>>& ranges) {
  struct stat st;
  int in = OpenInput(source, &st);
  if (in < 0) return false;
  WorkTarget target;
  struct stat target_st;
  if (!ResolveTargetOrStop(&target, target_name) ||
      (target.Stat(&target_st) && target_st.st_dev == st.st_dev && target_st.st_ino == st.st_ino)) {
    close(in);
    return false;
  }
  int out = OpenOutput(target, false, 0666);
  if (out < 0) StopOnWriteFailure(target_name, -out);
  bool ok = true;
  std::vector<char> buffer;
  for (const auto& [begin, end] : ranges) {
    off_t at = static_cast<off_t>(begin);
    while (ok && at < end) {
      size_t wanted = static_cast<size_t>(end - at);
      ssize_t put = copy_file_range(in, &at, out, nullptr, wanted, 0);
      if (put < 0 && errno == EINTR) continue;
      if (put > 0) continue;
      if (put == 0) break;  // the source is shorter than the range
      if (WriteSideFailure(errno)) StopOnWriteFailure(target_name, errno);
      // Not supported here: through a buffer.
      buffer.resize(1 << 16);
      ssize_t got = pread(in, buffer.data(), std::min(wanted, buffer.size()), at);
      if (got <= 0) {
        ok = got == 0;
        break;
      }
      WriteAllOrStop(out, buffer.data(), static_cast<size_t>(got), target_name);
      at += got;
    }
  }
  close(in);
  CloseOrStop(out, target_name);
  return ok;
}

std::vector<FolderEntry> ListFolder(std::string_view folder, bool details) {
  std::vector<FolderEntry> entries;
  std::string path = ".";
  if (!TrimSpaces(folder).empty() && !ResolveWorkPath(folder, false, &path)) return entries;
  DIR* dir = opendir(path.c_str());
  if (!dir) return entries;
  while (dirent* entry = readdir(dir)) {
    FolderEntry e;
    e.name = entry->d_name;
    if (e.name == "." || e.name == "..") continue;
    if (details || entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st;
      if (stat((path + "/" + e.name).c_str(), &st) == 0) {
        e.is_folder = S_ISDIR(st.st_mode);
        e.size = static_cast<long long>(st.st_size);
        e.mtime = static_cast<long long>(st.st_mtime);
      }
    } else {
      e.is_folder = entry->d_type == DT_DIR;
    }
    entries.push_back(std::move(e));
  }
  closedir(dir);
  return entries;
}

LineReader::LineReader(std::string_view name) : buffer_(1 << 16) {
  struct stat st;
  fd_ = OpenInput(name, &st);
}

LineReader::~LineReader() {
  if (fd_ >= 0) close(fd_);
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
  lseek(fd_, static_cast<off_t>(offset), SEEK_SET);
  file_offset_ = offset;
  begin_ = end_ = 0;
  eof_ = false;
}

bool LineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  size_t room = buffer_.size() - end_;
  if (end_offset_ >= 0) {
    if (file_offset_ >= end_offset_) {
      eof_ = true;
      return false;
    }
    room = std::min(room, static_cast<size_t>(end_offset_ - file_offset_));
  }
  while (true) {
    ssize_t got = read(fd_, buffer_.data() + end_, room);
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
  chunk->assign(buffer_.data() + begin_, end_ - begin_);
  begin_ = end_;
  return true;
}

bool LineReader::Next(std::string* line) {
  size_t scanned = begin_;
  while (true) {
    const char* start = buffer_.data() + scanned;
    const void* lf = std::memchr(start, '\n', end_ - scanned);
    if (lf) {
      size_t stop = static_cast<size_t>(static_cast<const char*>(lf) - buffer_.data());
      size_t length = stop - begin_;
      if (length > 0 && buffer_[stop - 1] == '\r') --length;
      line->assign(buffer_.data() + begin_, length);
      begin_ = stop + 1;
      return true;
    }
    size_t kept = end_ - begin_;
    if (!Fill()) {
      if (begin_ == end_) return false;
      line->assign(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
    scanned = begin_ + kept;
  }
}

LineWriter::LineWriter(std::string_view name, Mode mode, OnFailure on_failure) : name_(name) {
  WorkTarget target;
  error_ = target.Resolve(name, true);
  if (error_ == 0) {
    int fd = OpenOutput(target, mode == kAppend, 0666);
    if (fd >= 0) {
      fd_ = fd;
      buffer_.reserve(kWriteBuffer);
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
  WriteOut(buffer_);
  buffer_.clear();
}

void LineWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return;
  if (bytes.size() >= kWriteBuffer) {
    // A very long line goes out as it is, not through a copy in the buffer.
    Flush();
    WriteOut(bytes);
    return;
  }
  buffer_.append(bytes);
  if (buffer_.size() >= kWriteBuffer) Flush();
}

void LineWriter::WriteLine(std::string_view line) {
  if (fd_ < 0) return;
  if (line.size() >= kWriteBuffer) {
    Write(line);
    Write("\r\n");
    return;
  }
  buffer_.append(line);
  buffer_.append("\r\n", 2);
  if (buffer_.size() >= kWriteBuffer) Flush();
}

void LineWriter::WriteRecord(std::initializer_list<std::string_view> fields) {
  if (fd_ < 0) return;
  AppendQuotedRecord(&buffer_, fields);
  buffer_.append("\r\n", 2);
  if (buffer_.size() >= kWriteBuffer) Flush();
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

void WriteAllLines(std::string_view name, const std::vector<std::string>& lines) {
  LineWriter writer(name);
  for (const std::string& line : lines) writer.WriteLine(line);
}

namespace {

bool GlobMatch(std::string_view name, std::string_view pattern) {
  // Iterative matcher with one backtracking point per "*".
  size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    // A '*' of the pattern is a wildcard even where the name holds a '*' too.
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++n, ++p;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool ListingLess(const FolderEntry& a, const FolderEntry& b) {
  std::string la = LowerAscii(a.name), lb = LowerAscii(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

}  // namespace

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string::npos; }

// Windows wildcard rules, without regard to case: "*.*" is everything, a trailing "." asks
// for names without a dot, and "x.*" also matches "x".
bool NameMatches(std::string_view name, std::string_view pattern) {
  std::string n = LowerAscii(name);
  std::string p = LowerAscii(pattern);
  if (p == "*.*" || p == "*") return true;
  if (EndsWith(p, ".") && !EndsWith(p, "..")) {
    return n.find('.') == std::string::npos && GlobMatch(n, p.substr(0, p.size() - 1));
  }
  if (GlobMatch(n, p)) return true;
  if (EndsWith(p, ".*") && n.find('.') == std::string::npos) {
    return GlobMatch(n, p.substr(0, p.size() - 2));
  }
  return false;
}

std::vector<FolderEntry> ListMatches(std::string_view pattern, bool details, std::string* folder) {
  std::string base;
  SplitFolderAndName(pattern, folder, &base);
  if (!HasWildcard(base)) {
    std::string whole(pattern);
    if (base.empty() || FolderExists(whole)) {
      *folder = whole;
      base = "*";
    }
  }
  std::vector<FolderEntry> found;
  if (!folder->empty() && !FolderExists(*folder)) return found;
  for (FolderEntry& entry : ListFolder(*folder, details)) {
    if (NameMatches(entry.name, base)) found.push_back(std::move(entry));
  }
  std::sort(found.begin(), found.end(), ListingLess);
  return found;
}

std::vector<std::string> MatchingWorkFiles(std::string_view pattern) {
  if (!HasWildcard(pattern)) {
    if (FileExists(pattern)) return {std::string(pattern)};
    return {};
  }
  std::vector<std::string> names;
  std::string folder;
  for (const FolderEntry& e : ListMatches(pattern, false, &folder)) {
    if (!e.is_folder) names.push_back(folder.empty() ? e.name : folder + "\\" + e.name);
  }
  return names;
}
