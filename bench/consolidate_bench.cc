// Times the indexer's word-list consolidation on a generated book: 200 pages holding
// 300,000 word occurrences of about 20,000 distinct words with Zipf-like frequencies
// (some capitalised), in a temporary work directory. Prints wall time and peak RSS.
//
//   consolidate_bench [occurrences] [pages]

#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/work_dir.h"
#include "indexer/consolidate.h"

namespace {

constexpr size_t kVocabulary = 23000;  // about 20,000 of them occur in 300,000 draws
constexpr size_t kWordsPerLine = 10;

// Four letters from the rank keep every word distinct; a suffix varies the lengths.
std::string WordOfRank(size_t rank) {
  std::string word;
  for (size_t r = rank, i = 0; i < 4; ++i, r /= 26) word += static_cast<char>('a' + r % 26);
  if (rank % 3 == 0) word += "ing";
  return word;
}

long PeakRssKb() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

size_t WriteBook(size_t occurrences, size_t pages) {
  std::mt19937_64 random(20240707);
  std::vector<double> cumulative(kVocabulary);
  double sum = 0;
  for (size_t i = 0; i < kVocabulary; ++i) cumulative[i] = sum += 1.0 / static_cast<double>(i + 1);
  std::uniform_real_distribution<double> uniform(0, sum);
  std::vector<bool> seen(kVocabulary);
  size_t distinct = 0;

  LineWriter out("wrd_01.txt");
  const size_t per_page = (occurrences + pages - 1) / pages;
  size_t written = 0;
  for (size_t page = 1; page <= pages && written < occurrences; ++page) {
    std::string name = "page_" + ZeroPadded(static_cast<long long>(page), 4) + ".htm";
    for (size_t k = 0; k < per_page && written < occurrences; ++k, ++written) {
      size_t rank = static_cast<size_t>(
          std::lower_bound(cumulative.begin(), cumulative.end(), uniform(random)) -
          cumulative.begin());
      rank = std::min(rank, kVocabulary - 1);
      if (!seen[rank]) ++distinct;
      seen[rank] = true;
      std::string word = WordOfRank(rank);
      if (random() % 10 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
      std::string line = RightAlign(std::to_string(k / kWordsPerLine + 1), 10);
      std::string column = RightAlign(std::to_string((k % kWordsPerLine) * 12 + 1), 6);
      out.WriteLine(QuotedRecord({word, name, line, column, word}));
    }
  }
  return distinct;
}

}  // namespace

int main(int argc, char** argv) {
  size_t occurrences = argc > 1 ? std::stoul(argv[1]) : 300000;
  size_t pages = argc > 2 ? std::stoul(argv[2]) : 200;

  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "consolidate_bench_XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  fs::path previous = fs::current_path();
  fs::current_path(pattern);

  size_t distinct = WriteBook(occurrences, pages);
  long rss_before = PeakRssKb();
  auto start = std::chrono::steady_clock::now();
  ConsolidateWordLists();
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  long rss_after = PeakRssKb();

  std::printf("occurrences %zu, pages %zu, distinct words %zu\n", occurrences, pages, distinct);
  std::printf("ConsolidateWordLists: %.2f s wall\n", seconds.count());
  std::printf("peak RSS: %ld KB (%ld KB before the phase)\n", rss_after, rss_before);
  std::fflush(stdout);

  fs::current_path(previous);
  std::error_code ignored;
  fs::remove_all(pattern, ignored);
  return 0;
}
