#include "indexer/hard_links.h"

#include <string>
#include <vector>

#include "common/cmd_interpreter.h"
#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/line_files.h"
#include "common/work_files.h"
#include "common/work_paths.h"

void CopyAsHardLinks(std::string_view pattern, std::string_view folder, std::string_view redirect) {
  std::vector<std::string> names = CopySources(pattern);
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
