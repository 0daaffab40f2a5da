#include "common/file_being_made.h"

#include <cerrno>
#include <mutex>
#include <set>

#include "common/file_failures.h"
#include "common/folder_listing.h"
#include "common/platform.h"
#include "common/work_files.h"
#include "common/work_target.h"

namespace {

std::mutex g_parts_mutex;
std::set<std::string>& PartsBeingMade() {
  static std::set<std::string> parts;
  return parts;
}

}  // namespace

FileBeingMade::FileBeingMade(std::string_view name) : name_(name) {
  WorkTarget target;
  if (!ResolveTargetOrStop(&target, name)) return;
  platform::FileInfo st;
  if (target.Stat(&st) && st.kind != platform::FileInfo::kFile) {
    StopOnWriteFailure(name, st.kind == platform::FileInfo::kLink     ? ELOOP
                             : st.kind == platform::FileInfo::kFolder ? EISDIR
                                                                      : kNotAFile);
  }
  part_ = std::string(name) + std::string(kPartSuffix);
  std::lock_guard<std::mutex> lock(g_parts_mutex);
  PartsBeingMade().insert(part_);
}

FileBeingMade::~FileBeingMade() {
  if (part_.empty()) return;
  DeleteWorkFile(part_);
  std::lock_guard<std::mutex> lock(g_parts_mutex);
  PartsBeingMade().erase(part_);
}

void FileBeingMade::Commit() {
  if (part_.empty()) return;
  WorkTarget from, to;
  if (from.Resolve(part_, false) != 0) StopOnWriteFailure(name_, ENOENT);
  if (!ResolveTargetOrStop(&to, name_)) StopOnWriteFailure(name_, ENOENT);
  if (int error = platform::RenameName(from.dir(), from.last(), to.dir(), to.last()); error != 0) {
    StopOnWriteFailure(name_, error);
  }
  from.NoteRemoved();
  to.NoteAdded();
  std::lock_guard<std::mutex> lock(g_parts_mutex);
  PartsBeingMade().erase(part_);
  part_.clear();
}

void DeletePartsBeingMade() {
  std::lock_guard<std::mutex> lock(g_parts_mutex);
  for (const std::string& part : PartsBeingMade()) DeleteWorkFile(part);
  PartsBeingMade().clear();
}

void DeleteStaleParts(std::string_view folder) {
  std::string pattern =
      std::string(folder) + (folder.empty() ? "" : "\\") + "*" + std::string(kPartSuffix);
  for (const std::string& name : MatchingFileNames(pattern)) DeleteWorkFile(name);
}
