#include "common/html_text.h"

#include <gtest/gtest.h>

namespace {

// Each form changes its own characters and no other: the callers' pages depend on the
// difference (a formula page shows '"' as typed, a list keeps its "&amp;").
TEST(HtmlText, EachFormEscapesOnlyItsOwnCharacters) {
  const std::string text = "a&b<c>d\"e%f'g\xc3\xa9";
  EXPECT_EQ("a&amp;b&lt;c&gt;d\"e%f'g\xc3\xa9", HtmlText(text));
  EXPECT_EQ("a&amp;b&lt;c&gt;d&quot;e%f'g\xc3\xa9", HtmlAttributeText(text));
  EXPECT_EQ("a&b&lt;c&gt;d\"e%f'g\xc3\xa9", HtmlWithoutTags(text));
  EXPECT_EQ("a&b<c>d%22e%f'g\xc3\xa9", HrefAddress(text));
  EXPECT_EQ("", HtmlAttributeText(""));
}

}  // namespace
