#include "common/file_failures.h"

#include <cerrno>
#include <cstring>

#include "common/console.h"
#include "common/file_names.h"
#include "common/platform.h"
#include "common/work_paths.h"
#include "common/work_target.h"

namespace {

std::string FailureReason(int error, bool writing) {
  // Writing never follows a link; reading does, and then ELOOP means a link that loops.
  if (error == ELOOP && writing) return "leaves the work directory through a link";
  if (error == EXDEV) return "lies outside the work directory";
  if (error == kNotAFile) return "is not a regular file";
  return std::strerror(error);
}

}  // namespace

std::string ShownName(std::string_view name) {
  std::string shown(name);
  for (char& c : shown) {
    if (c == '\\' || c == '/') c = platform::kFolderSeparator;
  }
  return shown;
}

void StopOnReadFailure(std::string_view name, int error) {
  EndProgramOnFailure("Cannot read " + ShownName(name) + ": " + FailureReason(error, false));
}

int InputReadError(std::string_view name) {
  std::string path;
  if (!ResolveWorkPath(name, false, &path)) {
    // A dangling or looping link is listed but resolves to nothing: ask the system why.
    std::string folder, base;
    SplitFolderAndName(name, &folder, &base);
    std::string folder_path = ".";
    if (!folder.empty() && !ResolveWorkPath(folder, false, &folder_path)) return ENOENT;
    path = folder_path + "/" + base;
  }
  int fd = platform::OpenForReading(path);
  if (fd < 0) return -fd;
  platform::FileInfo info;
  int error = 0;
  if (!platform::DescriptorStatus(fd, &info)) {
    error = EIO;
  } else if (info.kind == platform::FileInfo::kFolder) {
    error = EISDIR;
  } else if (info.kind != platform::FileInfo::kFile) {
    error = kNotAFile;
  }
  platform::Close(fd);
  return error;
}

void StopOnWriteFailure(std::string_view name, int error) {
  EndProgramOnFailure("Cannot write " + ShownName(name) + ": " + FailureReason(error, true));
}

void RequireFolder(std::string_view name, std::string_view verb) {
  if (FolderExists(name)) return;
  std::string path;
  int error = ResolveWorkPath(name, false, &path) ? ENOTDIR : ENOENT;
  EndProgramOnFailure("Cannot " + std::string(verb) + " " + ShownName(name) + ": " +
                      std::strerror(error));
}

void RequireFolderWhereNamed(std::string_view name, std::string_view verb) {
  std::string path;
  if (ResolveWorkPath(name, false, &path)) RequireFolder(name, verb);
}

void RequireWritableFolderWhereNamed(std::string_view name) {
  std::string path;
  if (!ResolveWorkPath(name, false, &path)) return;
  // The run puts a new folder in its place: a link there would be replaced, or lead the
  // output out of the work directory.
  platform::FileInfo st;
  if (platform::Status(path, false, &st) && st.kind == platform::FileInfo::kLink) {
    StopOnWriteFailure(name, ELOOP);
  }
  RequireFolder(name, "write");
  if (int error = platform::WritableFolderError(path); error != 0) {
    EndProgramOnFailure("Cannot write " + ShownName(name) + ": " + std::strerror(error));
  }
}

bool IsMissingFolder(int error) { return error == ENOENT || error == ENOTDIR; }
