#include "formulas/table_answers.h"

#include <cmath>
#include <limits>

#include "common/console.h"
#include "common/text.h"

long long StartRowFromAnswer(std::string_view item) {
  std::string_view number = item.substr(0, item.find_first_of(" \t"));
  bool ok = false;
  double value = ParseNumber(number, &ok);
  if (!ok) return 0;
  // 2^63 is exact as a double; anything at or past it cannot be held.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return std::numeric_limits<long long>::max();
  if (value <= -kLimit) return std::numeric_limits<long long>::min();
  return std::llround(value);
}

TableAnswers AskTableQuestions() {
  TableAnswers answers;
  answers.group_column = ReadInputItem("Column name for creating groups = ");
  PrintLine();
  answers.data_column = ReadInputItem("Column name with data (sum) = ");
  PrintLine();
  PrintLine("Row number (start) with data must be row() > 1");
  answers.start_row = StartRowFromAnswer(ReadInputItem("Row number (start) with data cell = "));
  PrintLine();
  answers.free_area_column = ReadInputItem("Column name (start) with free area = ");
  return answers;
}
