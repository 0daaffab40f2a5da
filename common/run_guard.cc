#include "common/run_guard.h"

#include <algorithm>
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

// Advice is written for the shell of the system the program was built for: cmd on Windows,
// where a program in the current folder runs by its bare name and "cd" needs /d to change
// the drive too.
#ifdef _WIN32
constexpr std::string_view kRunHere = "";
constexpr std::string_view kChangeFolder = "cd /d ";
#else
constexpr std::string_view kRunHere = "./";
constexpr std::string_view kChangeFolder = "cd ";
#endif

std::string RunHere(std::string_view name) { return std::string(kRunHere) + std::string(name); }

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
  if (!home.empty() && !IsBuildTree(home)) {
    message += "Start it in its folder: " + std::string(kChangeFolder) + home + " && " +
               RunHere(name) + "\n";
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
  if (platform::LockFolder(".", &held) != platform::LockResult::kHeldByAnother) return;
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
  if (!std::string_view(SUITE_SOURCE_DIR).empty() && platform::Status(script, true, &info) &&
      info.kind == platform::FileInfo::kFile) {
    return script + " DIR && cd DIR/" + own_folder + " && ./" + name;
  }
  // Without it: the files a work folder holds, copied from where the program lies.
#ifdef _WIN32
  // cmd's copy takes one source file at a time.
  std::string copies = "copy " + name + " DIR";
  for (const std::string& companion : SplitFields(std::string(program.companions), ' ')) {
    if (!companion.empty()) copies += " && copy " + companion + " DIR";
  }
  return "mkdir DIR && " + copies + " && cd /d DIR && " + name;
#else
  return "mkdir DIR && cp " + name + " " + std::string(program.companions) +
         " DIR && cd DIR && ./" + name;
#endif
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
