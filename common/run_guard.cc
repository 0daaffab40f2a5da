#include "common/run_guard.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "common/console.h"
#include "common/platform.h"

#ifndef SUITE_VERSION
#define SUITE_VERSION "unknown"
#endif

namespace {

void Say(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// A folder that CMake builds in holds its cache; the programs' clean-up would delete it,
// so such a folder is never a work folder, nor advised as one.
bool IsBuildTree(const std::string& folder) {
  platform::FileInfo info;
  return platform::Status(folder + "/CMakeCache.txt", false, &info);
}

[[noreturn]] void RefuseStartFolder(const ProgramInfo& program, const std::string& argv0,
                                    const std::string& started) {
  std::string name(program.name);
  std::string message = name + ": not started in its own folder; nothing was changed.\n";
  message +=
      "It works only in a folder that holds the program file (a copy or a link of it), "
      "because there it " +
      std::string(program.deletes) + ".\n";
  message += "It was started as " + argv0 + " in " + platform::CurrentFolder() + ".\n";
  std::string home = platform::FolderOfPath(started);
  if (!home.empty() && !IsBuildTree(home))
    message += "Start it in its folder: cd " + home + " && ./" + name + "\n";
  message += "or give it a work folder of its own: scripts/new_workdir.sh DIR && cd DIR && ./" +
             name + "\n";
  Say(message);
  std::exit(2);
}

[[noreturn]] void RefuseBuildTree(const ProgramInfo& program) {
  std::string name(program.name);
  Say(name + ": " + platform::CurrentFolder() +
      " is a build tree (it holds CMakeCache.txt), not a work folder; nothing was changed.\n" +
      "It works only in a folder of its own, because there it " + std::string(program.deletes) +
      ".\nGive it one: scripts/new_workdir.sh DIR && cd DIR && ./" + name + "\n");
  std::exit(2);
}

// One run per folder, held until the process ends.
void LockFolder(const ProgramInfo& program) {
  // Only a lock that another run holds refuses the run; a folder that cannot be locked at
  // all (an unreadable one fails the tool check instead) runs unguarded, as before.
  if (platform::LockCurrentFolder() != platform::LockResult::kHeldByAnother) return;
  Say(std::string(program.name) + ": another run is going on in " + platform::CurrentFolder() +
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
  std::string started = platform::StartedProgramPath(argv0);
  if (!platform::StartedInCurrentFolder(started)) RefuseStartFolder(program, argv0, started);
  if (IsBuildTree(".")) RefuseBuildTree(program);
  LockFolder(program);
}
