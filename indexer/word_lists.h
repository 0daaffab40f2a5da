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
/// - Page groups: the pages cut, in page order, into groups small enough for a browser to open
///   each group's word index page and search page quickly (CutPageGroups).
/// - The output pages (occurrence_pages.h): one walk over the pages in order
///   (occurrence_walk.h) numbers the occurrences, writes the search page and makes one word
///   index entry per word and page, put in word order by an external sort of records
///   (SortedRecords) when they outgrow memory, for the word index page. A second thread
///   takes the numbered occurrences in batches, decorates the pages and writes the
///   occurrence table.
///
/// Each step returns its own value; what the steps after it read is const.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "indexer/vocabulary.h"

/// The reshaped text of every page, one page after the other.
inline constexpr char kPageTextFile[] = "page_text.txt";
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

/// Where a page's text stands in kPageTextFile: the bytes [begin, end), which start and end
/// at line ends.
struct PageSource {
  long long begin = 0;
  long long end = 0;
};

/// Where each page's text stands, by page name.
using PageTexts = std::map<std::string, PageSource>;

/// A page that holds words, and where its records stand in the occurrence file.
struct PageWords {
  std::string name;  // as listed, lower-cased: page_0001.htm
  PageSource text;
  size_t first = 0;  // its first record
  size_t count = 0;
  uint32_t group = 1;  // its page group, numbered from 1 (CutPageGroups)
};

/// What the page scan found.
struct WordLists {
  /// The work file of the occurrence records (kOccurrenceFile); each page has its slice.
  std::string occurrence_file;
  Vocabulary vocabulary;
  /// Pages holding words, in page order (by name: page names are "page_" and digits of one
  /// width, so byte order, the sort command's order and the order of quoted fields agree).
  std::vector<PageWords> pages;
  uint64_t total = 0;               // occurrences
  std::vector<uint64_t> key_count;  // occurrences of each key
};

/// The word ids of the keys.
struct WordIds {
  std::vector<std::string> of_key;  // word id of each key
  std::vector<uint32_t> order;      // the keys in the order of their word ids
  std::vector<uint32_t> rank;       // the place of each key in `order`
};

/// A page's records in a record file: `count` of them from the `first`.
struct RecordSlice {
  size_t first = 0;
  size_t count = 0;
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

WordIds NumberWords(const WordLists& lists);

/// The next pages of the keys of every page, in a work file of records.
struct NextPages {
  std::string file;                  // kNextPageFile
  std::vector<RecordSlice> of_page;  // each page's slice of it, in page order
};

/// Reads the occurrence file and writes kNextPageFile: for each page, one page number per key
/// on the page (kNoPage on the key's last page), in order of the key's first occurrence there.
NextPages FindNextPages(const WordLists& lists);

/// The most occurrences a page group holds, unless one page alone holds more: the word index
/// page and the search page of a group this size are a few MB, which a browser opens in about
/// a second. The program's build uses it; a test build may cut smaller groups.
inline constexpr uint64_t kGroupOccurrences = 50000;

/// Cuts the pages, in page order, into groups numbered from 1: a group takes the next page
/// while its occurrences stay at or below `limit`; the page that would take it past starts the
/// next group, and a page that alone holds more is a group of its own.
WordLists CutPageGroups(WordLists lists, uint64_t limit);

/// The number of page groups: at least 1, the group of an empty page list.
uint32_t PageGroupCount(const WordLists& lists);

/// The word id text of a position: "id" and 8 digits (more when the number needs them).
std::string WordIdText(uint64_t position);

#endif  // INDEXER_WORD_LISTS_H_
