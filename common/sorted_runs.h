#ifndef COMMON_SORTED_RUNS_H_
#define COMMON_SORTED_RUNS_H_

/// The two halves of an external sort, shared by the indexer's merge sort and the
/// interpreter's "sort": sorted runs written to work files, and a k-way merge of runs.

#include <functional>
#include <string>
#include <vector>

#include "common/work_dir.h"

using LineLess = bool (*)(const std::string&, const std::string&);

/// Reads `reader` to its end in runs of at most `run_lines` lines (and, when `run_bytes`
/// is not 0, about that many bytes), sorts each run and writes it to the file named
/// `run_name(n)`, n = 1, 2, ... Returns the number of runs.
size_t FormSortedRuns(LineReader* reader, size_t run_lines, size_t run_bytes, LineLess less,
                      const std::function<std::string(size_t)>& run_name);

/// Merges the sorted runs into `out` through a tournament tree of their head lines. Returns false
/// when a line came out smaller than the one before it (a run was not sorted).
bool MergeSortedRuns(const std::vector<std::string>& runs, LineWriter* out, LineLess less);

#endif  // COMMON_SORTED_RUNS_H_
