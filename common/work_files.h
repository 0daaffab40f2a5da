#ifndef COMMON_WORK_FILES_H_
#define COMMON_WORK_FILES_H_

/// Whole files and folders of the work directory: delete, copy, move, second names, ranges.
///
/// Nothing is ever created, written, deleted or renamed outside the work directory: a name
/// that passes through a symbolic link (its last component included) is refused for all of
/// these, whatever the link points to; deleting a link deletes the link. Reading follows
/// links, but only regular files are read: anything else (a folder, a FIFO, a device) reads
/// as a file that cannot be opened, and opening never blocks.
///
/// A file that cannot be created, written or finished, a refused name included, ends the
/// program (StopOnWriteFailure). A source that cannot be read, a folder that is missing
/// where a command names one, and a file that cannot be deleted are the callers' ordinary
/// failures: false, and the program goes on.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Ends the program with status 1 because the output or work file `name` could not be
/// created, written or finished: one line on standard error naming the file and the
/// reason for `error` (an errno value; ELOOP stands for a path through a link, EXDEV for
/// one outside the work directory).
[[noreturn]] void StopOnWriteFailure(std::string_view name, int error);
/// Ends the program with status 1 because the input `name` cannot be read: "Cannot read
/// a.txt: Is a directory". `error` as for StopOnWriteFailure.
[[noreturn]] void StopOnReadFailure(std::string_view name, int error);
/// Why the input file `name` cannot be read: 0 when it can be opened as a regular file,
/// else an errno value (EISDIR for a folder, kNotAFile for a FIFO or a device, ENOENT for a
/// dangling link, ELOOP for one that loops, EACCES, ...). Links are followed.
int InputReadError(std::string_view name);
/// A work-directory name as the program's messages show it, with the system's separator
/// ("htm_out/f_01.txt" on Linux, "htm_out\f_01.txt" on Windows).
std::string ShownName(std::string_view name);

/// Ends the program with status 1 ("Cannot read htm_in: Not a directory") unless `name` is
/// a folder: a file or a FIFO standing where a run needs a folder would make the run lose
/// its output or read no input, and still end as a success. `verb` is "read" or "write".
void RequireFolder(std::string_view name, std::string_view verb);
/// As RequireFolder where something named `name` exists: checked before the commands that
/// would otherwise each fail on it.
void RequireFolderWhereNamed(std::string_view name, std::string_view verb);
/// As RequireFolderWhereNamed for a folder that a run writes in, which must also take new
/// files ("Cannot write wrd_24: Permission denied").
void RequireWritableFolderWhereNamed(std::string_view name);
/// The error of a name whose folder does not exist (or is a file): for a command, the
/// failure of the command, not the end of the program.
bool IsMissingFolder(int error);

/// A file written whole under a name of its own beside `name` (the part, `name` + "~part")
/// and put in its place by Commit: until then `name` keeps its old bytes, and a run that
/// fails or is stopped leaves it as it was. What stands at `name` is checked at once: a
/// link, a folder or another non-file there ends the program, as a failed write would.
class FileBeingMade {
 public:
  explicit FileBeingMade(std::string_view name);
  ~FileBeingMade();  // deletes the part unless it was committed
  FileBeingMade(const FileBeingMade&) = delete;
  FileBeingMade& operator=(const FileBeingMade&) = delete;
  /// The name to write the new bytes to; empty when the folder of `name` is missing.
  const std::string& part() const { return part_; }
  /// Renames the part to `name`, replacing what stood there; a failure ends the program.
  void Commit();

 private:
  std::string name_, part_;
};
constexpr std::string_view kPartSuffix = "~part";
/// Deletes the parts of every FileBeingMade not yet committed: for a stopped run.
void DeletePartsBeingMade();
/// Deletes the parts that a run killed without warning left in `folder` ("" for the work
/// directory).
void DeleteStaleParts(std::string_view folder);

/// False when the file is missing or cannot be deleted.
bool DeleteWorkFile(std::string_view name);
/// Copies one file byte for byte; the target is created or replaced, in one step when the
/// copy is complete (a FileBeingMade), so that a failed or stopped copy leaves the old
/// target as it was. False when the source cannot be read or the target's folder is
/// missing.
bool CopyWorkFile(std::string_view source, std::string_view target);
/// Gives a file a new name (or folder), replacing a file of that name; where the kernel
/// cannot rename it, it is copied and the source deleted. The end state is that of a copy
/// followed by deleting the source, without passing the bytes through this process.
bool MoveWorkFile(std::string_view source, std::string_view target);
/// Makes `target` a second name of the file `source` (a hard link), replacing a file of
/// that name; copies where the file system cannot link. Creating a file under either name
/// afterwards gives that name a new file; appending to it changes both.
bool ShareWorkFile(std::string_view source, std::string_view target);
/// Writes `target` as the byte ranges [begin, end) of `source`, one after the other.
bool CopyWorkFileRanges(std::string_view source, std::string_view target,
                        const std::vector<std::pair<long long, long long>>& ranges);
bool MakeFolder(std::string_view name);
/// Gives the folder `from` the name `to`, where nothing stands yet; 0 or an errno value
/// (EBUSY, EACCES, ... where the system refuses, for example for a file held open in it).
int RenameWorkFolder(std::string_view from, std::string_view to);
/// Moves every entry of the folder `from` that is not a regular file (folders, links, and
/// names that listings leave out) into the folder `to`, by its name as it stands, where
/// `to` has no entry of that name.
void CarryOverKeptEntries(std::string_view from, std::string_view to);
/// Removes an empty folder.
bool RemoveFolder(std::string_view name);

#endif  // COMMON_WORK_FILES_H_
