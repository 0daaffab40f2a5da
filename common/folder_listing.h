#ifndef COMMON_FOLDER_LISTING_H_
#define COMMON_FOLDER_LISTING_H_

/// Listing work-directory folders: all names, or those a wildcard pattern names.

#include <string>
#include <string_view>
#include <vector>

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

#endif  // COMMON_FOLDER_LISTING_H_
