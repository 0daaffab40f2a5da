#ifndef COMMON_RUN_GUARD_H_
#define COMMON_RUN_GUARD_H_

/// What every program does before its dialogue, so that starting it in the wrong place or
/// with a question on the command line never costs a file: -h/--help and --version are
/// answered, stray arguments refused, the start folder checked, and the folder's run lock
/// taken. Returns only when the run may go on.

#include <string>
#include <string_view>

struct ProgramInfo {
  std::string_view name;        // "pagoran_01_149.exe"
  std::string_view about;       // what -h and --help print after the "Usage:" line
  std::string_view deletes;     // "deletes ...": what a run deletes in its folder
  std::string_view companions;  // the files its folder holds beside it: "wget.exe"
  // Programs of the suite (wildcard patterns, blank-separated) whose files this one's
  // clean-up would delete: a folder holding one of them is refused. May be empty.
  std::string_view kept_apart_from = "";
};

/// Exit statuses: 0 after --help or --version, 2 for a stray argument, a wrong start folder
/// (a foreign one, a build tree, or one shared with a program kept apart from this one) or
/// a run already going on in the folder.
void GuardRun(const ProgramInfo& program, int argc, char** argv);

/// A program's whole main: the console, GuardRun, then `run` with argument zero. An
/// exception that escapes the run (memory running out, most likely) ends the program with
/// status 1 and the reason on standard error, never with an abort.
/// A command that makes the program a work folder of its own and starts it there, written
/// so that it works from wherever the user stands.
std::string WorkFolderAdvice(const ProgramInfo& program);

int RunGuardedProgram(const ProgramInfo& program, int argc, char** argv,
                      void (*run)(const char* argv0));

#endif  // COMMON_RUN_GUARD_H_
