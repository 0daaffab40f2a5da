// Times the page phase and the word scan on large inputs: a 5 MB line of words, a 5 MB line
// of tags, a 5 MB line without blanks, and a work directory of many small pages.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/line_files.h"
#include "indexer/page_files.h"
#include "indexer/word_extract.h"

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void TimeLine(const char* what, const std::string& line) {
  ScanState state;
  auto start = std::chrono::steady_clock::now();
  LineTags tags;
  size_t words = 0;
  if (FindLineTags(line, &state, &tags)) {
    ScanLineWords(line, tags, [&](const FoundWord&) { ++words; });
  }
  std::printf("%-28s %8zu bytes %8zu words %8.3f s\n", what, line.size(), words, Seconds(start));
}

}  // namespace

int main(int argc, char** argv) {
  const size_t kSize = 5 << 20;
  std::string words = "<br>";
  while (words.size() < kSize) words += "word ";
  TimeLine("words and blanks", words);
  std::string tags = "<br>";
  while (tags.size() < kSize) tags += "<b>bold</b> ";
  TimeLine("tags and words", tags);
  TimeLine("one word", std::string(kSize, 'x'));
  TimeLine("one long tag", "<br><" + std::string(kSize, ' ') + ">x y");
  std::string quotes = "<br>";
  while (quotes.size() < kSize) quotes += "\"quoted\" ";
  TimeLine("quoted words", quotes);

  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "page_words_bench";
  fs::remove_all(dir);
  fs::create_directories(dir / "htm_in");
  fs::current_path(dir);
  const int kFiles = argc > 1 ? std::atoi(argv[1]) : 2000;
  std::string page;
  for (int line = 0; line < 200; ++line) page += "  Some <b>words</b> on a line of text\n";
  for (int i = 0; i < kFiles; ++i) {
    LineWriter out("htm_in\\f" + std::to_string(i) + ".htm");
    out.Write(page);
  }
  LineWriter big("htm_in\\big.htm");
  big.Write(words + "\n");
  big.Close();
  auto start = std::chrono::steady_clock::now();
  PageMaker maker;
  ExtractWords([&](std::string* name, PageSource* text) { return maker.Next(name, text); });
  maker.Finish();
  std::printf("Pages made and scanned, %d pages + 5 MB page: %.3f s\n", kFiles, Seconds(start));
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
  return 0;
}
