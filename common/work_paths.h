#ifndef COMMON_WORK_PATHS_H_
#define COMMON_WORK_PATHS_H_

/// Names of the work directory (the current directory when the program starts), as the
/// programs write them: "\\" or "/" separates folders, names match without regard to ASCII
/// letter case (opening "report.htm" finds "Report.HTM"), new files get the name as
/// written. A name that is absolute or climbs out of the work directory names nothing; one
/// that passes through a symbolic link is refused wherever something would be created,
/// written, deleted or renamed (work_files.h, line_files.h).

#include <string>
#include <string_view>

/// Maps a work-directory name to a path usable with the C library. With `for_create`, the
/// last component may be new (its case as written); otherwise it must exist. Returns false
/// when the name leaves the work directory, or (without `for_create`) when nothing matches.
bool ResolveWorkPath(std::string_view name, bool for_create, std::string* path);
/// As ResolveWorkPath with `for_create`, for a path that another program will write in or
/// work in (an editor, a program started in a folder): false also when the path passes
/// through a link, its last component included.
bool ResolveConfinedPath(std::string_view name, std::string* path);

/// For tests: checks links by hand, as where the kernel has no openat2 (false: openat2
/// again where there is one).
void CheckLinksByHandForTesting(bool by_hand);

bool FileExists(std::string_view name);    // a regular file
bool FolderExists(std::string_view name);  // a directory

#endif  // COMMON_WORK_PATHS_H_
