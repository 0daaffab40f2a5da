#include "formulas/table_answers.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

TEST(TableAnswers, StartRowFromAnswer) {
  constexpr long long kMax = std::numeric_limits<long long>::max();
  constexpr long long kMin = std::numeric_limits<long long>::min();
  struct Row {
    const char* item;
    long long expected;
  };
  const Row rows[] = {
      {"3", 3},
      {"1", 1},
      {"0", 0},
      {"-5", -5},
      {"+7", 7},
      {"3.4", 3},
      {"3.5", 4},
      {"-2.5", -3},
      {".6", 1},
      {"3 4", 3},     // the item ends at a blank
      {"12\tx", 12},  // and at a tab
      {"abc", 0},     // no number
      {"3abc", 0},    // not a number as a whole
      {"", 0},        //
      {" ", 0},       //
      {"-", 0},       //
      {"1e5", 0},     // no exponents
      {"99999999999999999999", kMax},
      {"-99999999999999999999", kMin},
      {"9223372036854775807", kMax},
      {"123456789012", 123456789012},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, StartRowFromAnswer(row.item)) << "item '" << row.item << "'";
  }
}

TEST(TableAnswers, HugeDigitStringIsClamped) {
  EXPECT_EQ(std::numeric_limits<long long>::max(), StartRowFromAnswer(std::string(5000, '9')));
}
