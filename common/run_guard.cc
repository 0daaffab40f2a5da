#include "common/run_guard.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/file_names.h"
#include "common/interrupt.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/wildcards.h"
#include "common/work_paths.h"

#ifndef SUITE_VERSION
#define SUITE_VERSION "unknown"
#endif
#ifndef SUITE_SOURCE_DIR
#define SUITE_SOURCE_DIR ""
#endif

namespace {

// Advice is written in the words of the shell of the system the program was built for.
std::string RunHere(std::string_view name) {
  return std::string(platform::kShell.run_here) + std::string(name);
}

// A folder that CMake builds in holds its cache; the programs' clean-up would delete it,
// so such a folder is never a work folder, nor advised as one.
bool IsBuildTree(const std::string& folder) {
  platform::FileInfo info;
  return platform::Status(folder + "/CMakeCache.txt", false, &info) == 0;
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
  if (!home.empty() && !IsBuildTree(home)) {
    message += "Start it in its folder: " + std::string(platform::kShell.change_folder) + home +
               " && " + RunHere(name) + "\n";
    message += "or give it a work folder of its own: " + WorkFolderAdvice(program) + "\n";
  } else {
    message += "Give it a work folder of its own: " + WorkFolderAdvice(program) + "\n";
  }
  WriteStandardError(message);
  std::exit(2);
}

[[noreturn]] void RefuseBuildTree(const ProgramInfo& program) {
  std::string name(program.name);
  WriteStandardError(
      name + ": " + platform::CurrentFolder() +
      " is a build tree (it holds CMakeCache.txt), not a work folder; nothing was changed.\n" +
      "It works only in a folder of its own, because there it " + std::string(program.deletes) +
      ".\nGive it one: " + WorkFolderAdvice(program) + "\n");
  std::exit(2);
}

// The first program of the suite in the current folder (in name order) that `program` must
// not share a folder with, because its clean-up would delete that program's lists and
// outputs; empty when there is none.
std::string ProgramKeptApart(const ProgramInfo& program) {
  if (program.kept_apart_from.empty()) return "";
  std::vector<std::string> patterns = SplitFields(program.kept_apart_from, ' ');
  std::vector<std::string> found;
  platform::ListFolderNames(".", 0, [&](std::string name, const platform::FileInfo&) {
    if (!IsHoldableName(name)) return;
    for (const std::string& pattern : patterns) {
      if (NameMatches(name, pattern)) found.push_back(name);
    }
  });
  if (found.empty()) return "";
  return *std::min_element(found.begin(), found.end());
}

[[noreturn]] void RefuseSharedFolder(const ProgramInfo& program, const std::string& other) {
  std::string name(program.name);
  WriteStandardError(name + ": " + platform::CurrentFolder() + " also holds " + other +
                     ", whose files would be deleted here; nothing was changed.\n" +
                     "It works only in a folder of its own, because there it " +
                     std::string(program.deletes) + ".\nGive it one: " + WorkFolderAdvice(program) +
                     "\n");
  std::exit(2);
}

// One run per folder, held until the process ends.
void LockFolder(const ProgramInfo& program) {
  // Only a lock that another run holds refuses the run; a folder that cannot be locked at
  // all (an unreadable one fails the tool check instead) runs unguarded, as before.
  long long held = 0;
  if (platform::LockFolder(".", &held) != EBUSY) return;
  WriteStandardError(std::string(program.name) + ": another run is going on in " +
                     platform::CurrentFolder() +
                     "; nothing was changed. Wait until it ends, or use a folder of its own.\n");
  std::exit(2);
}

}  // namespace

std::string WorkFolderAdvice(const ProgramInfo& program) {
  std::string name(program.name);
  std::string own_folder = name.substr(0, name.find('_'));  // "pagoran"
  // The script of the source tree the program was built from, by its full path, while
  // that tree is there.
  std::string script = std::string(SUITE_SOURCE_DIR) + "/scripts/new_workdir.sh";
  platform::FileInfo info;
  if (!std::string_view(SUITE_SOURCE_DIR).empty() && platform::Status(script, true, &info) == 0 &&
      info.kind == platform::FileInfo::kFile) {
    return script + " DIR && cd DIR/" + own_folder + " && ./" + name;
  }
  // Without it: the files a work folder holds, copied from where the program lies.
  const platform::ShellWords& shell = platform::kShell;
  std::string copy(shell.copy);
  std::string copies;
  if (shell.copies_one_file) {
    copies = copy + name + " DIR";
    for (const std::string& companion : SplitFields(std::string(program.companions), ' ')) {
      if (!companion.empty()) copies += " && " + copy + companion + " DIR";
    }
  } else {
    copies = copy + name + " " + std::string(program.companions) + " DIR";
  }
  return "mkdir DIR && " + copies + " && " + std::string(shell.change_folder) + "DIR && " +
         RunHere(name);
}

int RunGuardedProgram(const ProgramInfo& program, int argc, char** argv,
                      void (*run)(const char* argv0)) {
  InitConsole();
  std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
  std::vector<char*> utf8_argv;
  for (std::string& argument : arguments) utf8_argv.push_back(argument.data());
  utf8_argv.push_back(nullptr);
  GuardRun(program, static_cast<int>(arguments.size()), utf8_argv.data());
  WatchForInterrupts();
  try {
    run(arguments.empty() ? "" : utf8_argv[0]);
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
      std::string text = "Usage: " + RunHere(name) + " [-h | --help | --version]\n\n";
      text += program.about;
      Print(text);
      EndProgram();
    }
    if (argc == 2 && argument == "--version") {
      PrintLine(name + " " + SUITE_VERSION);
      EndProgram();
    }
    WriteStandardError(name + ": unexpected argument '" + argument + "'; usage: " + RunHere(name) +
                       " [-h | --help | --version]\n");
    std::exit(2);
  }
  std::string argv0 = argc > 0 && argv[0] ? argv[0] : "";
  std::string started = platform::StartedProgramPath(argv0);
  if (!platform::StartedInCurrentFolder(started)) RefuseStartFolder(program, argv0, started);
  if (IsBuildTree(".")) RefuseBuildTree(program);
  std::string other = ProgramKeptApart(program);
  if (!other.empty()) RefuseSharedFolder(program, other);
  LockFolder(program);
}
