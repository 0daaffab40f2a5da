#include "common/sorted_runs.h"

#include <algorithm>
#include <memory>

size_t FormSortedRuns(LineReader* reader, size_t run_lines, size_t run_bytes, LineLess less,
                      const std::function<std::string(size_t)>& run_name) {
  size_t runs = 0;
  std::vector<std::string> run;
  size_t bytes = 0;
  auto flush = [&] {
    std::sort(run.begin(), run.end(), less);
    LineWriter writer(run_name(++runs));
    for (const std::string& line : run) writer.WriteLine(line);
    run.clear();
    bytes = 0;
  };
  std::string line;
  while (reader->Next(&line)) {
    bytes += line.size() + 32;
    run.push_back(std::move(line));
    if (run.size() >= run_lines || (run_bytes != 0 && bytes >= run_bytes)) flush();
  }
  if (!run.empty()) flush();
  return runs;
}

bool MergeSortedRuns(const std::vector<std::string>& runs, LineWriter* out, LineLess less) {
  const size_t k = runs.size();
  std::vector<std::unique_ptr<LineReader>> readers;
  std::vector<std::string> heads(k);
  for (const std::string& name : runs) readers.push_back(std::make_unique<LineReader>(name));
  // A tournament of the runs' head lines: leaves hold run indexes (-1 for a run at its end),
  // each inner node the better of its two children, so that taking a line costs one
  // comparison per level. Among equal heads the left one, the lower run, wins.
  size_t width = 1;
  while (width < k) width <<= 1;
  std::vector<long> tree(2 * width, -1);
  auto better = [&](long a, long b) {
    if (a < 0) return b;
    if (b < 0) return a;
    return less(heads[static_cast<size_t>(b)], heads[static_cast<size_t>(a)]) ? b : a;
  };
  for (size_t i = 0; i < k; ++i) {
    if (readers[i]->Next(&heads[i])) tree[width + i] = static_cast<long>(i);
  }
  for (size_t node = width - 1; node >= 1; --node) {
    tree[node] = better(tree[2 * node], tree[2 * node + 1]);
  }
  bool in_order = true;
  std::string previous;
  bool first = true;
  while (tree[1] >= 0) {
    size_t i = static_cast<size_t>(tree[1]);
    if (!first && less(heads[i], previous)) in_order = false;
    out->WriteLine(heads[i]);
    first = false;
    previous.swap(heads[i]);
    size_t node = width + i;
    tree[node] = readers[i]->Next(&heads[i]) ? static_cast<long>(i) : -1;
    for (node /= 2; node >= 1; node /= 2) {
      tree[node] = better(tree[2 * node], tree[2 * node + 1]);
    }
  }
  return in_order;
}
