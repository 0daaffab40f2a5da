#ifndef LISTSTRUCT_CHAPTER_SORT_H_
#define LISTSTRUCT_CHAPTER_SORT_H_

/// Top-level chapter sorting: the edited list "list_01.txt" becomes "list_03.txt", the same
/// list with its top-level chapters ordered by title and numbered 1, 2, 3 ..., each chapter
/// carrying its body lines. Lines are handled trimmed of blanks; lengths count bytes.

#include <string>
#include <string_view>
#include <vector>

/// A trimmed line is a top-level chapter line when its first word (the text before its
/// first blank) ends with a full stop and holds no other: "3. x", "Mr. Smith", not "1.2 x",
/// "A1.2. x" or a mark alone ("3.").
bool IsTopLevelChapterLine(std::string_view trimmed);

/// Pass 1: numbers the top-level chapter lines of `in` 1, 2, 3 ... in place of whatever
/// stood before their full stop, writing `out`; returns their count. A UTF-8 byte-order
/// mark at the start of the file is dropped: it is no text of the first line.
long long RenumberTopLevelChapters(std::string_view in, std::string_view out);

/// Pass 2: shrinks every run of empty lines to one and puts exactly one empty line before
/// every top-level chapter line. Returns the byte length of the longest trimmed line.
size_t NormaliseBlankLines(std::string_view in, std::string_view out);

/// The sort record of chapter `number`: the title blank-padded to `width` bytes, then the
/// number and a full stop right-aligned in 11 characters, each field in double quotes.
std::string SortRecord(std::string_view title, long long number, size_t width);

/// The chapter number a sort record names, read from its last quoted field so that a title
/// holding double quotes cannot shift it; 0 when that field is no chapter number.
long long SortRecordNumber(std::string_view record);

/// Pass 3: one sort record per top-level chapter of `list` (as pass 2 left it).
void WriteSortRecords(std::string_view list, std::string_view records, size_t width);

/// The progress lines due just before the k-th of n sorted chapters is written out.
std::vector<std::string> ReassemblyProgress(long long k, long long n);

/// Pass 4: writes the chapters of `list` in the order of the sorted records, the k-th
/// numbered "k. ", each with its body (every line up to the next top-level chapter), and
/// prints the progress lines. Lines before the first chapter are left out.
void ReassembleChapters(std::string_view sorted_records, std::string_view list,
                        std::string_view out, long long chapter_count);

/// Passes 1 to 4 with their messages and commands, from "list_01.txt" to "list_03.txt".
/// Returns the number of top-level chapters.
long long SortTopLevelChapters();

#endif  // LISTSTRUCT_CHAPTER_SORT_H_
