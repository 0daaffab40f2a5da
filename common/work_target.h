#ifndef COMMON_WORK_TARGET_H_
#define COMMON_WORK_TARGET_H_

/// For the file layer's own units (work_paths, work_files, line_files): a name of the work
/// directory resolved for writing without following links, and the opening of files for
/// reading and writing. WorkTarget is implemented in work_paths.cc, the opening and
/// writing helpers in work_files.cc. The programs use work_files.h and line_files.h.

#include <string>
#include <string_view>

#include "common/platform.h"

// The error of an output that exists but is no regular file (a FIFO, a device): writing it
// could block or reach beyond the work directory. It lies beyond the errno values.
constexpr int kNotAFile = 1 << 20;

// A name of the work directory, ready for the operations on names: its folder opened
// without following links, and its last component as found (or as written, when new).
class WorkTarget {
 public:
  WorkTarget() = default;
  WorkTarget(const WorkTarget&) = delete;
  WorkTarget& operator=(const WorkTarget&) = delete;

  // Returns 0 or the errno value that refuses the name: EXDEV for a name outside the work
  // directory, ENOENT for a missing folder (or, without `for_create`, a missing file),
  // ELOOP for a folder reached through a link.
  int Resolve(std::string_view name, bool for_create);
  const platform::Folder& dir() const { return folder_; }
  const std::string& last() const { return last_; }
  const std::string& path() const { return path_; }
  // What the last component is, without following a link; false when it does not exist.
  bool Stat(platform::FileInfo* info) const { return folder_.StatName(last_, info) == 0; }
  // Keep the case-blind listing of the folder current after the program's own changes.
  void NoteAdded() const;
  void NoteRemoved() const;
  void NoteFolderRemoved() const;
  // The folder this names changed behind the kept listing of its contents.
  void ForgetListing() const;

 private:
  platform::Folder folder_;
  std::string path_, folder_path_, last_;
};

/// Resolves the target of a write; a refused name ends the program, a missing folder is
/// left to the caller (false).
bool ResolveTargetOrStop(WorkTarget* target, std::string_view name);

/// Opens the file `target` names for writing: a regular file, never through a link, new
/// when it is created and the old file has other names too. Returns the descriptor, or
/// -error (-kNotAFile for an output that is no regular file).
int OpenOutput(const WorkTarget& target, bool append, unsigned mode);

/// Opens a file for reading, following links: only a regular file, and without blocking.
/// Returns the descriptor, or -1.
int OpenInput(std::string_view name, platform::FileInfo* info);

/// Writes all of `bytes` to `fd`, or ends the program naming the file `name`.
void WriteAllOrStop(int fd, const char* bytes, size_t size, std::string_view name);
/// Closes a written file, or ends the program.
void CloseOrStop(int fd, std::string_view name);

#endif  // COMMON_WORK_TARGET_H_
