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
#include <vector>

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

/// Whether a Windows folder could hold `name`: not when it holds a backslash or a byte below
/// 32. A name it could not hold is data, never a path and never several lines: listings and
/// case-blind lookups leave it out, so no command acts on it, or on another file because
/// of it.
bool IsHoldableName(std::string_view name);
/// Whether Windows reserves `name`: a device name (con, prn, aux, nul, com1 to com9, lpt1 to
/// lpt9, in any case, alone or with an extension), one of the characters * ? " < > | : or a
/// name that ends in a dot or a blank. On Windows such a name opens a device or another file.
bool IsWindowsReservedName(std::string_view name);
/// `name` with every backslash and byte below 32 written as a C escape ("a\nb.htm"), for a
/// message that names it on one line.
std::string EscapedName(std::string_view name);

/// Names in a work-directory folder ("" for the work directory itself), files and folders,
/// never "." or "..", nor names that IsHoldableName refuses. Unordered.
struct FolderEntry {
  std::string name;
  bool is_folder = false;
  long long size = 0;
  long long mtime = 0;  // seconds since the epoch
};
/// With `details`, size and time are filled in too. A missing folder lists nothing.
std::vector<FolderEntry> ListFolder(std::string_view folder, bool details = false);

/// Windows wildcards, matched without regard to case: "*" and "?", where "*.*" is every
/// name, a trailing "." asks for names without a dot, and "x.*" also matches "x".
bool HasWildcard(std::string_view name);
bool NameMatches(std::string_view name, std::string_view pattern);

/// The entries a pattern names, in listing order (case-blind, ties by bytes):
/// "htm_in\*.htm*" lists the matches in htm_in, a plain folder name lists its contents, an
/// empty pattern lists the work directory. `folder` receives the folder listed.
std::vector<FolderEntry> ListMatches(std::string_view pattern, bool details, std::string* folder);

/// The names in the folder of `pattern` that match it but that listings leave out, as
/// IsHoldableName refuses them; in byte order.
std::vector<std::string> UnlistedMatches(std::string_view pattern);

/// The files (not folders) among ListMatches, as work-directory names ("htm_in\a.htm").
std::vector<std::string> MatchingFileNames(std::string_view pattern);

/// The files a copy source names ("i_*.htm", "index.htm"): with wildcards the matching
/// files in listing order, without them the name itself when it is a file.
std::vector<std::string> CopySources(std::string_view pattern);

/// Splits a work-directory name at its last separator: "htm_in\a.htm" gives "htm_in" and
/// "a.htm".
void SplitFolderAndName(std::string_view name, std::string* folder, std::string* base);

#endif  // COMMON_WORK_PATHS_H_
