#ifndef INDEXER_HTML_PIECES_H_
#define INDEXER_HTML_PIECES_H_

/// Lines that several output pages of the indexer share.

#include <string>
#include <string_view>
#include <vector>

#include "common/line_files.h"
#include "indexer/indexer_run.h"

/// The content-type declaration with the run's charset.
std::string MetaLine(const IndexerRun& run);

/// The script that styles the element named by the URL fragment; the "display: inline"
/// line only with the find-word flag.
std::vector<std::string> HighlightScript(const IndexerRun& run);

/// The 26 header lines of the index pages, with the current date and time; `last_line` is
/// "<br><br>" or "<br>".
std::vector<std::string> IndexHeader(const IndexerRun& run, std::string_view last_line);

/// Writes each of `lines` as a line of `out`.
void WriteAll(LineWriter* out, const std::vector<std::string>& lines);

#endif  // INDEXER_HTML_PIECES_H_
