#ifndef COMMON_EXTERNAL_SORT_H_
#define COMMON_EXTERNAL_SORT_H_

/// The indexer's merge sort: sorts the lines of one work file into another by byte value
/// (unsigned, case-sensitive, a prefix before the longer line), in bounded memory. The input
/// is cut into runs of 2000 lines, each sorted and written to "file_s_<n>.txt"; runs are
/// merged at most 50 at a time through "sort_output.txt", every merge pass checked for
/// order. More than 50 runs are merged in levels, at most 50 into a new run and the
/// smallest runs first, until 50 remain for the last pass, so the cost stays O(n log n).
/// An input without lines gives an
/// existing, empty output. Ends the program with its own messages on "sort error" (with
/// status 1 when sort_output.txt cannot be made).

#include <string_view>

void MergeSortFile(std::string_view sort_input, std::string_view sort_output);

/// Deletes the files the last sort left ("file_s_<n>.txt" and "sort_output.txt"), which the
/// next sort would replace: a caller that sorts large files releases their space as soon
/// as it can.
void DeleteSortRuns();

/// The sizes above, changeable for tests only.
struct MergeSortLimits {
  size_t run_lines = 2000;
  size_t fan_in = 50;
};
void SetMergeSortLimitsForTesting(const MergeSortLimits& limits);

#endif  // COMMON_EXTERNAL_SORT_H_
