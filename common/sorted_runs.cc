#include "common/sorted_runs.h"

#include <algorithm>
#include <memory>
#include <queue>

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
  std::vector<std::unique_ptr<LineReader>> readers;
  std::vector<std::string> heads(runs.size());
  for (const std::string& name : runs) readers.push_back(std::make_unique<LineReader>(name));
  // The heap holds run indexes; among equal heads the lower run comes first.
  auto after = [&](size_t a, size_t b) {
    if (less(heads[b], heads[a])) return true;
    if (less(heads[a], heads[b])) return false;
    return a > b;
  };
  std::priority_queue<size_t, std::vector<size_t>, decltype(after)> heap(after);
  for (size_t i = 0; i < runs.size(); ++i) {
    if (readers[i]->Next(&heads[i])) heap.push(i);
  }
  bool in_order = true;
  std::string previous;
  bool first = true;
  while (!heap.empty()) {
    size_t i = heap.top();
    heap.pop();
    if (!first && less(heads[i], previous)) in_order = false;
    out->WriteLine(heads[i]);
    first = false;
    previous.swap(heads[i]);
    if (readers[i]->Next(&heads[i])) heap.push(i);
  }
  return in_order;
}
