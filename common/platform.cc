#include "common/platform.h"

#include <cerrno>
#include <string_view>

namespace platform {

namespace {

// True when a component of the "/"-separated `path` is "..".
bool Climbs(std::string_view path) {
  while (!path.empty()) {
    size_t cut = path.find('/');
    if (path.substr(0, cut) == "..") return true;
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return false;
}

}  // namespace

int Folder::Open(const std::string& folder_path) {
  path_ = folder_path;
  if (folder_path == ".") return 0;
  // Names are resolved without climbs before they get here; one that still climbs would
  // leave the work directory.
  if (Climbs(folder_path)) return EXDEV;
  return Hold();
}

std::string AbsolutePath(const std::string& path) {
  std::string folder = CurrentFolder();
  if (folder == ".") return path;  // the system cannot tell
  for (char& c : folder) {
    if (c == kFolderSeparator) c = '/';
  }
  // "C:\" ends in its separator, "/" is all separator.
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return path == "." ? folder : folder + "/" + path;
}

bool StartedInCurrentFolder(const std::string& started) {
  // A copy or a link of the program counts; folders are compared by identity, so
  // "../idx/./" and links to the folder itself agree.
  size_t cut = started.find_last_of(std::string("/") + kFolderSeparator);
  FileInfo file, folder, here;
  if (cut == std::string::npos || Status(started, true, &file) != 0 ||
      file.kind == FileInfo::kFolder) {
    return false;
  }
  // With its separator, so that "/" and "C:\" stay the root.
  return Status(started.substr(0, cut + 1), true, &folder) == 0 &&
         folder.kind == FileInfo::kFolder && Status(".", true, &here) == 0 &&
         folder.device == here.device && folder.index == here.index;
}

}  // namespace platform
