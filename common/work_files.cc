#include "common/work_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/file_being_made.h"
#include "common/file_failures.h"
#include "common/file_names.h"
#include "common/platform.h"
#include "common/work_paths.h"
#include "common/work_target.h"

namespace {

// Copies the bytes [begin, end) of `in` (to its end where `end` is -1) to the end of `out`:
// by the kernel where it can, else through a buffer. False when the source could not be
// read to the end asked for; a failed write ends the program.
bool CopyBytes(int in, long long begin, long long end, int out, std::string_view out_name) {
  long long at = begin;
  bool by_kernel = true;
  std::vector<char> buffer;
  while (end < 0 || at < end) {
    size_t wanted = end < 0 ? size_t{1} << 30 : static_cast<size_t>(end - at);
    if (by_kernel) {
      // The kernel copies without passing the bytes through this process.
      int error = 0;
      long long put = platform::CopyRange(in, &at, out, wanted, &error);
      if (put > 0) continue;
      if (put == 0) return true;  // the source's end
      if (put == -2) StopOnWriteFailure(out_name, error);
      by_kernel = false;  // not supported here: through a buffer
      buffer.resize(1 << 16);
    }
    long long got = platform::ReadAt(in, buffer.data(), std::min(wanted, buffer.size()), at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    WriteAllOrStop(out, buffer.data(), static_cast<size_t>(got), out_name);
    at += got;
  }
  return true;
}

}  // namespace

bool ResolveTargetOrStop(WorkTarget* target, std::string_view name) {
  int error = target->Resolve(name, true);
  if (error == 0) return true;
  if (IsMissingFolder(error)) return false;
  StopOnWriteFailure(name, error);
}

int OpenOutput(const WorkTarget& target, bool append, unsigned mode) {
  // Never through a link, never blocking; truncation waits until the file is known to be
  // the program's own.
  int fd = platform::OpenForWriting(target.dir(), target.last(), append, mode, false);
  if (fd < 0) return fd == -ENXIO ? -kNotAFile : fd;  // ENXIO: a FIFO without reader
  platform::FileInfo st;
  if (!platform::DescriptorStatus(fd, &st) || st.kind != platform::FileInfo::kFile) {
    platform::Close(fd);
    return -kNotAFile;
  }
  if (!append && st.links > 1) {
    // Another name (a hard link, perhaps from outside the work directory) keeps the old
    // bytes; this name gets a new file.
    platform::Close(fd);
    if (int error = platform::RemoveName(target.dir(), target.last()); error != 0) return -error;
    fd = platform::OpenForWriting(target.dir(), target.last(), append, mode, true);
    if (fd < 0) return fd;
  } else if (!append && st.size > 0) {
    if (int error = platform::Truncate(fd); error != 0) {
      platform::Close(fd);
      return -error;
    }
  }
  target.NoteAdded();
  return fd;
}

int OpenInput(std::string_view name, platform::FileInfo* info) {
  std::string path;
  if (!ResolveWorkPath(name, false, &path)) return -1;
  int fd = platform::OpenForReading(path);
  if (fd < 0) return -1;
  if (!platform::DescriptorStatus(fd, info) || info->kind != platform::FileInfo::kFile) {
    platform::Close(fd);
    return -1;
  }
  return fd;
}

void WriteAllOrStop(int fd, const char* bytes, size_t size, std::string_view name) {
  size_t done = 0;
  while (done < size) {
    long long put = platform::Write(fd, bytes + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) StopOnWriteFailure(name, put < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(put);
  }
}

void CloseOrStop(int fd, std::string_view name) {
  if (platform::Close(fd) != 0 && errno != EINTR) StopOnWriteFailure(name, errno);
}

bool DeleteWorkFile(std::string_view name) {
  WorkTarget target;
  if (target.Resolve(name, false) != 0) return false;
  // A link is deleted as a link: what it points to stays.
  if (platform::RemoveName(target.dir(), target.last()) != 0) return false;
  target.NoteRemoved();
  return true;
}

bool MakeFolder(std::string_view name) {
  WorkTarget target;
  if (target.Resolve(name, true) != 0) return false;
  if (int error = platform::MakeFolderName(target.dir(), target.last()); error != 0) {
    return error == EEXIST && FolderExists(name);
  }
  target.NoteAdded();
  return true;
}

int RenameWorkFolder(std::string_view from_name, std::string_view to_name) {
  WorkTarget from, to;
  if (int error = from.Resolve(from_name, false); error != 0) return error;
  if (int error = to.Resolve(to_name, true); error != 0) return error;
  platform::FileInfo st;
  if (!from.Stat(&st) || st.kind != platform::FileInfo::kFolder) return ENOTDIR;
  if (to.Stat(&st)) return EEXIST;
  if (int error = platform::RenameName(from.dir(), from.last(), to.dir(), to.last()); error != 0) {
    return error;
  }
  from.NoteFolderRemoved();
  to.ForgetListing();  // a listing kept under the new name is another folder's
  to.NoteAdded();
  return 0;
}

void CarryOverKeptEntries(std::string_view from_name, std::string_view to_name) {
  std::string from_path, to_path;
  if (!ResolveWorkPath(from_name, false, &from_path) || !ResolveWorkPath(to_name, false, &to_path))
    return;
  platform::Folder from, to;
  if (from.Open(from_path) != 0 || to.Open(to_path) != 0) return;
  std::vector<std::string> kept;
  platform::ListFolderNames(from_path, 0, [&](std::string name, const platform::FileInfo&) {
    platform::FileInfo st;
    if (!IsHoldableName(name) || !from.StatName(name, &st) ||
        st.kind != platform::FileInfo::kFile) {
      kept.push_back(std::move(name));
    }
  });
  for (const std::string& name : kept) {
    platform::FileInfo st;
    if (to.StatName(name, &st)) continue;
    platform::RenameName(from, name, to, name);
  }
  WorkTarget from_target, to_target;
  if (from_target.Resolve(from_name, false) == 0) from_target.ForgetListing();
  if (to_target.Resolve(to_name, false) == 0) to_target.ForgetListing();
}

bool RemoveFolder(std::string_view name) {
  WorkTarget target;
  if (target.Resolve(name, false) != 0) return false;
  if (platform::RemoveFolderName(target.dir(), target.last()) != 0) return false;
  target.NoteFolderRemoved();
  return true;
}

bool CopyWorkFile(std::string_view source, std::string_view target_name) {
  platform::FileInfo st;
  int in = OpenInput(source, &st);
  if (in < 0) return false;
  WorkTarget target;
  if (!ResolveTargetOrStop(&target, target_name)) {
    platform::Close(in);
    return false;
  }
  platform::FileInfo target_st;
  if (target.Stat(&target_st) && target_st.device == st.device && target_st.index == st.index) {
    platform::Close(in);
    return true;  // copying a file onto itself changes nothing
  }
  // Written beside the old target, which it replaces only once it is whole.
  FileBeingMade made(target_name);
  WorkTarget part;
  if (!ResolveTargetOrStop(&part, made.part())) {
    platform::Close(in);
    return false;
  }
  // Executables stay executable, as a copied program must start.
  int out = OpenOutput(part, false, st.mode & 0777);
  if (out < 0) StopOnWriteFailure(target_name, -out);
  bool ok = CopyBytes(in, 0, -1, out, target_name);
  platform::Close(in);
  CloseOrStop(out, target_name);
  if (ok) made.Commit();
  return ok;
}

namespace {

// The regular file `source` as the source of a rename or a link; false when it is not
// one, or cannot be renamed from where it is.
bool ResolveMoveSource(std::string_view source, WorkTarget* from) {
  platform::FileInfo st;
  return from->Resolve(source, false) == 0 && from->Stat(&st) &&
         st.kind == platform::FileInfo::kFile;
}

}  // namespace

bool MoveWorkFile(std::string_view source, std::string_view target_name) {
  WorkTarget from, to;
  if (!ResolveMoveSource(source, &from) || !ResolveTargetOrStop(&to, target_name)) return false;
  if (from.path() == to.path()) return true;
  // A link standing at the target is replaced, never followed.
  if (int error = platform::RenameName(from.dir(), from.last(), to.dir(), to.last()); error != 0) {
    if (error == EXDEV) return CopyWorkFile(source, target_name) && DeleteWorkFile(source);
    if (error == ENOENT) return false;  // the source went meanwhile
    StopOnWriteFailure(target_name, error);
  }
  from.NoteRemoved();
  to.NoteAdded();
  return true;
}

bool ShareWorkFile(std::string_view source, std::string_view target_name) {
  WorkTarget from, to;
  if (!ResolveMoveSource(source, &from) || !ResolveTargetOrStop(&to, target_name)) return false;
  if (from.path() == to.path()) return true;
  platform::FileInfo target_st;
  if (to.Stat(&target_st)) {
    if (target_st.kind == platform::FileInfo::kFolder) StopOnWriteFailure(target_name, EISDIR);
    platform::RemoveName(to.dir(), to.last());  // an existing file keeps its name as it stands
  }
  if (platform::LinkName(from.dir(), from.last(), to.dir(), to.last()) != 0) {
    return CopyWorkFile(source, target_name);
  }
  to.NoteAdded();
  return true;
}

bool CopyWorkFileRanges(std::string_view source, std::string_view target_name,
                        const std::vector<std::pair<long long, long long>>& ranges) {
  platform::FileInfo st;
  int in = OpenInput(source, &st);
  if (in < 0) return false;
  WorkTarget target;
  platform::FileInfo target_st;
  if (!ResolveTargetOrStop(&target, target_name) ||
      (target.Stat(&target_st) && target_st.device == st.device && target_st.index == st.index)) {
    platform::Close(in);
    return false;
  }
  int out = OpenOutput(target, false, 0666);
  if (out < 0) StopOnWriteFailure(target_name, -out);
  bool ok = true;
  for (const auto& [begin, end] : ranges) {
    if (ok && begin < end) ok = CopyBytes(in, begin, end, out, target_name);
  }
  platform::Close(in);
  CloseOrStop(out, target_name);
  return ok;
}
