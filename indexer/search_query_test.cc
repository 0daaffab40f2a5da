#include "indexer/search_query.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SearchQueryPart, ChangesOnlyWhatWouldChangeTheQuery) {
  struct Case {
    std::string text;
    std::string markup;  // the words of a page
    std::string plain;   // a typed address
  } cases[] = {
      {"Alpha beta caf\xc3\xa9 <b> ", "Alpha beta caf\xc3\xa9 <b> ", "Alpha beta caf\xc3\xa9 <b> "},
      {"#![allow(unused)] ", "%23![allow(unused)] ", "%23![allow(unused)] "},
      {"compute(input: &amp;u32) ", "compute(input: %26u32) ", "compute(input: %26amp;u32) "},
      {"a+b 100% \"x\" tab\there", "a%2Bb 100%25 %22x%22 tab%09here",
       "a%2Bb 100%25 %22x%22 tab%09here"},
      {"AT&T &lt;b&gt; &nbsp;x &copy; ", "AT%26T &lt;b&gt; &nbsp;x &copy; ",
       "AT%26T %26lt;b%26gt; %26nbsp;x %26copy; "},
      {"&#35;1 &#x26;&#X2b; &#37 &#9; ", "%231 %26%2B %25 %09 ", ""},
      {"&#; &#x; &# &", "%26%23; %26%23x; %26%23 %26", ""},
      {"&amp &amp= &ampx &AMP; ", "%26 %26amp= %26ampx %26 ", ""},
      {"&num;&plus;&percnt;&Tab;&NewLine; ", "%23%2B%25%09%0A ", ""},
      {"&quot;&#34; ", "&quot;&#34; ", ""},  // a quote a reference stands for ends nothing
      // The older names are read without ';' too, unless a letter, digit or '=' follows.
      {"format&sup1. &copy 2024 &AElig&yuml", "format&sup1. &copy 2024 &AElig&yuml",
       "format%26sup1. %26copy 2024 %26AElig%26yuml"},
      {"&copyx &times= &sup12 &notin &Copy &nbsp&#43;",
       "%26copyx %26times= %26sup12 %26notin %26Copy &nbsp%2B", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.markup, SearchQueryPart(c.text, QueryText::kMarkup)) << c.text;
    if (!c.plain.empty()) {
      EXPECT_EQ(c.plain, SearchQueryPart(c.text, QueryText::kPlain)) << c.text;
    }
  }
}

}  // namespace
