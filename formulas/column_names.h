#ifndef FORMULAS_COLUMN_NAMES_H_
#define FORMULAS_COLUMN_NAMES_H_

/// Spreadsheet column names and numbers, both ways: A is 1, Z 26, AA 27, AZ 52, ZZ 702.
/// Only one- and two-letter names exist; anything else is not a column.

#include <string>
#include <string_view>

/// Written wherever a column cannot be named, so that a formula built from a bad answer
/// is plainly broken instead of pointing at a column that looks right.
inline constexpr char kInvalidColumn[] = "#INVALID";

inline constexpr long long kLastColumnNumber = 702;  // ZZ

/// The number of a name of one or two ASCII letters (any case, surrounding blanks and tabs
/// ignored); 0 for anything else (empty, digits, three or more letters).
long long ColumnNumber(std::string_view name);

/// The upper-case name of a column number from 1 to 702; kInvalidColumn outside that range.
std::string ColumnName(long long number);

/// The k-th result column (k from 1): the column `k - 1` places right of `free_area`.
/// kInvalidColumn when `free_area` is no column name or the column would pass ZZ.
std::string ResultColumn(std::string_view free_area, int k);

#endif  // FORMULAS_COLUMN_NAMES_H_
