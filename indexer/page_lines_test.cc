#include "indexer/page_lines.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/test_util.h"

namespace {

const std::string kNbsp4 = "&nbsp;&nbsp;&nbsp;&nbsp;";

TEST(ReshapePageLine, OrdinaryLines) {
  struct Case {
    std::string input;
    std::optional<std::string> expected;  // nullopt: dropped
  } cases[] = {
      {"    word", "<br>" + kNbsp4 + "    word"},
      {"<br>already", "<br>already"},
      {"<BR>upper", "<br><BR>upper"},  // the break test is case-sensitive
      {"plain text", "<br>plain text"},
      {"", "<br>"},
      {"     ", "<br>"},
      {"trailing   ", "<br>trailing"},
      {"  <br>x", "<br>&nbsp;&nbsp;  <br>x"},  // the indent comes before the old break
      {"a\tb\t", "<br>ab"},
      {std::string("n\0u\x01l\x0f\x10", 7), "<br>nul\x10"},
      {"caf\xc3\xa9 \x80\xff", "<br>caf\xc3\xa9 \x80\xff"},
      {"<pre>code", std::nullopt},
      {"   <pre>   ", std::nullopt},
      {"text <pre> more", std::nullopt},
      {"   </pre>   ", std::nullopt},
      {"</pre>after", "<br></pre>after"},
      {"<PRE>shout", "<br><PRE>shout"},
      {"<table>", "<br><table>"},  // no blank after the tag name: no table mode
      {"<table border=1></table>", "<br><table border=1></table>"},
  };
  for (const Case& c : cases) {
    bool in_table = false;
    BlockState blocks;
    EXPECT_EQ(c.expected, ReshapePageLine(c.input, &in_table, &blocks)) << Visible(c.input);
    EXPECT_FALSE(in_table) << Visible(c.input);
  }
}

TEST(ReshapePageLine, TableModeCarriesFromLineToLine) {
  struct Step {
    std::string input;
    std::optional<std::string> expected;
    bool in_table_after;
  } steps[] = {
      {"before", "<br>before", false},
      {"  <TABLE class=\"t\">  ", "  <TABLE class=\"t\">", true},  // the opening line is raw
      {"\t<td>cell</td>\t  ", "\t<td>cell</td>\t", true},
      {"    indented", "    indented", true},
      {std::string("bin\x01", 4), std::string("bin\x01", 4), true},
      {"<pre>", std::nullopt, true},
      {"", "", true},
      {"  </table>", "<br>&nbsp;&nbsp;  </table>", false},  // the closing line is ordinary
      {"\tafter", "<br>after", false},
  };
  bool in_table = false;
  BlockState blocks;
  for (const Step& s : steps) {
    EXPECT_EQ(s.expected, ReshapePageLine(s.input, &in_table, &blocks)) << Visible(s.input);
    EXPECT_EQ(s.in_table_after, in_table) << Visible(s.input);
  }
}

// The lines of script and style blocks keep their bytes, so that they still work in a
// browser. The blocks are the ones the word scan later finds on the lines as written.
TEST(ReshapePageLine, ScriptAndStyleBlocksPassAsTheyStand) {
  struct Step {
    std::string input;
    std::optional<std::string> expected;
    bool in_block;  // as the word scan sees the written line
  } steps[] = {
      {"text", "<br>text", false},
      {"  <script>  ", "  <script>", true},
      {"\tvar a = 1;", "\tvar a = 1;", true},
      {"  if (a < 2) f(\x01);", "  if (a < 2) f(\x01);", true},
      {"<pre>", std::nullopt, false},  // dropped as ever, unseen by the scan
      {"</script> tail", "</script> tail", true},
      {"  after", "<br>&nbsp;&nbsp;  after", false},
      {"<SCRIPT>", "<br><SCRIPT>", false},  // the script test minds letter case
      {"javascript <script>", "<br>javascript <script>", false},  // the first "script" counts
      {"<Style type=\"text/css\">", "<Style type=\"text/css\">", true},
      {"\tp { color: red }", "\tp { color: red }", true},
      {"</STYLE>", "</STYLE>", true},
      {"<p style=\"x\"><style>", "<br><p style=\"x\"><style>", false},
      // Bytes that showing drops decide the tests on the shown line: such a line is shown.
      {"<\x01script>", "<br><script>", true},
      {"var b;", "var b;", true},
      {"</\x0fscript>", "<br></script>", true},
      {"x", "<br>x", false},
      // Table lines are written as they stand anyway, and move the block state too.
      {"<table border=1><script>", "<table border=1><script>", true},
      {"</table>", "</table>", true},
      {"</script>", "</script>", true},
      {"y", "<br>y", false},
  };
  bool in_table = false;
  BlockState blocks;
  BlockState scanned;
  for (const Step& s : steps) {
    std::optional<std::string> written = ReshapePageLine(s.input, &in_table, &blocks);
    EXPECT_EQ(s.expected, written) << Visible(s.input);
    if (written) {
      EXPECT_EQ(s.in_block, InScriptOrStyleBlock(*written, &scanned)) << Visible(*written);
    }
    EXPECT_EQ(scanned, blocks) << Visible(s.input);
  }
}

}  // namespace
