#ifndef INDEXER_PAGORAN_DIALOGUE_H_
#define INDEXER_PAGORAN_DIALOGUE_H_

/// The indexer's start-up texts: invocation line, banner, credits and terms, font advice,
/// the work-directory notice, and its tool check.

#include <string>

/// "pagoran_01_149.exe".
std::string PagoranProgramName();

/// Everything up to and including the work-directory notice; "end" ends the program.
void RunPagoranDialogue(const char* argv0);

/// Returns only when every tool answered.
void RunPagoranToolCheck();

#endif  // INDEXER_PAGORAN_DIALOGUE_H_
