// Writes a reproducible set of small HTML pages that stresses the corners of the indexer's
// word lists, for comparing two builds of the indexer on the same input:
// - names in mixed case and of uneven length (the input sort folds case);
// - keys that are prefixes of each other next to bytes below '"' ("the", "the!", "the\x1f");
// - one key in several spellings on one line (occurrences numbered by spelling first);
// - words holding "&nbsp;", quoted words and a quote inside a word;
// - table lines, where tabs and low bytes stay inside words;
// - a word that occurs on one page only, and pages without any word;
// - with LONG_LINE_BYTES, one page holds a line of that length with words spread over it,
//   so that columns pass the width of their field (a million).
// Same arguments, same bytes.
//
// Usage: gen_corner_set_bench PAGES FOLDER [LONG_LINE_BYTES]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kWords = {
    "the",   "the!",   "The",     "THE!x",     "then",         "the\x1f",      "Then",
    "the's", "foo",    "Foo",     "FOO",       "fooo",         "fo!o",         "abc",
    "ABC",   "abcd",   "zeta",    "Zeta!",     "omega",        "Omega",        "alpha",
    "beta",  "gam!ma", "delta",   "Delta",     "epsi",         "kappa",        "lam",
    "mu!",   "nuu",    "xii",     "pii",       "rho",          "sigma",        "tau",
    "ups",   "phi",    "chi",     "psi",       "one&nbsp;two", "&NBSP;&nbsp;", "\"quoted\"",
    "it\"s", "\"open", "close\"", "Pages_list"};

std::string Name(size_t n, std::mt19937* random) {
  static const char* const kStems[] = {"Chap", "chap", "ZETA", "alpha", "Beta_Long_Name_Part",
                                       "b",    "a",    "Ab",   "aB"};
  static const char* const kEnds[] = {".htm", ".HTML", ".html", ".Htm"};
  return std::string(kStems[(*random)() % 9]) + std::to_string(n) + kEnds[(*random)() % 4];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s PAGES FOLDER [LONG_LINE_BYTES]\n", argv[0]);
    return 2;
  }
  size_t pages = std::strtoul(argv[1], nullptr, 10);
  size_t long_line = argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 0;
  std::filesystem::path folder = argv[2];
  std::filesystem::create_directories(folder);
  std::mt19937 random(1149);
  auto word = [&] { return kWords[random() % kWords.size()]; };
  for (size_t n = 1; n <= pages; ++n) {
    std::string html = "<html>\n<head><title>" + word() + " " + word() + "</title></head>\n";
    if (n % 7 != 3) html += "<body>\n";
    if (n % 11 == 5) {  // a page without words
      html += "<p></p>\n</body>\n</html>\n";
      std::ofstream(folder / Name(n, &random), std::ios::binary) << html;
      continue;
    }
    html += "<h1>only" + std::to_string(n) + " " + word() + "</h1>\n";
    for (int line = 0; line < 12; ++line) {
      switch (random() % 6) {
        case 0:
          html += "Foo foo FOO fooo foo Foo the The the! the\x1f the\n";
          break;
        case 1:
          html += "<table border=\"1\">\n<tr><td>a\tb\x01" + word() + "</td><td>" + word() +
                  "\tc</td></tr>\n</table>\n";
          break;
        case 2:
          html += "   " + word() + " <b>" + word() + "</b> " + word() + "\n";
          break;
        default: {
          std::string text;
          for (int w = static_cast<int>(random() % 40); w > 0; --w) text += word() + " ";
          html += text + word() + "\n";
        }
      }
    }
    if (n == 2 && long_line > 0) {
      std::string text;
      while (text.size() < long_line) {
        text += std::string(1000 + random() % 5000, 'x');
        text += " " + word() + " " + word() + " ";
      }
      html += text + "\n";
    }
    html += "</body>\n</html>\n";
    std::ofstream(folder / Name(n, &random), std::ios::binary) << html;
  }
  return 0;
}
