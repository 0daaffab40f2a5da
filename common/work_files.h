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
