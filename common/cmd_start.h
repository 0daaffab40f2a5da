#ifndef COMMON_CMD_START_H_
#define COMMON_CMD_START_H_

/// Starting other programs, never through a shell: the interpreter's "start" and
/// "notepad" commands.

#include <string>

#include "common/cmd_parts.h"

/// start /D folder program: a window of its own where the system can open one (on Linux
/// a tmux window or a terminal, on Windows a console), otherwise the program takes over
/// this console when the caller ends.
void RunStart(const Command& cmd);

/// A program that takes over this console when this one ends, started in `folder` as
/// `argv0`: what "start" leaves behind where it can open no window of its own.
struct ProgramToStart {
  std::string folder;        // absolute path of the folder to start in
  std::string program_path;  // absolute path of the program
  std::string argv0;         // the name it is started by ("./pagoran_01_149.exe")
};
/// The program handed this console by "start"; empty fields when there is none.
const ProgramToStart& ProgramStartedAtEnd();
/// Called as the program ends (EndProgram): the handed-over program replaces this process
/// in its own folder. Returns when there is none, or after saying that it could not start.
void StartProgramHandedOver();

/// notepad.exe file: the editor named by VISUAL or EDITOR, else the system's own (on Linux
/// the first of sensible-editor, editor, nano and vi on PATH, on Windows Notepad);
/// returns when the editor has ended.
void RunEditor(const Command& cmd);

#endif  // COMMON_CMD_START_H_
