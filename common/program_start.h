#ifndef COMMON_PROGRAM_START_H_
#define COMMON_PROGRAM_START_H_

/// Starting other programs, never through a shell: the interpreter's "start" and
/// "notepad" commands, and the search of PATH they use.

#include <string>

#include "common/shell_command.h"

/// The first executable named `program` on PATH, searched as execvp searches (an empty
/// entry is the current folder); empty when there is none.
std::string FindOnPath(const std::string& program);

/// start /D folder program: inside tmux a new window, with a graphical display a new
/// terminal, otherwise the program takes over this console when the caller ends.
void RunStart(const Command& cmd);

/// notepad.exe file: the editor named by VISUAL or EDITOR, else the first of
/// sensible-editor, editor, nano and vi on PATH; returns when the editor has ended.
void RunEditor(const Command& cmd);

#endif  // COMMON_PROGRAM_START_H_
