#ifndef FORMULAS_CELLORIN_DIALOGUE_H_
#define FORMULAS_CELLORIN_DIALOGUE_H_

/// The formula generator's start-up texts: banner, terms of use, the work-directory notice
/// (each with its prompt), and its tool check.

#include <string>

/// "cellorin_083.exe", as the banner and the formula page print it.
std::string CellorinProgramName();

/// Everything up to and including the work-directory notice; "end" ends the program.
void RunCellorinDialogue();

/// Returns only when every tool answered.
void RunCellorinToolCheck();

#endif  // FORMULAS_CELLORIN_DIALOGUE_H_
