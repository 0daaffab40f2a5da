#ifndef FORMULAS_COLUMN_NAMES_H_
#define FORMULAS_COLUMN_NAMES_H_

#include <string>

/// Spreadsheet column names and numbers, both ways: A is 1, AA 27, ZZ 702.
long long ColumnNumber(const std::string& name);
std::string ColumnName(long long number);

#endif  // FORMULAS_COLUMN_NAMES_H_
