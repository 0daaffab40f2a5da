#ifndef COMMON_RUN_GUARD_H_
#define COMMON_RUN_GUARD_H_

/// What every program does before its dialogue, so that starting it in the wrong place or
/// with a question on the command line never costs a file: -h/--help and --version are
/// answered, stray arguments refused, the start folder checked, and the folder's run lock
/// taken. Returns only when the run may go on.

#include <string_view>

struct ProgramInfo {
  std::string_view name;     // "pagoran_01_149.exe"
  std::string_view about;    // what -h and --help print after the "Usage:" line
  std::string_view deletes;  // "deletes ...": what a run deletes in its folder
};

/// Exit statuses: 0 after --help or --version, 2 for a stray argument, a wrong start folder
/// or a run already going on in the folder.
void GuardRun(const ProgramInfo& program, int argc, char** argv);

/// A program's whole main: the console, GuardRun, then `run` with argument zero. An
/// exception that escapes the run (memory running out, most likely) ends the program with
/// status 1 and the reason on standard error, never with an abort.
int RunGuardedProgram(const ProgramInfo& program, int argc, char** argv,
                      void (*run)(const char* argv0));

#endif  // COMMON_RUN_GUARD_H_
