#ifndef LISTSTRUCT_CHAPTER_TABLE_H_
#define LISTSTRUCT_CHAPTER_TABLE_H_

/// The chapter table: one row per chapter line of list_03.txt, in file order, with its
/// old mark, its line, and its new number and indentation after renumbering. It is built
/// from list_03.txt, written out as list_03_chapters.txt with the structured text
/// list_03_list.txt, and kept in memory for the HTML rendering.

#include <string>
#include <vector>

struct ChapterRow {
  std::string mark;        // as found; after renumbering always with a trailing full stop
  long long line_number;   // 1-based line of list_03.txt
  int indentation = 0;     // 2 blanks per level of the new number
  std::string new_number;  // "1.", "1.2", "1.2.3"
  std::vector<std::string> components;  // as many as the mark needs: no fixed limit
};
using ChapterTable = std::vector<ChapterRow>;

#endif  // LISTSTRUCT_CHAPTER_TABLE_H_
