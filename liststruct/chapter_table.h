#ifndef LISTSTRUCT_CHAPTER_TABLE_H_
#define LISTSTRUCT_CHAPTER_TABLE_H_

/// The chapter table: one row per chapter line of list_03.txt, in file order, with its
/// old mark, its line, and its new number and indentation after renumbering. The rows are
/// numbered as they are read and go to work files, never held together in memory, so that
/// a list of any length is structured in bounded memory; cross-references find their rows
/// through a sorted file of marks.

#include <string>
#include <string_view>
#include <vector>

#include "common/line_files.h"

struct ChapterRow {
  std::string mark;           // as found; after numbering always with a trailing full stop
  long long line_number = 0;  // 1-based line of list_03.txt
  int indentation = 0;        // 2 blanks per level of the new number
  std::string new_number;     // "1.", "1.2", "1.2.3"
  std::vector<std::string> components;  // as many as the mark needs: no fixed limit
};

/// The rows as the later phases read them: a work file of NumberedLine lines (keyed_lines.h),
/// one per row in line order, whose value is the indentation, a blank and the new number.
/// StructureChapters writes it; whoever reads it last deletes it.
inline constexpr char kChapterRowsFile[] = "list_03_rows.tmp";

/// The new number of a value of the rows file.
inline std::string_view NewNumberOfRow(std::string_view value) {
  size_t blank = value.find(' ');
  return blank == std::string_view::npos ? std::string_view() : value.substr(blank + 1);
}

/// A trimmed line is a chapter line when it holds a blank and its first word has at least
/// one full stop and nothing but full stops and the digits 0-9: "1. x", "2.1 x", "3.5 kg".
bool IsChapterLine(std::string_view trimmed);

/// The texts between the full stops of a mark, the first before the first full stop and
/// the last after the last one: "1." gives "1" and "", "1.2" gives "1" and "2".
std::vector<std::string> MarkComponents(std::string_view mark);

/// Numbers the rows of a list one at a time, in file order, holding only the row before.
/// Top-level rows (one full stop, at the end) are numbered on from the first row; every
/// other row goes one level below, beside or above the row before it, as its depth (full
/// stops in its mark) compares with that row's. Rows may nest to any depth.
class ChapterNumbering {
 public:
  /// Gives `row` (mark, line number and components as found) its trailing full stop, its
  /// new number and its indentation.
  void Number(ChapterRow* row);

 private:
  bool first_ = true;
  std::string top_number_;
  std::vector<std::string> previous_components_;
  int previous_depth_ = 0;
};

/// The two lines of a row in list_03_chapters.txt: its non-empty fields (mark, line,
/// indentation, new number, components), each followed by two blanks, then two more blanks;
/// then a line of two blanks.
void WriteChapterDump(const ChapterRow& row, LineWriter* out);

/// The whole phase over list_03.txt: rows, numbering, list_03_chapters.txt, the rows file
/// and the structured text list_03_list.txt, with the interpreter's copies to sour_in.txt.
/// Every line of the structured text is indented by the indentation of the chapter it
/// belongs to, chapter lines carry their new numbers, and cross-references ("look_at: 2.1")
/// are pointed at the new number of the first row with that old mark. Returns the number
/// of chapter lines; with none, nothing is written.
long long StructureChapters();

#endif  // LISTSTRUCT_CHAPTER_TABLE_H_
