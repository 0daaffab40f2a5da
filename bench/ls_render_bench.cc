// Times RenderHtml, WriteHtmlBodyCopy and WriteCsv on a generated structured text of n
// chapters (each with a body line, a cross-reference and an address), for n and 2n, so
// that linear cost shows as a doubling of time.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/line_files.h"
#include "liststruct/chapter_table.h"
#include "liststruct/csv_output.h"
#include "liststruct/html_render.h"
#include "liststruct/keyed_lines.h"

namespace {

double RunOnce(long long chapters) {
  {
    LineWriter out("list_03_list.txt");
    LineWriter rows(kChapterRowsFile);
    long long line = 0;
    for (long long c = 1; c <= chapters; ++c) {
      std::string number = std::to_string(c) + ".";
      out.WriteLine("  " + number + " Title <" + std::to_string(c) + ">");
      rows.WriteLine(NumberedLine(++line, "2 " + number));
      out.WriteLine("  body text with http://example.org/" + std::to_string(c) + " inside");
      out.WriteLine("  look_at: " + std::to_string((c * 7919) % chapters + 1) + ".");
      out.WriteLine("  12 apples & pears");
      line += 3;
    }
  }
  auto start = std::chrono::steady_clock::now();
  RenderHtml();
  WriteHtmlBodyCopy();
  WriteCsv();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  long long chapters = argc > 1 ? std::atoll(argv[1]) : 50000;
  char dir[] = "/tmp/ls_render_bench_XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
  for (long long n : {chapters, 2 * chapters}) {
    std::printf("%lld chapters, %lld lines: %.3f s\n", n, 4 * n, RunOnce(n));
  }
  std::string cleanup = std::string("rm -rf ") + dir;
  return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
