#ifndef LISTSTRUCT_QUILLET_DIALOGUE_H_
#define LISTSTRUCT_QUILLET_DIALOGUE_H_

/// The list structurer's start-up texts: invocation line, banner with the output files,
/// credits and terms, font advice, the work-directory notice, and its tool check.

#include <string>

/// "quillet_01_248.exe".
std::string QuilletProgramName();

/// Everything up to and including the work-directory notice; "end" ends the program.
void RunQuilletDialogue(const char* argv0);

/// Returns only when every tool answered.
void RunQuilletToolCheck();

#endif  // LISTSTRUCT_QUILLET_DIALOGUE_H_
