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
/// True when the folder `name` holds no entry at all, also none that listings leave out.
bool FolderIsEmpty(std::string_view name);
/// The error of a name whose folder does not exist (or is a file): for a command, the
/// failure of the command, not the end of the program.
bool IsMissingFolder(int error);

/// False when the file is missing or cannot be deleted.
bool DeleteWorkFile(std::string_view name);
/// Copies one file byte for byte; the target is created or replaced. False when the
/// source cannot be read or the target's folder is missing.
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
/// Removes an empty folder.
bool RemoveFolder(std::string_view name);

#endif  // COMMON_WORK_FILES_H_
