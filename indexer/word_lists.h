#ifndef INDEXER_WORD_LISTS_H_
#define INDEXER_WORD_LISTS_H_

/// The word lists of a run, from the page scan to the output pages. The scan leaves one
/// OccurrenceRecord per word occurrence in the work file kOccurrenceFile, page by page in
/// line and column order, and keeps in memory only what grows with the vocabulary and the
/// pages: the spellings and their keys, the number of occurrences of each key, and where each
/// page's records stand. From these:
///
/// - Word ids. All spellings that lower-case to one key share a word id: "id" and the 0-based
///   position, among all occurrences ordered by key, of the key's first occurrence (so the
///   second key of a list whose first key has three occurrences gets id00000003). Keys are
///   ordered as quoted fields compare (QuotedFieldLess).
/// - Occurrence numbers: a word's occurrences counted from 1 by page, line, then spelling
///   (as quoted fields compare), then column (as its field compares). Pages are walked in
///   order with a running count per key; only the occurrences of one key on one line are
///   ever put in order.
/// - Next pages: the next page that holds the word, found walking the pages from the last one
///   backwards with one entry per key; written to kNextPageFile, a slice per page.
/// - The output pages (WriteOccurrencePages): one walk over the pages in order numbers the
///   occurrences, writes the search page and makes one word index entry per word and page,
///   put in word order by an external sort of records (SortedRecords) when they outgrow
///   memory, for the word index page. A second thread takes the numbered occurrences in
///   batches, decorates the pages and writes the occurrence table.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "indexer/vocabulary.h"

inline constexpr char kOccurrenceFile[] = "wrd_01.txt";
inline constexpr char kNextPageFile[] = "wrd_02.txt";

/// One word occurrence as the page scan found it.
struct OccurrenceRecord {
  uint64_t line;      // 1-based line of the page file
  uint64_t column;    // 1-based byte column where the word starts
  uint32_t spelling;  // the word as it stands on the page (Vocabulary)
  uint32_t key;       // the key it is filed under
};

/// No page: a word's last page has no next page.
inline constexpr uint32_t kNoPage = UINT32_MAX;

/// Where a page's text is read from: the byte range [begin, end) of `file`, or all of it
/// where `end` is negative. The ranges start and end at line ends.
struct PageSource {
  std::string file;
  long long begin = 0;
  long long end = -1;
};

/// Where each page's text stands, by page name.
using PageTexts = std::map<std::string, PageSource>;

/// A page that holds words, and where its records stand in the work files.
struct PageWords {
  std::string name;  // as listed, lower-cased: page_0001.htm
  PageSource text;
  size_t first = 0;  // its first record in kOccurrenceFile
  size_t count = 0;
  size_t next_first = 0;  // its slice in kNextPageFile: one page number per key on the page,
  size_t next_count = 0;  // in order of the key's first occurrence on the page
};

struct WordLists {
  Vocabulary vocabulary;
  /// Pages holding words, in page order (by name: page names are "page_" and digits of one
  /// width, so byte order, the sort command's order and the order of quoted fields agree).
  std::vector<PageWords> pages;
  uint64_t total = 0;                    // occurrences
  std::vector<uint64_t> key_count;       // occurrences of each key
  std::vector<std::string> key_id;       // word id of each key
  std::vector<uint32_t> id_order;        // the keys in the order of their word ids
  std::vector<uint32_t> id_rank;         // the place of each key in id_order
  std::vector<uint32_t> first_spelling;  // each key's spelling at its first occurrence
};

/// One occurrence with everything an output page shows of it.
struct Occurrence {
  std::string_view page;
  long long line = 0;    // 1-based
  long long column = 0;  // 1-based, in bytes
  std::string_view word;
  std::string_view word_id;
  long long number = 0;        // occurrence number of the word, from 1
  std::string_view next_page;  // next page holding the word; empty on its last page
};

/// Word ids of the keys.
void NumberWords(WordLists* lists);

/// Every page's slice of kNextPageFile.
void FindNextPages(WordLists* lists);

/// The word id text of a position: "id" and 8 digits (more when the number needs them).
std::string WordIdText(uint64_t position);

#endif  // INDEXER_WORD_LISTS_H_
