#include "common/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, SignedNumbersPutABlankForThePlusSign) {
  EXPECT_EQ(" 0", SignedNumber(0));
  EXPECT_EQ(" 34", SignedNumber(34));
  EXPECT_EQ("-7", SignedNumber(-7));
}

TEST(Text, AlignmentAndPadding) {
  EXPECT_EQ("         1", RightAlign("1", 10));
  EXPECT_EQ("1234567", RightAlign("1234567", 6));  // longer numbers are written in full
  EXPECT_EQ("007", ZeroPadded(7, 3));
  EXPECT_EQ("1234", ZeroPadded(1234, 2));
}

TEST(Text, TrimmingTouchesBlanksOnly) {
  EXPECT_EQ("a b", TrimSpaces("  a b  "));
  EXPECT_EQ("\ta\t", TrimSpaces(" \ta\t "));
  EXPECT_EQ("", TrimSpaces("   "));
  EXPECT_EQ("x  ", TrimLeftSpaces("  x  "));
  EXPECT_EQ("  x", TrimRightSpaces("  x  "));
}

TEST(Text, CaseChangesOnlyAsciiLetters) {
  EXPECT_EQ("abc\xC3\x89z", LowerAscii("AbC\xC3\x89Z"));
  EXPECT_EQ("ABC\xC3\xA9Z", UpperAscii("abc\xC3\xA9z"));
}

// Empty fields count: a trailing ':' in PATH names the current folder.
TEST(Text, SplitFieldsKeepsEmptyFields) {
  using Fields = std::vector<std::string>;
  EXPECT_EQ((Fields{""}), SplitFields("", ':'));
  EXPECT_EQ((Fields{"a"}), SplitFields("a", ':'));
  EXPECT_EQ((Fields{"/bin", ""}), SplitFields("/bin:", ':'));
  EXPECT_EQ((Fields{"", "a", "", "b"}), SplitFields(":a::b", ':'));
}

TEST(Text, QuotedRecordQuotesEveryField) {
  EXPECT_EQ("\"Word\",\"page_01.htm\",\"         3\",\"\"",
            QuotedRecord({"Word", "page_01.htm", "         3", ""}));
}

TEST(Text, NumbersFromText) {
  struct Case {
    const char* text;
    double prefix;  // value of the longest numeric prefix
    double whole;   // value when the whole text is a number, else 0
    bool ok;
  } cases[] = {
      {"12", 12, 12, true}, {"1.2 Cat", 1.2, 0, false}, {"2024 was", 2024, 0, false},
      {"abc", 0, 0, false}, {"", 0, 0, false},          {"  -3", -3, -3, true},
      {"+3", 3, 3, true},   {"2.5", 2.5, 2.5, true},    {".5", 0.5, 0.5, true},
      {"3 4", 3, 0, false}, {"-", 0, 0, false},         {"1.", 1, 1, true},
  };
  for (const Case& c : cases) {
    bool ok = !c.ok;
    EXPECT_DOUBLE_EQ(c.prefix, NumericPrefix(c.text)) << c.text;
    EXPECT_DOUBLE_EQ(c.whole, ParseNumber(c.text, &ok)) << c.text;
    EXPECT_EQ(c.ok, ok) << c.text;
  }
  EXPECT_GT(ParseNumber(std::string(400, '9')), 1e299);  // huge, not 0 or infinite
}

}  // namespace
