#ifndef LISTSTRUCT_CHAPTER_TABLE_H_
#define LISTSTRUCT_CHAPTER_TABLE_H_

/// The chapter table: one row per chapter line of list_03.txt, in file order, with its
/// old mark, its line, and its new number and indentation after renumbering. It is built
/// from list_03.txt, written out as list_03_chapters.txt with the structured text
/// list_03_list.txt, and kept in memory for the HTML rendering.

#include <string>
#include <string_view>
#include <vector>

struct ChapterRow {
  std::string mark;        // as found; after renumbering always with a trailing full stop
  long long line_number;   // 1-based line of list_03.txt
  int indentation = 0;     // 2 blanks per level of the new number
  std::string new_number;  // "1.", "1.2", "1.2.3"
  std::vector<std::string> components;  // as many as the mark needs: no fixed limit
};
using ChapterTable = std::vector<ChapterRow>;

/// A trimmed line is a chapter line when it holds a blank and its first word has at least
/// one full stop and nothing but full stops and the digits 0-9: "1. x", "2.1 x", "3.5 kg".
bool IsChapterLine(std::string_view trimmed);

/// The texts between the full stops of a mark, the first before the first full stop and
/// the last after the last one: "1." gives "1" and "", "1.2" gives "1" and "2".
std::vector<std::string> MarkComponents(std::string_view mark);

/// One row per chapter line of `list`, in file order: mark, line number, components.
ChapterTable ReadChapterRows(std::string_view list);

/// Gives every row its new number and indentation. Top-level rows (one full stop, at the
/// end) are numbered on from the first row; every other row goes one level below, beside
/// or above the row before it, as its depth (full stops in its mark) compares with that
/// row's. Marks get their trailing full stop. Rows may nest to any depth.
void RenumberChapters(ChapterTable* table);

/// list_03_chapters.txt: per row its non-empty fields (mark, line, indentation, new number,
/// components), each followed by two blanks, then two more blanks; then a line of two
/// blanks.
void WriteChapterDump(const ChapterTable& table, std::string_view out);

/// The structured text: every line of `list` indented by the indentation of the chapter it
/// belongs to, chapter lines carrying their new numbers, and cross-references
/// ("look_at: 2.1") pointed at the new number of the first row with that old mark.
void WriteStructuredText(const ChapterTable& table, std::string_view list, std::string_view out);

/// The whole phase over list_03.txt: table, renumbering, list_03_chapters.txt and
/// list_03_list.txt, with the interpreter's copies to sour_in.txt. An empty table means
/// the list has no chapter line; nothing is written then.
ChapterTable StructureChapters();

#endif  // LISTSTRUCT_CHAPTER_TABLE_H_
