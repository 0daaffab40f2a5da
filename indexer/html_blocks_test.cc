#include "indexer/html_blocks.h"

#include <gtest/gtest.h>

namespace {

TEST(FirstFollowsLt, BodyTagInAnyCase) {
  struct Case {
    const char* line;
    bool holds;
  };
  const Case cases[] = {
      {"<body>", true},
      {"<BODY bgcolor=\"white\">", true},
      {"text <Body>more", true},
      {"</body>", false},
      {"nobody <body>", false},
      {"body", false},
      {"", false},
      {"<html>", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.holds, FirstFollowsLt(c.line, "body", true)) << c.line;
}

}  // namespace
