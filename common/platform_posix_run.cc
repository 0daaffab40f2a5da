// The run on POSIX: its arguments and start folder, the run lock, the clock and the
// environment.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/platform.h"

namespace platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc && argv[i] != nullptr; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

std::string StartedProgramPath(const std::string& argv0) {
  // The path by which the program file was found: argv0 itself when it holds a "/", else
  // the program on PATH, found as execvp found it.
  return argv0.find('/') != std::string::npos ? argv0 : FindOnPath(argv0);
}

std::string CurrentFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

std::string FolderOfPath(const std::string& path) {
  size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return "";
  char resolved[PATH_MAX];
  std::string folder = cut == 0 ? "/" : path.substr(0, cut);
  return realpath(folder.c_str(), resolved) ? std::string(resolved) : folder;
}

int LockFolder(const std::string& path, long long* held) {
  // An exclusive lock on the folder itself: the kernel drops it with the process, so a
  // killed run leaves no stale lock, and it is not passed on to a program this one is
  // replaced by.
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    *held = fd;
    return 0;
  }
  int error = errno;
  close(fd);
  return error == EWOULDBLOCK ? EBUSY : error;
}

void ReleaseFolderLock(long long held) { close(static_cast<int>(held)); }

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::tm CalendarTime(long long seconds, bool utc) {
  std::time_t when = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (utc) {
    gmtime_r(&when, &parts);
  } else {
    localtime_r(&when, &parts);
  }
  return parts;
}

}  // namespace platform
