#ifndef LISTSTRUCT_HANDOFF_H_
#define LISTSTRUCT_HANDOFF_H_

/// The hand-off of quillet's HTML output to the indexer, which runs as a program of its
/// own in the sub-directory pagoran.

#include <string>

/// The newest indexer executable: lists "pagoran_*.exe" into exe_files.txt and gives the
/// last name, lower-cased and trimmed; empty when there is none.
std::string FindIndexerExecutable();

/// Prepares pagoran\ (the HTML output alone in pagoran\htm_in, wget.exe and the indexer
/// beside it), starts the indexer there and prints the closing texts; any key ends the
/// program, which leaves the console to the indexer where it has no window of its own.
[[noreturn]] void HandOffToIndexer(const std::string& htm_output);

#endif  // LISTSTRUCT_HANDOFF_H_
