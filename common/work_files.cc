#include "common/work_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/work_paths.h"
#include "common/work_target.h"

namespace {

// A failed copy_file_range that the copy through a buffer would only meet again.
bool WriteSideFailure(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

// Copies the bytes [begin, end) of `in` (to its end where `end` is -1) to the end of `out`:
// by the kernel where it can, else through a buffer. False when the source could not be
// read to the end asked for; a failed write ends the program.
bool CopyBytes(int in, off_t begin, off_t end, int out, std::string_view out_name) {
  off_t at = begin;
  bool by_kernel = true;
  std::vector<char> buffer;
  while (end < 0 || at < end) {
    size_t wanted = end < 0 ? size_t{1} << 30 : static_cast<size_t>(end - at);
    if (by_kernel) {
      // The kernel copies without passing the bytes through this process.
      ssize_t put = copy_file_range(in, &at, out, nullptr, wanted, 0);
      if (put < 0 && errno == EINTR) continue;
      if (put > 0) continue;
      if (put == 0) return true;  // the source's end
      if (WriteSideFailure(errno)) StopOnWriteFailure(out_name, errno);
      by_kernel = false;  // not supported here: through a buffer
      buffer.resize(1 << 16);
    }
    ssize_t got = pread(in, buffer.data(), std::min(wanted, buffer.size()), at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    WriteAllOrStop(out, buffer.data(), static_cast<size_t>(got), out_name);
    at += got;
  }
  return true;
}

}  // namespace

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

void RequireFolder(std::string_view name, std::string_view verb) {
  if (FolderExists(name)) return;
  std::string path;
  int error = ResolveWorkPath(name, false, &path) ? ENOTDIR : ENOENT;
  EndProgramOnFailure("Cannot " + std::string(verb) + " " + std::string(name) + ": " +
                      std::strerror(error));
}

void RequireFolderWhereNamed(std::string_view name, std::string_view verb) {
  std::string path;
  if (ResolveWorkPath(name, false, &path)) RequireFolder(name, verb);
}

bool IsMissingFolder(int error) { return error == ENOENT || error == ENOTDIR; }

bool ResolveTargetOrStop(WorkTarget* target, std::string_view name) {
  int error = target->Resolve(name, true);
  if (error == 0) return true;
  if (IsMissingFolder(error)) return false;
  StopOnWriteFailure(name, error);
}

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

void WriteAllOrStop(int fd, const char* bytes, size_t size, std::string_view name) {
  size_t done = 0;
  while (done < size) {
    ssize_t put = write(fd, bytes + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) StopOnWriteFailure(name, put < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(put);
  }
}

void CloseOrStop(int fd, std::string_view name) {
  if (close(fd) != 0 && errno != EINTR) StopOnWriteFailure(name, errno);
}

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
  target.NoteFolderRemoved();
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
  bool ok = CopyBytes(in, 0, -1, out, target_name);
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
  for (const auto& [begin, end] : ranges) {
    if (ok && begin < end)
      ok = CopyBytes(in, static_cast<off_t>(begin), static_cast<off_t>(end), out, target_name);
  }
  close(in);
  CloseOrStop(out, target_name);
  return ok;
}
