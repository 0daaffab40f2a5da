// Writes one reproducible page of minified HTML: the whole page on one line of about BYTES
// bytes, for measuring the indexer's memory on a giant line. Head, sections with headings,
// paragraphs, lists and tables; words of varied length drawn from a Zipf-like vocabulary
// with capitalised variants, numbers, long compound words and character references between
// them. A link's opening tag ends the words of the rest of its line for the indexer, so the
// links stand in the footer only: the scan meets the words of the whole line.
// Same arguments, same bytes.
//
// Usage: gen_one_line_page_bench BYTES FILE

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kVocabulary = 60000;

class WordSource {
 public:
  explicit WordSource(unsigned seed) : random_(seed) {
    const std::string consonants = "bcdfghjklmnprstvwz", vowels = "aeiou";
    for (size_t i = 0; i < kVocabulary; ++i) {
      std::string word;
      // Mostly short words, some long ones.
      size_t syllables = 1 + Below(4) + (Below(10) == 0 ? 3 + Below(6) : 0);
      for (size_t s = 0; s < syllables; ++s) {
        word += consonants[Below(consonants.size())];
        word += vowels[Below(vowels.size())];
      }
      if (Below(3) == 0) word += consonants[Below(consonants.size())];
      words_.push_back(word);
    }
    std::vector<double> weights;
    for (size_t i = 0; i < words_.size(); ++i)
      weights.push_back(1.0 / std::pow(static_cast<double>(i) + 1.0, 1.05));
    pick_ = std::discrete_distribution<size_t>(weights.begin(), weights.end());
  }
  size_t Below(size_t n) { return random_() % n; }
  std::string Word() {
    switch (Below(40)) {
      case 0:
        return std::to_string(Below(100000));
      case 1:
        return words_[pick_(random_)] + "-" + words_[pick_(random_)] + "-" + words_[pick_(random_)];
      case 2:
        return "&amp;";
      case 3:
        return words_[pick_(random_)] + "&nbsp;" + words_[pick_(random_)];
      case 4:
        return "&#8212;" + words_[pick_(random_)];
      case 5:
        return "&quot;" + words_[pick_(random_)] + "&quot;";
      default: {
        std::string word = words_[pick_(random_)];
        if (Below(12) == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
        if (Below(15) == 0) word += Below(2) ? "," : ".";
        return word;
      }
    }
  }
  std::string Words(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
      if (i > 0) text += ' ';
      text += Word();
    }
    return text;
  }

 private:
  std::mt19937 random_;
  std::vector<std::string> words_;
  std::discrete_distribution<size_t> pick_;
};

// One section; tag text holds two words at least, as minified pages mostly have it.
std::string Section(WordSource* source, size_t number) {
  std::string html = "<section id=\"s" + std::to_string(number) + "\" class=\"block\"><h2>" +
                     source->Words(2 + source->Below(5)) + "</h2>";
  for (size_t part = 2 + source->Below(5); part > 0; --part) {
    switch (source->Below(6)) {
      case 0:
        html += "<ul class=\"list\">";
        for (size_t item = 2 + source->Below(5); item > 0; --item) {
          html += "<li>" + source->Words(2 + source->Below(8)) + "</li>";
        }
        html += "</ul>";
        break;
      case 1:
        html += "<table class=\"data\"><tbody>";
        for (int row = 0; row < 3; ++row) {
          html += "<tr><td>" + source->Words(2) + "</td><td>" + source->Words(3) + "</td></tr>";
        }
        html += "</tbody></table>";
        break;
      default:
        html += "<p class=\"text\">" + source->Words(10 + source->Below(30)) + " <em>" +
                source->Words(2 + source->Below(3)) + "</em> " +
                source->Words(5 + source->Below(20)) + " <strong>" + source->Words(2) +
                "</strong> " + source->Words(3 + source->Below(10)) + "</p>";
    }
  }
  return html + "</section>";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s BYTES FILE\n", argv[0]);
    return 2;
  }
  const size_t bytes = std::strtoul(argv[1], nullptr, 10);
  WordSource source(20240707);
  std::string html =
      "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
      "content=\"width=device-width,initial-scale=1\"><title>" +
      source.Words(5) + "</title></head><body><main class=\"content\">";
  const std::string footer_links =
      "</main><footer><nav><a href=\"/about/\">about this site</a> "
      "<a href=\"/contact/\">write to us</a></nav></footer>";
  const std::string end = "</body></html>\n";
  for (size_t n = 1; html.size() + footer_links.size() + end.size() < bytes; ++n) {
    html += Section(&source, n);
  }
  html += footer_links + end;
  std::ofstream(argv[2], std::ios::binary) << html;
  std::printf("%zu bytes on one line\n", html.size());
  return 0;
}
