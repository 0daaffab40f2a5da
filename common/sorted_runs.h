#ifndef COMMON_SORTED_RUNS_H_
#define COMMON_SORTED_RUNS_H_

/// The two halves of the interpreter's "sort" for inputs larger than memory: sorted runs
/// written to work files, and a k-way merge of runs.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_files.h"

using LineLess = bool (*)(const std::string&, const std::string&);

/// Reads `reader` to its end in runs of at most `run_lines` lines (and, when `run_bytes`
/// is not 0, about that many bytes), sorts each run and writes it to the file named
/// `run_name(n)`, n = 1, 2, ... Returns the number of runs.
size_t FormSortedRuns(LineReader* reader, size_t run_lines, size_t run_bytes, LineLess less,
                      const std::function<std::string(size_t)>& run_name);

/// Merges the sorted runs into `out` through a tournament tree of their head lines. Returns false
/// when a line came out smaller than the one before it (a run was not sorted).
bool MergeSortedRuns(const std::vector<std::string>& runs, LineWriter* out, LineLess less);

/// Plans the merges of runs numbered 1 to `run_count`, at most `fan_in` at a time and the
/// smallest runs first (as a Huffman code of that fan-in), until at most `fan_in` remain:
/// `merge(group, n)` merges the runs numbered in `group` into a new run numbered n
/// (run_count + 1, run_count + 2, ...). The first merge takes just enough runs that every
/// later one takes `fan_in` and the last pass exactly `fan_in`, so every line is rewritten
/// about log(runs) / log(fan_in) times. Returns the runs left for the last merge, ascending.
std::vector<size_t> MergeInLevels(
    size_t run_count, size_t fan_in,
    const std::function<void(const std::vector<size_t>& group, size_t merged)>& merge);

/// Sorts the lines of the file `in` into the file `out` by `less`, holding about `run_bytes`
/// of lines at a time (and one line however long): a file that fits is sorted in memory,
/// a larger one through run files "<run_stem><n>.tmp", merged at most `fan_in` at a time and
/// deleted afterwards. Returns false when a merge found a run out of order.
bool SortFileLines(std::string_view in, std::string_view out, const std::string& run_stem,
                   LineLess less, size_t run_bytes, size_t fan_in = 50);

#endif  // COMMON_SORTED_RUNS_H_
