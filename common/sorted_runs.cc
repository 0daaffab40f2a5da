#include "common/sorted_runs.h"

#include <algorithm>
#include <memory>
#include <queue>

#include "common/work_files.h"

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

std::vector<size_t> MergeInLevels(
    size_t run_count, size_t fan_in,
    const std::function<void(const std::vector<size_t>& group, size_t merged)>& merge) {
  struct Pending {
    size_t weight;  // runs of the input merged into it
    size_t order;   // older first among equal weights
    size_t run;
  };
  auto heavier = [](const Pending& a, const Pending& b) {
    return a.weight != b.weight ? a.weight > b.weight : a.order > b.order;
  };
  std::priority_queue<Pending, std::vector<Pending>, decltype(heavier)> queue(heavier);
  for (size_t n = 1; n <= run_count; ++n) queue.push({1, n, n});
  size_t next_run = run_count + 1;
  fan_in = std::max<size_t>(fan_in, 2);
  size_t take = queue.size() > fan_in ? (queue.size() - 2) % (fan_in - 1) + 2 : 0;
  while (queue.size() > fan_in) {
    std::vector<size_t> group;
    size_t weight = 0;
    for (size_t i = 0; i < take; ++i) {
      group.push_back(queue.top().run);
      weight += queue.top().weight;
      queue.pop();
    }
    merge(group, next_run);
    queue.push({weight, next_run, next_run});
    ++next_run;
    take = fan_in;
  }
  std::vector<size_t> last;
  for (; !queue.empty(); queue.pop()) last.push_back(queue.top().run);
  std::sort(last.begin(), last.end());
  return last;
}

bool SortFileLines(std::string_view in, std::string_view out, const std::string& run_stem,
                   LineLess less, size_t run_bytes, size_t fan_in) {
  LineReader reader(in);
  std::vector<std::string> lines;
  size_t bytes = 0;
  std::string line;
  bool more = false;
  while (reader.Next(&line)) {
    bytes += line.size() + 32;
    lines.push_back(std::move(line));
    if (bytes >= run_bytes) {
      more = reader.Next(&line);
      break;
    }
  }
  if (!more) {
    std::sort(lines.begin(), lines.end(), less);
    LineWriter writer(out);
    for (const std::string& sorted : lines) writer.WriteLine(sorted);
    return true;
  }
  auto run_name = [&](size_t n) { return run_stem + std::to_string(n) + ".tmp"; };
  // The lines read so far and the one read past them make the first run.
  lines.push_back(std::move(line));
  std::sort(lines.begin(), lines.end(), less);
  {
    LineWriter first(run_name(1));
    for (const std::string& sorted : lines) first.WriteLine(sorted);
  }
  lines = std::vector<std::string>();
  size_t runs = 1 + FormSortedRuns(&reader, static_cast<size_t>(-1), run_bytes, less,
                                   [&](size_t n) { return run_name(n + 1); });
  bool in_order = true;
  auto merge = [&](const std::vector<size_t>& group, size_t merged) {
    std::vector<std::string> names;
    for (size_t n : group) names.push_back(run_name(n));
    {
      LineWriter writer(run_name(merged));
      in_order = MergeSortedRuns(names, &writer, less) && in_order;
    }
    for (const std::string& name : names) DeleteWorkFile(name);
  };
  std::vector<std::string> last;
  for (size_t n : MergeInLevels(runs, fan_in, merge)) last.push_back(run_name(n));
  {
    LineWriter writer(out);
    in_order = MergeSortedRuns(last, &writer, less) && in_order;
  }
  for (const std::string& name : last) DeleteWorkFile(name);
  return in_order;
}
