// Writes a reproducible set of HTML pages for the indexer benchmark: headings, paragraphs
// with links and emphasis, an indented line, a table and a script block on every page, words
// drawn from a Zipf-like vocabulary with capitalised variants. Same arguments, same bytes.
//
// Usage: gen_html_set_bench PAGES FOLDER   (about 30 KB per page)

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kVocabulary = 40000;
constexpr size_t kPageBytes = 30000;

std::vector<std::string> MakeVocabulary(std::mt19937* random) {
  const std::string consonants = "bcdfghjklmnprstvwz", vowels = "aeiou";
  std::vector<std::string> words;
  for (size_t i = 0; i < kVocabulary; ++i) {
    std::string word;
    size_t syllables = 1 + (*random)() % 4;
    for (size_t s = 0; s < syllables; ++s) {
      word += consonants[(*random)() % consonants.size()];
      word += vowels[(*random)() % vowels.size()];
    }
    if ((*random)() % 3 == 0) word += consonants[(*random)() % consonants.size()];
    words.push_back(word);
  }
  return words;
}

class WordSource {
 public:
  explicit WordSource(unsigned seed) : random_(seed), words_(MakeVocabulary(&random_)) {
    std::vector<double> weights;
    for (size_t i = 0; i < words_.size(); ++i)
      weights.push_back(1.0 / std::pow(static_cast<double>(i) + 1.0, 1.05));
    pick_ = std::discrete_distribution<size_t>(weights.begin(), weights.end());
  }
  std::string Word() {
    std::string word = words_[pick_(random_)];
    if (random_() % 12 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
  }
  std::string Words(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
      if (i > 0) text += ' ';
      text += Word();
    }
    return text;
  }
  size_t Below(size_t n) { return random_() % n; }

 private:
  std::mt19937 random_;
  std::vector<std::string> words_;
  std::discrete_distribution<size_t> pick_;
};

std::string Page(WordSource* source, size_t number, size_t pages) {
  std::string html = "<html>\n<head>\n<title>" + source->Words(4) + "</title>\n";
  html += "<script type=\"text/javascript\">\nvar page = " + std::to_string(number) + ";\n";
  html += "function show() { return page; }\n</script>\n</head>\n<body>\n";
  html += "<h1>" + source->Words(5) + "</h1>\n";
  while (html.size() < kPageBytes) {
    switch (source->Below(8)) {
      case 0:
        html += "<h2>" + source->Words(3 + source->Below(4)) + "</h2>\n";
        break;
      case 1:
        html += "<p>" + source->Words(6) + " <a href=\"page" +
                std::to_string(1 + source->Below(pages)) + ".html\">" + source->Words(2) + "</a> " +
                source->Words(8) + "</p>\n";
        break;
      case 2:
        html += "    " + source->Words(10) + "\n";
        break;
      case 3:
        html += "<table border=\"1\">\n";
        for (int row = 0; row < 3; ++row) {
          html += "<tr><td>" + source->Words(2) + "</td><td>" + source->Words(3) + "</td></tr>\n";
        }
        html += "</table>\n";
        break;
      default:
        html += "<p>" + source->Words(12 + source->Below(10)) + " <b>" + source->Words(2) +
                "</b> " + source->Words(6) + ".</p>\n";
    }
  }
  return html + "</body>\n</html>\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PAGES FOLDER\n", argv[0]);
    return 2;
  }
  size_t pages = std::strtoul(argv[1], nullptr, 10);
  std::filesystem::path folder = argv[2];
  std::filesystem::create_directories(folder);
  WordSource source(20261209);
  size_t bytes = 0;
  for (size_t n = 1; n <= pages; ++n) {
    std::string html = Page(&source, n, pages);
    bytes += html.size();
    std::ofstream(folder / ("page" + std::to_string(n) + ".html"), std::ios::binary) << html;
  }
  std::printf("%zu pages, %zu bytes\n", pages, bytes);
  return 0;
}
