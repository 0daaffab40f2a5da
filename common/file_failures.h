#ifndef COMMON_FILE_FAILURES_H_
#define COMMON_FILE_FAILURES_H_

/// A file the run cannot do without (an input it cannot read, an output it cannot write, a
/// folder that is not one) ends the program with one line that names it and says why.

#include <string>
#include <string_view>

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

#endif  // COMMON_FILE_FAILURES_H_
