#ifndef FORMULAS_TABLE_ANSWERS_H_
#define FORMULAS_TABLE_ANSWERS_H_

/// The four answers that describe the user's table, and how they are asked for.

#include <string>
#include <string_view>

struct TableAnswers {
  std::string group_column;      // as typed
  std::string data_column;       // as typed
  long long start_row = 0;       // first row holding data
  std::string free_area_column;  // as typed: first free column right of the table
};

/// The start row from its input item: the item ends at the first blank or tab; a number
/// is rounded to the nearest integer (halves away from zero) and clamped to what a
/// long long holds; text that is not a number gives 0.
long long StartRowFromAnswer(std::string_view item);

/// Asks the four questions on the console, in order, with the advice line before the
/// start row. At end of input the remaining answers are empty.
TableAnswers AskTableQuestions();

#endif  // FORMULAS_TABLE_ANSWERS_H_
