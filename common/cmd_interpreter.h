#ifndef COMMON_CMD_INTERPRETER_H_
#define COMMON_CMD_INTERPRETER_H_

/// The stand-in for the command interpreter. The programs build the command lines of the
/// Windows interpreter ("dir /b *.htm* > dir_01.txt", "copy a.htm htm_out\ > out.list",
/// ...) and hand each to RunCommand, which carries it out in-process in the work directory.
/// No command line ever reaches a real shell: names are data, never code.
///
/// Understood: an optional "cmd /c" prefix; dir (/b, /o, full listing); sort {in} /o {out};
/// find (/i, /v, /c); findstr (/i); copy (one file, wildcards, folder target); del (/q);
/// for %i in (pattern) do del /q %i; md; rd; start /D folder program; notepad.exe file; the
/// pipe "a | find ..."; redirections ">" and ">>" (with two, every target is created and
/// the output goes to the last). Double quotes group a name with blanks.
///
/// Success prints nothing where output is not redirected; a failing command prints one
/// line on standard error and the program goes on. Exit status is never reported.

#include <string>
#include <string_view>
#include <vector>

void RunCommand(std::string_view command_line);

/// For tests: command lines are appended to `recorded` instead of being carried out; null
/// carries them out again.
void RecordCommandsForTesting(std::vector<std::string>* recorded);

#endif  // COMMON_CMD_INTERPRETER_H_
