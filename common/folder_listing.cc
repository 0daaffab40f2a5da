#include "common/folder_listing.h"

#include <algorithm>

#include "common/file_names.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/wildcards.h"
#include "common/work_paths.h"

namespace {

// Every name in the folder, the holdable ones and (with `unholdable`) the others apart.
std::vector<FolderEntry> ReadFolder(std::string_view folder, bool details,
                                    std::vector<std::string>* unholdable) {
  std::vector<FolderEntry> entries;
  std::string path = ".";
  if (!TrimSpaces(folder).empty() && !ResolveWorkPath(folder, false, &path)) return entries;
  platform::ListFolderNames(
      path, details ? 2 : 1, [&](std::string name, const platform::FileInfo& info) {
        if (!IsHoldableName(name)) {
          if (unholdable) unholdable->push_back(std::move(name));
          return;
        }
        entries.push_back(
            {std::move(name), info.kind == platform::FileInfo::kFolder, info.size, info.mtime});
      });
  return entries;
}

}  // namespace

std::vector<FolderEntry> ListFolder(std::string_view folder, bool details) {
  return ReadFolder(folder, details, nullptr);
}

namespace {

bool ListingLess(const FolderEntry& a, const FolderEntry& b) {
  std::string la = LowerAscii(a.name), lb = LowerAscii(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

}  // namespace

std::vector<FolderEntry> ListMatches(std::string_view pattern, bool details, std::string* folder) {
  std::string base;
  SplitFolderAndName(pattern, folder, &base);
  if (!HasWildcard(base)) {
    std::string whole(pattern);
    if (base.empty() || FolderExists(whole)) {
      *folder = whole;
      base = "*";
    }
  }
  std::vector<FolderEntry> found;
  if (!folder->empty() && !FolderExists(*folder)) return found;
  for (FolderEntry& entry : ListFolder(*folder, details)) {
    if (NameMatches(entry.name, base)) found.push_back(std::move(entry));
  }
  std::sort(found.begin(), found.end(), ListingLess);
  return found;
}

std::vector<std::string> UnlistedMatches(std::string_view pattern) {
  std::string folder, base;
  SplitFolderAndName(pattern, &folder, &base);
  std::vector<std::string> unholdable, found;
  if (!folder.empty() && !FolderExists(folder)) return found;
  ReadFolder(folder, false, &unholdable);
  for (std::string& name : unholdable) {
    if (NameMatches(name, base)) found.push_back(std::move(name));
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> MatchingFileNames(std::string_view pattern) {
  std::vector<std::string> names;
  std::string folder;
  for (const FolderEntry& e : ListMatches(pattern, false, &folder)) {
    if (!e.is_folder) names.push_back(folder.empty() ? e.name : folder + "\\" + e.name);
  }
  return names;
}

std::vector<std::string> CopySources(std::string_view pattern) {
  if (HasWildcard(pattern)) return MatchingFileNames(pattern);
  if (FileExists(pattern)) return {std::string(pattern)};
  return {};
}
