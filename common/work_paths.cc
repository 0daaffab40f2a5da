#include "common/work_paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

#include "common/console.h"
#include "common/file_names.h"
#include "common/interrupt.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/work_target.h"

namespace {

// Case-blind lookups list a folder; the listing is kept per folder and trusted while the
// folder's modification time is unchanged. The program's own creations and deletions update
// the kept listing, so writing thousands of new files does not list the folder each time.
// The indexer's threads share the kept listings: every use of them holds CacheLock().
struct FolderCache {
  long long mtime_ns = 0;  // 0 until listed
  std::unordered_map<std::string, std::string> by_lower_name;
};
std::map<std::string, FolderCache>& Caches() {
  static std::map<std::string, FolderCache> caches;
  return caches;
}
std::mutex& CacheLock() {
  static std::mutex lock;
  return lock;
}

FolderCache* CacheFor(const std::string& folder_path) {
  platform::FileInfo st;
  if (!platform::Status(folder_path, true, &st) || st.kind != platform::FileInfo::kFolder)
    return nullptr;
  FolderCache& cache = Caches()[folder_path];
  if (cache.mtime_ns == st.mtime_ns && cache.mtime_ns != 0) return &cache;
  cache.by_lower_name.clear();
  cache.mtime_ns = st.mtime_ns;
  platform::ListFolderNames(folder_path, 0, [&](std::string name, const platform::FileInfo&) {
    if (!IsHoldableName(name)) return;
    // Where two names differ only in case, the first in byte order answers.
    auto [it, inserted] = cache.by_lower_name.emplace(LowerAscii(name), name);
    if (!inserted && name < it->second) it->second = name;
  });
  return &cache;
}

// Keeps the folder's listing current after the program itself added or removed `name`.
void NoteChange(const std::string& folder_path, const std::string& name, bool added) {
  std::lock_guard<std::mutex> lock(CacheLock());
  auto it = Caches().find(folder_path);
  if (it == Caches().end()) return;
  platform::FileInfo st;
  if (!platform::Status(folder_path, true, &st)) {
    Caches().erase(it);
    return;
  }
  std::string lower = LowerAscii(name);
  if (added) {
    it->second.by_lower_name.emplace(lower, name);
  } else {
    auto found = it->second.by_lower_name.find(lower);
    if (found != it->second.by_lower_name.end() && found->second == name)
      it->second.by_lower_name.erase(found);
  }
  it->second.mtime_ns = st.mtime_ns;
}

// The actual name in `folder_path` for `name`: itself when it exists, else a case-blind
// match, else empty.
std::string FindInFolder(const std::string& folder_path, const std::string& name) {
  std::string exact = folder_path + "/" + name;
  platform::FileInfo st;
  if (platform::Status(exact, false, &st)) return name;
  std::lock_guard<std::mutex> lock(CacheLock());
  FolderCache* cache = CacheFor(folder_path);
  if (!cache) return "";
  auto it = cache->by_lower_name.find(LowerAscii(name));
  if (it == cache->by_lower_name.end()) return "";
  // The kept listing may be stale for names removed behind our back.
  if (!platform::Status(folder_path + "/" + it->second, false, &st)) {
    cache->mtime_ns = 0;
    return "";
  }
  return it->second;
}

// Splits a name into components, refusing absolute names and climbs out of the work
// directory.
bool SplitComponents(std::string_view name, std::vector<std::string>* parts) {
  if (name.find('\0') != std::string_view::npos) return false;
  std::string text(name);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  if (!text.empty() && text[0] == '/') return false;
  if (text.size() >= 2 && text[1] == ':') return false;  // a drive letter
  for (std::string& part : SplitFields(text, '/')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts->empty()) return false;
      parts->pop_back();
      continue;
    }
    parts->push_back(std::move(part));
  }
  return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder == "." ? name : folder + "/" + name;
}

bool ResolveParts(const std::vector<std::string>& parts, bool for_create, std::string* path,
                  std::string* folder_path, std::string* last) {
  std::string current = ".";
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string found = FindInFolder(current, parts[i]);
    bool is_last = i + 1 == parts.size();
    if (found.empty()) {
      if (!(is_last && for_create)) return false;
      found = parts[i];
    }
    if (is_last) {
      if (folder_path) *folder_path = current;
      if (last) *last = found;
    }
    current = JoinPath(current, found);
  }
  *path = current;
  return true;
}

}  // namespace

bool ResolveWorkPath(std::string_view name, bool for_create, std::string* path) {
  std::vector<std::string> parts;
  if (!SplitComponents(name, &parts)) return false;
  return ResolveParts(parts, for_create, path, nullptr, nullptr);
}

int WorkTarget::Resolve(std::string_view name, bool for_create) {
  WaitIfStopping();  // nothing new appears while a stopped run deletes its work files
  std::vector<std::string> parts;
  if (!SplitComponents(name, &parts)) return EXDEV;
  if (parts.empty()) return EINVAL;
  if (!ResolveParts(parts, for_create, &path_, &folder_path_, &last_)) return ENOENT;
  return folder_.Open(folder_path_);
}

void WorkTarget::NoteAdded() const { NoteChange(folder_path_, last_, true); }
void WorkTarget::NoteRemoved() const { NoteChange(folder_path_, last_, false); }
void WorkTarget::NoteFolderRemoved() const {
  NoteRemoved();
  ForgetListing();
}
void WorkTarget::ForgetListing() const {
  std::lock_guard<std::mutex> lock(CacheLock());
  Caches().erase(path_);
}

namespace {

bool IsKind(std::string_view name, bool folder) {
  std::string path;
  if (!ResolveWorkPath(name, false, &path)) return false;
  platform::FileInfo st;
  if (!platform::Status(path, true, &st)) return false;
  return st.kind == (folder ? platform::FileInfo::kFolder : platform::FileInfo::kFile);
}

}  // namespace

bool ResolveConfinedPath(std::string_view name, std::string* path) {
  WorkTarget target;
  platform::FileInfo st;
  if (target.Resolve(name, true) != 0 || (target.Stat(&st) && st.kind == platform::FileInfo::kLink))
    return false;
  *path = target.path();
  return true;
}

bool FileExists(std::string_view name) { return IsKind(name, false); }
bool FolderExists(std::string_view name) { return IsKind(name, true); }
