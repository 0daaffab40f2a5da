#ifndef INDEXER_PAGE_TEXT_TEST_UTIL_H_
#define INDEXER_PAGE_TEXT_TEST_UTIL_H_

/// Page texts for tests, standing where a run keeps them: one page after the other in
/// kPageTextFile of the current directory, each line ended by CR LF.

#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "indexer/word_extract.h"
#include "indexer/word_lists.h"
#include "tests/test_util.h"

/// Pages by name, in page order, each with the lines of its text.
using PageLines = std::vector<std::pair<std::string, std::vector<std::string>>>;

/// Writes kPageTextFile and gives where each page's text stands.
inline PageTexts WritePageTexts(const PageLines& pages) {
  PageTexts texts;
  std::string all;
  for (const auto& [page, lines] : pages) {
    const long long begin = static_cast<long long>(all.size());
    all += CrLf(lines);
    texts[page] = PageSource{begin, static_cast<long long>(all.size())};
  }
  WriteBytes(kPageTextFile, all);
  return texts;
}

/// The page scan over those pages, fed to it one by one as a run feeds it.
inline WordLists ScanPages(const PageLines& pages) {
  const PageTexts texts = WritePageTexts(pages);
  auto at = pages.begin();
  return ExtractWords([&](std::string* page, PageSource* text) {
    if (at == pages.end()) return false;
    *page = at->first;
    *text = texts.at(at->first);
    ++at;
    return true;
  });
}

/// Words "w01", "w02", ... for tests of search lines and their phrases.
inline std::vector<std::string> NumberedWords(int count) {
  std::vector<std::string> words;
  for (int i = 1; i <= count; ++i) words.push_back("w" + ZeroPadded(i, 2));
  return words;
}

/// The words from `from` on, each followed by a blank, as a page line holds them.
inline std::string Joined(const std::vector<std::string>& words, size_t from = 0) {
  std::string text;
  for (size_t i = from; i < words.size(); ++i) text += words[i] + " ";
  return text;
}

#endif  // INDEXER_PAGE_TEXT_TEST_UTIL_H_
