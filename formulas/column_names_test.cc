#include "formulas/column_names.h"

#include <gtest/gtest.h>

#include <string>

TEST(ColumnNames, NameToNumberAndBack) {
  struct Row {
    const char* name;
    long long number;
    const char* canonical;
  };
  const Row rows[] = {
      {"A", 1, "A"},     {"h", 8, "H"},     {"Y", 25, "Y"},    {"Z", 26, "Z"},   {"AA", 27, "AA"},
      {"ay", 51, "AY"},  {"AZ", 52, "AZ"},  {"BA", 53, "BA"},  {"BZ", 78, "BZ"}, {"ZR", 694, "ZR"},
      {"zz", 702, "ZZ"}, {"  b  ", 2, "B"}, {"\tc\t", 3, "C"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.number, ColumnNumber(row.name)) << "name " << row.name;
    EXPECT_EQ(row.canonical, ColumnName(row.number)) << "number " << row.number;
  }
}

TEST(ColumnNames, EveryNumberSurvivesTheRoundTrip) {
  for (long long n = 1; n <= kLastColumnNumber; ++n) {
    std::string name = ColumnName(n);
    ASSERT_NE(kInvalidColumn, name) << n;
    EXPECT_EQ(n, ColumnNumber(name)) << n << " named " << name;
  }
}

TEST(ColumnNames, TextThatIsNoColumnHasNoNumber) {
  for (const char* text :
       {"", "   ", "1", "12", "ABC", "abcd", "A1", "1A", "A B", "@", "[", "`", "{", "\xC3\x84"}) {
    EXPECT_EQ(0, ColumnNumber(text)) << "text '" << text << "'";
  }
}

TEST(ColumnNames, NumbersOutsideTheColumnsAreInvalid) {
  for (long long n : {0LL, -1LL, -26LL, 703LL, 728LL, 1000000LL}) {
    EXPECT_EQ(kInvalidColumn, ColumnName(n)) << n;
  }
}

TEST(ColumnNames, ResultColumnsCountFromTheFreeArea) {
  struct Row {
    const char* free_area;
    int k;
    const char* expected;
  };
  const Row rows[] = {
      {"h", 1, "H"},
      {"h", 9, "P"},
      {"R", 9, "Z"},
      {"S", 9, "AA"},
      {"Y", 3, "AA"},
      {"ZR", 9, "ZZ"},
      {"ZS", 8, "ZZ"},
      {"ZS", 9, kInvalidColumn},
      {"", 1, kInvalidColumn},
      {"12", 2, kInvalidColumn},
      {"ABC", 1, kInvalidColumn},
      {"b", 0, kInvalidColumn},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, ResultColumn(row.free_area, row.k))
        << "free area '" << row.free_area << "', column " << row.k;
  }
}
