#ifndef COMMON_PROGRAM_START_H_
#define COMMON_PROGRAM_START_H_

/// Starting other programs, never through a shell: the interpreter's "start" and
/// "notepad" commands.

#include "common/shell_command.h"

/// start /D folder program: a window of its own where the system can open one (on Linux
/// a tmux window or a terminal, on Windows a console), otherwise the program takes over
/// this console when the caller ends.
void RunStart(const Command& cmd);

/// notepad.exe file: the editor named by VISUAL or EDITOR, else the system's own (on Linux
/// the first of sensible-editor, editor, nano and vi on PATH, on Windows Notepad);
/// returns when the editor has ended.
void RunEditor(const Command& cmd);

#endif  // COMMON_PROGRAM_START_H_
