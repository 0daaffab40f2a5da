#include "common/external_sort.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/line_files.h"
#include "common/shell.h"
#include "common/sorted_runs.h"
#include "common/text.h"
#include "common/work_files.h"
#include "common/work_paths.h"

namespace {

MergeSortLimits g_limits;

bool ByteLess(const std::string& a, const std::string& b) { return a < b; }

std::string ChunkName(size_t number) { return "file_s_" + std::to_string(number) + ".txt"; }

constexpr char kPassOutput[] = "sort_output.txt";

[[noreturn]] void ReportNoHandle(size_t fan_in, std::string_view input, std::string_view output,
                                 int error) {
  PrintLine("---------- sort error ----------");
  PrintLine("number of files > file.max");
  PrintLine("file.max = " + SignedNumber(static_cast<long long>(fan_in)));
  PrintLine("sort.input$ = " + std::string(input));
  PrintLine("sort.output$ = " + std::string(output));
  PrintLine("file.name.02$ = " + std::string(kPassOutput));
  PrintLine("file.num.02 = " + SignedNumber(0));
  StopOnWriteFailure(kPassOutput, error);
}

// One merge pass into sort_output.txt, checked for order as it is written.
void MergePass(const std::vector<std::string>& chunks, std::string_view input,
               std::string_view output) {
  // The previous pass's file may also stand under another name (see below): a new file,
  // not the old one overwritten.
  DeleteWorkFile(kPassOutput);
  LineWriter pass(kPassOutput, LineWriter::kCreate, LineWriter::kReport);
  if (!pass.is_open()) ReportNoHandle(chunks.size(), input, output, pass.error());
  if (!MergeSortedRuns(chunks, &pass, ByteLess)) {
    pass.Close();
    PrintLine("sort error");
    EndProgram();
  }
  pass.Close();
}

}  // namespace

void DeleteSortRuns() {
  for (const std::string& name : MatchingWorkFiles("file_s_*.txt")) DeleteWorkFile(name);
  DeleteWorkFile(kPassOutput);
}

void SetMergeSortLimitsForTesting(const MergeSortLimits& limits) { g_limits = limits; }

void MergeSortFile(std::string_view sort_input, std::string_view sort_output) {
  if (sort_input.empty()) EndProgram();
  RunCommand("dir > file_s_01.txt");
  RunCommand("del /q file_s_*.txt > null.txt");

  size_t run_count = 0;
  {
    LineReader reader(sort_input);
    run_count = FormSortedRuns(&reader, g_limits.run_lines, 0, ByteLess, ChunkName);
  }
  if (run_count == 0) {
    DeleteWorkFile(kPassOutput);
    LineWriter empty_pass(kPassOutput);
    LineWriter empty_output(sort_output);
    return;
  }

  auto merge_level = [&](const std::vector<size_t>& group, size_t merged) {
    std::vector<std::string> chunks;
    for (size_t n : group) chunks.push_back(ChunkName(n));
    MergePass(chunks, sort_input, sort_output);
    for (const std::string& chunk : chunks) DeleteWorkFile(chunk);
    MoveWorkFile(kPassOutput, ChunkName(merged));
  };
  // The last pass merges the rest in the order of their numbers.
  std::vector<std::string> chunks;
  for (size_t n : MergeInLevels(run_count, g_limits.fan_in, merge_level)) {
    chunks.push_back(ChunkName(n));
  }
  MergePass(chunks, sort_input, sort_output);
  // The last pass's file is the result: the output gets it as a second name instead of a
  // copy of its bytes.
  ShareWorkFile(kPassOutput, sort_output);
}
