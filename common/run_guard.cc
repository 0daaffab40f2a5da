#include "common/run_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "common/console.h"
#include "common/program_start.h"

#ifndef SUITE_VERSION
#define SUITE_VERSION "unknown"
#endif

namespace {

void Say(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// The path by which the program file was found: argv0 itself when it holds a "/", else
// the program on PATH, found as execvp found it. Empty when nothing fits.
std::string StartedPath(const std::string& argv0) {
  return argv0.find('/') != std::string::npos ? argv0 : FindOnPath(argv0);
}

// True when the file `started` (a copy or a link of the program counts) stands directly in
// the current folder. Folders are compared by identity, so "../idx/./" and links to the
// folder itself agree.
bool StartedInItsFolder(const std::string& started) {
  struct stat file_st, folder_st, here_st;
  if (started.empty() || lstat(started.c_str(), &file_st) != 0) return false;
  std::string folder = started.substr(0, started.find_last_of('/'));
  if (folder.empty()) folder = "/";
  return stat(folder.c_str(), &folder_st) == 0 && stat(".", &here_st) == 0 &&
         folder_st.st_dev == here_st.st_dev && folder_st.st_ino == here_st.st_ino;
}

std::string CurrentFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

// A folder that CMake builds in holds its cache; the programs' clean-up would delete it,
// so such a folder is never a work folder, nor advised as one.
bool IsBuildTree(const std::string& folder) {
  struct stat st;
  return lstat((folder + "/CMakeCache.txt").c_str(), &st) == 0;
}

std::string FolderOf(const std::string& path) {
  size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return "";
  char resolved[4096];
  std::string folder = cut == 0 ? "/" : path.substr(0, cut);
  return realpath(folder.c_str(), resolved) ? std::string(resolved) : folder;
}

[[noreturn]] void RefuseStartFolder(const ProgramInfo& program, const std::string& argv0,
                                    const std::string& started) {
  std::string name(program.name);
  std::string message = name + ": not started in its own folder; nothing was changed.\n";
  message +=
      "It works only in a folder that holds the program file (a copy or a link of it), "
      "because there it " +
      std::string(program.deletes) + ".\n";
  message += "It was started as " + argv0 + " in " + CurrentFolder() + ".\n";
  std::string home = FolderOf(started);
  if (!home.empty() && !IsBuildTree(home))
    message += "Start it in its folder: cd " + home + " && ./" + name + "\n";
  message += "or give it a work folder of its own: scripts/new_workdir.sh DIR && cd DIR && ./" +
             name + "\n";
  Say(message);
  std::exit(2);
}

[[noreturn]] void RefuseBuildTree(const ProgramInfo& program) {
  std::string name(program.name);
  Say(name + ": " + CurrentFolder() +
      " is a build tree (it holds CMakeCache.txt), not a work folder; nothing was changed.\n" +
      "It works only in a folder of its own, because there it " + std::string(program.deletes) +
      ".\nGive it one: scripts/new_workdir.sh DIR && cd DIR && ./" + name + "\n");
  std::exit(2);
}

// One run per folder: an exclusive lock on the folder itself, held until the process ends.
// The kernel drops it with the process, so a killed run leaves no stale lock; it is not
// passed on to a program this one is replaced by.
void LockFolder(const ProgramInfo& program) {
  int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // an unreadable folder fails the tool check instead
  // Only a lock that another run holds refuses the run; a folder whose file system cannot
  // lock at all runs unguarded, as before.
  if (flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
  Say(std::string(program.name) + ": another run is going on in " + CurrentFolder() +
      "; nothing was changed. Wait until it ends, or use a folder of its own.\n");
  std::exit(2);
}

}  // namespace

int RunGuardedProgram(const ProgramInfo& program, int argc, char** argv,
                      void (*run)(const char* argv0)) {
  InitConsole();
  GuardRun(program, argc, argv);
  try {
    run(argv[0]);
  } catch (const std::exception& error) {
    EndProgramOnFailure(std::string(program.name) + " stopped: " + error.what());
  }
  EndProgram();
}

void GuardRun(const ProgramInfo& program, int argc, char** argv) {
  std::string name(program.name);
  if (argc > 1) {
    std::string argument = argv[1];
    if (argc == 2 && (argument == "-h" || argument == "--help")) {
      std::string text = "Usage: ./" + name + " [-h | --help | --version]\n\n";
      text += program.about;
      Print(text);
      EndProgram();
    }
    if (argc == 2 && argument == "--version") {
      PrintLine(name + " " + SUITE_VERSION);
      EndProgram();
    }
    Say(name + ": unexpected argument '" + argument + "'; usage: ./" + name +
        " [-h | --help | --version]\n");
    std::exit(2);
  }
  std::string argv0 = argc > 0 && argv[0] ? argv[0] : "";
  std::string started = StartedPath(argv0);
  if (!StartedInItsFolder(started)) RefuseStartFolder(program, argv0, started);
  if (IsBuildTree(".")) RefuseBuildTree(program);
  LockFolder(program);
}
