#include "liststruct/html_render.h"

#include <gtest/gtest.h>

#include "common/line_files.h"
#include "liststruct/chapter_table.h"
#include "liststruct/keyed_lines.h"
#include "tests/test_util.h"

namespace {

const std::vector<std::string> kHeader = {
    R"(<!DOCTYPE HTML=HTML PUBLIC=PUBLIC "-//W3C//DTD HTML 4.0 TRANSITIONAL//EN"="-//W3C//DTD HTML 4.0 Transitional//EN">)",
    "<html>",
    "<head>",
    R"(<meta HTTP-EQUIV="content-type" CONTENT="text/html; charset=UTF-8">)",
    "</head>",
    "<body>",
    "<pre>"};
const std::vector<std::string> kFooter = {"</pre>", "<br>", "</body>", "</html>"};
const char kTableOpen[] = R"(<table style="font-size:100%" table align="center" border="1">)";

struct Row {
  long long line_number;
  std::string new_number;
};

// The rows file as the chapter table leaves it for the renderer.
void WriteRows(const std::vector<Row>& rows) {
  LineWriter out(kChapterRowsFile);
  for (const Row& row : rows) out.WriteLine(NumberedLine(row.line_number, "2 " + row.new_number));
}

std::string WholePage(const std::vector<std::string>& body) {
  std::vector<std::string> lines = kHeader;
  lines.insert(lines.end(), body.begin(), body.end());
  lines.insert(lines.end(), kFooter.begin(), kFooter.end());
  return CrLf(lines);
}

struct HtmlCase {
  const char* name;
  std::vector<std::string> structured_text;
  std::vector<Row> rows;
  std::vector<std::string> expected_body;
};

TEST(HtmlRender, LineRules) {
  const HtmlCase cases[] = {
      {"angle brackets escaped, ampersands kept",
       {"a<b", "  x > y", "Tom & Jerry &amp;"},
       {},
       {"a&lt;b", "  x &gt; y", "Tom & Jerry &amp;"}},
      {"a bold line is copied unescaped, other markup is escaped",
       {"  <b>Note</b>  ", "<B>Loud</B>", "<b>a</b> tail", "<b>a</b><b>b</b>"},
       {},
       {"  <b>Note</b>  ", "<B>Loud</B>", "&lt;b&gt;a&lt;/b&gt; tail",
        "&lt;b&gt;a&lt;/b&gt;&lt;b&gt;b&lt;/b&gt;"}},
      {"only the first address is a link",
       {"see http://a.org and https://b.org"},
       {},
       {R"(see <a href="http://a.org">http://a.org</a> and https://b.org)"}},
      {"an address at the line end is followed by one blank",
       {"  go HTTP://A.org/x"},
       {},
       {R"(  go <a href="HTTP://A.org/x">HTTP://A.org/x</a> )"}},
      {"file addresses",
       {"  file:///home/a.txt here", "FILE:///b"},
       {},
       {R"(  <a href="file:///home/a.txt">file:///home/a.txt</a> here)",
        R"(<a href="FILE:///b">FILE:///b</a> )"}},
      {"a quote in an address does not end the href",
       {R"q(go http://x.org/"onmouseover="alert(1)"x now)q"},
       {},
       {R"q(go <a href="http://x.org/%22onmouseover=%22alert(1)%22x">)q"
        R"q(http://x.org/"onmouseover="alert(1)"x</a> now)q"}},
      {"an address keeps the escaped brackets around it",
       {"<http://a.org>"},
       {},
       {R"(&lt;<a href="http://a.org&gt;">http://a.org&gt;</a> )"}},
      {"the Animal example",
       {"  1. Animal", "    1.1 Cat", "    look_at: 1.1", "    look_at: 1."},
       {Row{1, "1."}, Row{2, "1.1"}},
       {R"(  <span style="color:blue"; ID="1."><b>1. Animal</b></span>)",
        R"(    <span style="color:blue"; ID="1.1"><b>1.1 Cat</b></span>)",
        R"(    look_at: <span><a href="#1.1"> 1.1</a></span>)",
        R"(    look_at: <span><a href="#1."> 1.</a></span>)"}},
      {"a cross-reference to a missing number is left out",
       {"  1. A", "  look_at: 9.9", "  LOOK_AT:", "  after"},
       {Row{1, "1."}},
       {R"(  <span style="color:blue"; ID="1."><b>1. A</b></span>)", "  after"}},
      {"a heading with an address is a plain line with a link",
       {"  1. Links http://a.org", "  look_at: 1."},
       {Row{1, "1."}},
       {R"(  1. Links <a href="http://a.org">http://a.org</a> )",
        R"(  look_at: <span><a href="#1."> 1.</a></span>)"}},
      {"a heading title is escaped; the first of two rows on one line wins",
       {"  1. a<b"},
       {Row{1, "1."}, Row{1, "7."}},
       {R"(  <span style="color:blue"; ID="1."><b>1. a&lt;b</b></span>)"}},
      {"the line counter follows bold, address, dropped and table lines",
       {"<b>x</b>", "http://a", "look_at: 5.", "table_start: T<1>", "column: C", "<i>c</i>",
        "table_end:", "  2. B"},
       {Row{8, "2."}},
       {"<b>x</b>", R"(<a href="http://a">http://a</a> )", kTableOpen,
        "<caption><b>T&lt;1&gt;</b></caption>", "<tr>", "<th>C</th>", "</tr>", "<tr>",
        "<td><i>c</i></td>", "</tr>", " </table>",
        R"(  <span style="color:blue"; ID="2."><b>2. B</b></span>)"}},
      {"a table without end line takes the rest of the list",
       {"  1. A", "  table_start:", "  column: C", "  2. B"},
       {Row{1, "1."}, Row{4, "2."}},
       {R"(  <span style="color:blue"; ID="1."><b>1. A</b></span>)", kTableOpen, "<tr>",
        "<th>C</th>", "</tr>", "<tr>", "<td>2. B</td>", "</tr>", " </table>"}},
      {"an empty list gives the frame only", {}, {Row{1, "1."}}, {}},
  };
  for (const HtmlCase& c : cases) {
    ScopedWorkDir dir;
    WriteBytes("list_03_list.txt", CrLf(c.structured_text));
    WriteRows(c.rows);
    RenderHtml();
    EXPECT_EQ("", FirstDifference(WholePage(c.expected_body), ReadBytes(kHtmlOutputFile)))
        << c.name;
  }
}

TEST(HtmlRender, ReadsAFreshCopyAndCutsTheTable) {
  ScopedWorkDir dir;
  WriteBytes("list_03_utf.txt", CrLf({"stale"}));
  const std::vector<std::string> list = {"  1. A", "  table_start: T", "  column: C",
                                         "  1",    "  table_end:",     "  end"};
  WriteBytes("list_03_list.txt", CrLf(list));
  WriteRows({{1, "1."}});
  RenderHtml();
  EXPECT_EQ(CrLf(list), ReadBytes("list_03_utf.txt"));
  EXPECT_EQ(CrLf({"  table_start: T", "  column: C", "  1", "  table_end:"}),
            ReadBytes("list_03_table.txt"));
}

TEST(HtmlBodyCopy, DropsOnlyTheWrapperTagLines) {
  ScopedWorkDir dir;
  WriteBytes(kHtmlOutputFile, CrLf({"<html>", "<BODY>", " <pre> ", "  1. <b>x</b>", "<pre> kept",
                                    "</Pre>", "<br>", "</body>", "</html>"}));
  WriteHtmlBodyCopy();
  EXPECT_EQ(CrLf({"<html>", "  1. <b>x</b>", "<pre> kept", "<br>", "</html>"}),
            ReadBytes("list_03_com_ndx.txt"));
}

}  // namespace
