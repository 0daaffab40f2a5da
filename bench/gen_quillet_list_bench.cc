// Writes a reproducible chaptered list of about a given size for quillet, of one of these
// kinds:
//   mixed   top-level chapters with sub-chapters on up to 6 levels, cross-references (to
//           marks that exist, that come later and that are missing), bold lines, web and
//           file addresses, small tables, runs of empty lines, body lines that start with a
//           number, + or -, and titles that repeat or differ only in case;
//   deep    a few top-level chapters, each with a very great many sub-chapters;
//   long    lines of up to LONG bytes (default 200,000) among ordinary ones;
//   tables  large tables, many rows and columns of unequal length, with alignments;
//   refs    many cross-references, most lines of the list.
// Usage: gen_quillet_list_bench BYTES FILE [KIND [LONG]]

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

unsigned long long g_state = 0x9E3779B97F4A7C15ull;
unsigned Next(unsigned below) {
  g_state ^= g_state << 13;
  g_state ^= g_state >> 7;
  g_state ^= g_state << 17;
  return static_cast<unsigned>(g_state % below);
}

const char* Word() {
  static const char* const kWords[] = {"apple", "Zebra", "river", "stone", "Cloud", "lamp",
                                       "orbit", "mint",  "Delta", "frost", "quill", "ember",
                                       "Apple", "äpfel", "x<y",   "a&b",   "Mr.",   "3.5"};
  return kWords[Next(sizeof kWords / sizeof kWords[0])];
}

std::string Words(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(i ? " " : "") + Word();
  return text;
}

struct Generator {
  std::string kind;
  size_t long_line = 200000;
  FILE* out = nullptr;
  size_t written = 0;
  long long top = 0;       // top-level chapters so far
  std::string numbers[8];  // the current mark, one number per level
  int levels = 0;

  void Line(const std::string& text) {
    std::string line = text + (Next(50) == 0 ? "  " : "");
    std::fputs((Next(40) == 0 ? "   " + line : line).c_str(), out);
    std::fputs("\r\n", out);
    written += line.size() + 2;
  }

  std::string Mark() const {
    std::string mark;
    for (int i = 0; i < levels; ++i) mark += (i ? "." : "") + numbers[i];
    return levels == 1 ? mark + "." : mark;
  }

  void Chapter(int level) {
    if (level == 1) {
      ++top;
      levels = 1;
      // The old numbers of a list are often out of order; the structurer renumbers them.
      numbers[0] = std::to_string(Next(4) == 0 ? Next(1000) + 1 : top);
      Line("");
      Line(numbers[0] + ". " + Words(1 + static_cast<int>(Next(3))));
      return;
    }
    if (level > levels + 1) level = levels + 1;
    if (level <= levels) {
      levels = level;
      numbers[level - 1] = std::to_string(std::stoll(numbers[level - 1]) + 1);
    } else {
      levels = level;
      numbers[level - 1] = "1";
    }
    Line(Mark() + " " + Words(1 + static_cast<int>(Next(3))));
  }

  std::string Reference() const {
    switch (Next(4)) {
      case 0:
        return "look_at: " + Mark();
      case 1:
        return "look_at: " + std::to_string(Next(static_cast<unsigned>(top) + 5) + 1) + ".";
      case 2:
        return "look_at: " + std::to_string(Next(20) + 1) + "." + std::to_string(Next(9) + 1);
      default:
        return Next(2) ? "LOOK_AT: 1." : "look_at:1.1";
    }
  }

  void Table(int columns, int longest) {
    Line("table_start: " + (Next(3) ? Words(2) : std::string()));
    if (Next(5) == 0) Line("ignored before the first column");
    for (int c = 0; c < columns; ++c) {
      Line("column: " + (Next(6) ? Words(1) : std::string()));
      if (Next(3) == 0) Line(Next(2) ? "align: right" : "ALIGN: Center");
      int rows = static_cast<int>(Next(static_cast<unsigned>(longest) + 1));
      for (int r = 0; r < rows; ++r) Line(Next(10) ? Words(1) + " " + std::to_string(r) : "");
    }
    if (Next(20)) Line("table_end:");
  }

  void BodyLine() {
    switch (Next(24)) {
      case 0:
        Line("");
        Line("");
        return;
      case 1:
        Line(Reference());
        return;
      case 2:
        Line("<b>" + Words(2) + "</b>");
        return;
      case 3:
        Line("see http://example.org/" + Words(1) + " and https://b.org");
        return;
      case 4:
        Line("file:///home/" + Words(1) + ".txt");
        return;
      case 5:
        Line(std::to_string(Next(100)) + " " + Words(2));
        return;
      case 6:
        Line((Next(2) ? "+" : "-") + std::to_string(Next(9)) + " " + Words(1));
        return;
      case 7:
        Line("Mr. " + Words(2));
        return;
      case 8:
        if (Next(20) == 0) Table(1 + static_cast<int>(Next(4)), 5);
        return;
      default:
        Line(Words(2 + static_cast<int>(Next(5))));
        return;
    }
  }

  void Step() {
    if (kind == "deep") {
      if (Next(200000) == 0 || top == 0) return Chapter(1);
      if (Next(3) == 0) return Chapter(2 + static_cast<int>(Next(5)));
      return BodyLine();
    }
    if (kind == "long") {
      if (Next(30) == 0) {
        std::string line = Words(1) + " ";
        size_t length = Next(static_cast<unsigned>(long_line));
        while (line.size() < length) line += Word() + std::string(" ");
        return Line(Next(4) == 0 ? "1.1 " + line : line);
      }
    }
    if (kind == "tables" && Next(20) == 0) {
      return Table(1 + static_cast<int>(Next(12)), 3000);
    }
    if (kind == "refs" && Next(3) != 0) return Line(Reference());
    unsigned roll = Next(100);
    if (roll < 3 || top == 0) return Chapter(1);
    if (roll < 20) return Chapter(2 + static_cast<int>(Next(5)));
    BodyLine();
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s BYTES FILE [mixed|deep|long|tables|refs [LONG]]\n", argv[0]);
    return 2;
  }
  Generator g;
  size_t bytes = std::strtoull(argv[1], nullptr, 10);
  g.kind = argc > 3 ? argv[3] : "mixed";
  if (argc > 4) g.long_line = std::strtoull(argv[4], nullptr, 10);
  g.out = std::fopen(argv[2], "wb");
  if (!g.out) return 1;
  g.Line("A list begins with a line of text.");
  while (g.written < bytes) g.Step();
  std::fclose(g.out);
  std::printf("%s: %zu bytes, %lld top-level chapters\n", argv[2], g.written, g.top);
  return 0;
}
