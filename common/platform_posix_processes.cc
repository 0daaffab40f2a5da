// Starting programs on POSIX, never through a shell.

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "common/platform.h"
#include "common/platform_posix.h"
#include "common/text.h"

namespace platform {

const ShellWords kShell = {"./", "cd ", "cp ", false};

namespace {

// The status a started program ends with when it could not be run, as shells report it.
constexpr int kCouldNotRun = 127;

// Starts `argv` without a shell; with `wait`, returns once it has ended.
int Spawn(const std::vector<std::string>& argv, const std::string& folder, bool wait) {
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t child = fork();
  if (child < 0) return errno;
  if (child == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(kCouldNotRun);
    if (!wait) setsid();  // a started program outlives its caller
    posix::RestoreSignalMask();
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(kCouldNotRun);
  }
  if (!wait) return 0;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  if (!WIFEXITED(status)) return EINTR;
  return WEXITSTATUS(status) == kCouldNotRun ? ENOENT : 0;
}

}  // namespace

int ReplaceProcess(const std::string& folder, const std::string& program_path,
                   const std::string& argv0) {
  if (chdir(folder.c_str()) != 0) return errno;
  std::string name = argv0;
  char* const argv[] = {name.data(), nullptr};
  posix::RestoreSignalMask();
  execv(program_path.c_str(), argv);
  return errno;
}

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  // An empty entry is the current folder, as for execvp.
  for (const std::string& dir : SplitFields(dirs, ':')) {
    std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

int RunAndWait(const std::vector<std::string>& argv) { return Spawn(argv, "", true); }

int StartInNewWindow(const std::string& folder, const std::string&, const std::string& run_as) {
  if (std::getenv("TMUX") && !FindOnPath("tmux").empty()) {
    // Two words after the window options make tmux start the program without a shell.
    if (Spawn({"tmux", "new-window", "-c", folder, "env", run_as}, "", true) == 0) return 0;
  }
  if (std::getenv("DISPLAY") && !FindOnPath("x-terminal-emulator").empty()) {
    if (Spawn({"x-terminal-emulator", "-e", run_as}, folder, false) == 0) return 0;
  }
  return ENOSYS;
}

std::vector<std::string> DefaultEditor() {
  for (const char* name : {"sensible-editor", "editor", "nano", "vi"}) {
    if (!FindOnPath(name).empty()) return {name};
  }
  return {};
}

long long ProcessId() { return getpid(); }

}  // namespace platform
