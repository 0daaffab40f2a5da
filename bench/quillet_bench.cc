// Times quillet's structuring of a large list: top-level sorting (passes 1 to 4) and the
// chapter table with the structured text, on a generated, reproducible list of 100,000
// lines with 10,000 chapters on up to 5 levels. GNU sort on the same file is timed beside
// it as a yardstick. Run from any directory; the work happens in a temporary folder.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/line_files.h"
#include "common/work_files.h"
#include "liststruct/chapter_sort.h"
#include "liststruct/chapter_table.h"

extern char** environ;

namespace {

constexpr int kLines = 100000;
constexpr int kChapters = 10000;
constexpr int kDeepest = 5;

// A fixed generator, so that every run structures the same list.
unsigned g_state = 20240707;
unsigned Next(unsigned below) {
  g_state = g_state * 1103515245u + 12345u;
  return (g_state >> 8) % below;
}

std::string Word() {
  static const char* const kWords[] = {"apple", "Zebra", "river", "stone", "Cloud", "lamp",
                                       "orbit", "mint",  "Delta", "frost", "quill", "ember"};
  return kWords[Next(sizeof kWords / sizeof kWords[0])];
}

std::vector<std::string> GenerateList() {
  std::vector<std::string> lines = {""};
  std::vector<int> numbers;  // the current mark, one number per level
  std::vector<std::string> marks;
  int chapters_left = kChapters;
  int lines_left = kLines - 1;
  while (lines_left > 0) {
    bool chapter = chapters_left > 0 &&
                   Next(static_cast<unsigned>(lines_left)) < static_cast<unsigned>(chapters_left);
    --lines_left;
    if (!chapter) {
      unsigned kind = Next(20);
      if (kind == 0) {
        lines.push_back("");
      } else if (kind == 1 && !marks.empty()) {
        lines.push_back("look_at: " + marks[Next(static_cast<unsigned>(marks.size()))]);
      } else {
        lines.push_back(Word() + " " + Word() + " " + Word() + " " + std::to_string(Next(1000)));
      }
      continue;
    }
    --chapters_left;
    size_t deepest = numbers.empty() ? 1 : std::min<size_t>(numbers.size() + 1, kDeepest);
    size_t level = 1 + Next(static_cast<unsigned>(deepest));
    if (numbers.size() >= level) {
      numbers.resize(level);
      ++numbers.back();
    } else {
      numbers.push_back(1);
    }
    std::string mark;
    for (size_t i = 0; i < numbers.size(); ++i) {
      mark += (i > 0 ? "." : "") + std::to_string(numbers[i]);
    }
    if (numbers.size() == 1) mark += ".";
    marks.push_back(mark);
    lines.push_back(mark + " " + Word() + " " + Word());
  }
  return lines;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double TimeGnuSort(const std::string& in, const std::string& out) {
  std::string program = "sort";
  std::string flag = "-o";
  std::vector<char*> argv = {program.data(), flag.data(), const_cast<char*>(out.c_str()),
                             const_cast<char*>(in.c_str()), nullptr};
  auto start = std::chrono::steady_clock::now();
  pid_t child;
  if (posix_spawnp(&child, "sort", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? SecondsSince(start) : -1;
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillet_bench_XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  std::filesystem::current_path(pattern);

  std::vector<std::string> list = GenerateList();
  {
    LineWriter out("bench_list.txt");
    for (const std::string& line : list) out.WriteLine(line);
  }
  CopyWorkFile("bench_list.txt", "list_01.txt");

  auto start = std::chrono::steady_clock::now();
  long long top_level = SortTopLevelChapters();
  double sorting = SecondsSince(start);
  start = std::chrono::steady_clock::now();
  long long chapters = StructureChapters();
  double structuring = SecondsSince(start);
  double gnu_sort = TimeGnuSort("bench_list.txt", "gnu_sorted.txt");

  std::printf("\nlist: %zu lines, %lld chapters (%lld top-level), up to %d levels\n", list.size(),
              chapters, top_level, kDeepest);
  std::printf("passes 1-4 (top-level sorting):          %.3f s\n", sorting);
  std::printf("chapter table and structured text:       %.3f s\n", structuring);
  std::printf("quillet structuring in all:              %.3f s\n", sorting + structuring);
  std::printf("GNU sort of the same file (yardstick):   %.3f s\n", gnu_sort);

  std::filesystem::current_path("/");
  std::filesystem::remove_all(pattern);
  return 0;
}
