#ifndef COMMON_STARTUP_H_
#define COMMON_STARTUP_H_

/// The start-up dialogue and tool check that open every program: invocation line,
/// banner, credits, program name, terms of use, font advice, work-directory notice, and the
/// check that the interpreter's tools answer. Choosing "end", or a failed check, ends the
/// program with status 0.

#include <string>

enum class Program { kPagoran, kQuillet, kCellorin };

/// "pagoran_01_149.exe", "quillet_01_248.exe", "cellorin_083.exe".
std::string ProgramName(Program program);

/// Everything up to and including the work-directory notice. `argv0` is printed first
/// (except by cellorin).
void RunStartupDialogue(Program program, const char* argv0);

/// The tool check; returns only when every tool answered.
void RunToolCheck(Program program);

#endif  // COMMON_STARTUP_H_
