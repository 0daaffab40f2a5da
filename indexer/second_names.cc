#include "indexer/second_names.h"

#include <string>
#include <vector>

#include "common/line_files.h"
#include "common/shell.h"
#include "common/work_files.h"
#include "common/work_paths.h"

namespace {

// The files a copy source names ("i_*.htm", "index.htm"): with wildcards the matching
// files in listing order, without them the name itself when it is a file.
std::vector<std::string> MatchingWorkFiles(std::string_view pattern) {
  if (!HasWildcard(pattern)) {
    if (FileExists(pattern)) return {std::string(pattern)};
    return {};
  }
  std::vector<std::string> names;
  std::string folder;
  for (const FolderEntry& e : ListMatches(pattern, false, &folder)) {
    if (!e.is_folder) names.push_back(folder.empty() ? e.name : folder + "\\" + e.name);
  }
  return names;
}

}  // namespace

void CopyAsSecondNames(std::string_view pattern, std::string_view folder,
                       std::string_view redirect) {
  std::vector<std::string> names = MatchingWorkFiles(pattern);
  if (names.empty() || !FolderExists(folder)) {
    RunCommand("copy " + std::string(pattern) + " " + std::string(folder) + "\\ > " +
               std::string(redirect));
    return;
  }
  LineWriter placeholder(redirect);  // the redirection target, empty as after a copy
  for (const std::string& name : names) {
    std::string from_folder, base;
    SplitFolderAndName(name, &from_folder, &base);
    ShareWorkFile(name, std::string(folder) + "\\" + base);
  }
}
