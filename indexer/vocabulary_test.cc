#include "indexer/vocabulary.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"

namespace {

// The order of fields as the quoted lines holding them compare, byte by byte.
bool LinesLess(const std::string& a, const std::string& b) {
  return QuotedRecord({a, "x"}) < QuotedRecord({b, "x"});
}

TEST(FieldOrder, QuotedFieldsCompareAsTheirLines) {
  const std::string fields[] = {"the", "the!", "the\x1f", "then", "The", "", "a", "the'", "\xff"};
  for (const std::string& a : fields) {
    for (const std::string& b : fields) {
      EXPECT_EQ(LinesLess(a, b), QuotedFieldLess(a, b)) << a << " | " << b;
    }
  }
}

TEST(FieldOrder, ColumnsCompareAsTheirRightAlignedFields) {
  const unsigned long long columns[] = {1,       9,       99999,   100000,   999999,
                                        1000000, 2000000, 9999999, 10000000, 123456789};
  for (unsigned long long a : columns) {
    for (unsigned long long b : columns) {
      EXPECT_EQ(LinesLess(RightAlign(std::to_string(a), 6), RightAlign(std::to_string(b), 6)),
                ColumnFieldLess(a, b))
          << a << " | " << b;
    }
  }
}

TEST(Vocabulary, SpellingsShareTheirKeyAndNbspIsNotFiled) {
  Vocabulary vocabulary;
  const uint32_t apple = vocabulary.Spelling("Apple");
  const uint32_t upper = vocabulary.Spelling("APPLE");
  EXPECT_EQ(apple, vocabulary.Spelling("Apple"));
  EXPECT_NE(apple, upper);
  EXPECT_EQ(vocabulary.KeyOf(apple), vocabulary.KeyOf(upper));
  EXPECT_EQ("apple", vocabulary.KeyText(vocabulary.KeyOf(apple)));
  EXPECT_EQ("APPLE", vocabulary.SpellingText(upper));
  EXPECT_EQ(Vocabulary::kNotFiled, vocabulary.KeyOf(vocabulary.Spelling("one&NBSP;two")));
  for (int i = 0; i < 5000; ++i) vocabulary.Spelling("w" + std::to_string(i));  // grows
  EXPECT_EQ(vocabulary.KeyOf(upper), vocabulary.KeyOf(vocabulary.Spelling("aPPLE")));
  EXPECT_EQ(5001u, vocabulary.key_count());  // "apple" and the 5000 words
  EXPECT_EQ(vocabulary.KeyOf(vocabulary.Spelling("zebra")),
            vocabulary.KeyOf(vocabulary.Spelling("ZEBRA")));
}

}  // namespace
