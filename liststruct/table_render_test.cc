#include "liststruct/table_render.h"

#include <gtest/gtest.h>

#include "common/line_files.h"
#include "tests/test_util.h"

namespace {

const char kTableOpen[] = R"(<table style="font-size:100%" table align="center" border="1">)";

struct TableCase {
  const char* name;
  std::string caption;
  std::vector<std::string> block;  // the start line first, as cut from the list
  std::vector<std::string> expected;
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(TableRender, BlocksBecomeTables) {
  const TableCase cases[] = {
      {"prices with right-aligned cost",
       "Prices",
       {"  table_start: Prices", "  column: Item", "  apple", "  pear", "  column: Cost",
        "  align: right", "  3", "  4", "  table_end:"},
       {kTableOpen, "<caption><b>Prices</b></caption>", "<tr>", "<th>Item</th>", "<th>Cost</th>",
        "</tr>", "<tr>", "<td>apple</td>", R"(<td align="right">3</td>)", "</tr>", "<tr>",
        "<td>pear</td>", R"(<td align="right">4</td>)", "</tr>", " </table>"}},
      {"shorter column padded without alignment",
       "",
       {"table_start:", "column: A", "align: center", "1", "column: B", "x", "y", "table_end:"},
       {kTableOpen, "<tr>", "<th>A</th>", "<th>B</th>", "</tr>", "<tr>",
        R"(<td align="center">1</td>)", "<td>x</td>", "</tr>", "<tr>", "<td></td>", "<td>y</td>",
        "</tr>", " </table>"}},
      {"no header texts gives no header row",
       "",
       {"table_start: ", "column:", "a", "column: ", "b", "table_end:"},
       {kTableOpen, "<tr>", "<td>a</td>", "<td>b</td>", "</tr>", " </table>"}},
      {"no column line gives only the frame",
       "Empty",
       {"table_start: Empty", "stray", "lines", "table_end:"},
       {kTableOpen, "<caption><b>Empty</b></caption>", " </table>"}},
      {"column line after column line is a cell",
       "",
       {"table_start:", "column: A", "column: B", "x", "table_end:"},
       {kTableOpen, "<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>column: B</td>", "</tr>", "<tr>",
        "<td>x</td>", "</tr>", " </table>"}},
      {"end line after column line is no cell",
       "",
       {"table_start:", "column: A", "1", "column: B", "table_end:"},
       {kTableOpen, "<tr>", "<th>A</th>", "<th>B</th>", "</tr>", "<tr>", "<td>1</td>", "<td></td>",
        "</tr>", " </table>"}},
      {"align line not after column line is a cell; lines before the first column ignored",
       "",
       {"table_start:", "ignored", "column: A", "1", "align: left", "", "table_end:"},
       {kTableOpen, "<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>1</td>", "</tr>", "<tr>",
        "<td>align: left</td>", "</tr>", "<tr>", "<td></td>", "</tr>", " </table>"}},
      {"keywords in any case, align value lower-cased, cells raw and trimmed",
       "",
       {"TABLE_START:", "  COLUMN: Name  ", "Align: RIGHT", "  <i>a&b</i>  ", "Table_End: x"},
       {kTableOpen, "<tr>", "<th>Name</th>", "</tr>", "<tr>",
        R"(<td align="right"><i>a&b</i></td>)", "</tr>", " </table>"}},
      {"missing end line runs to the end",
       "",
       {"table_start:", "column: A", "1", "  2. Next chapter"},
       {kTableOpen, "<tr>", "<th>A</th>", "</tr>", "<tr>", "<td>1</td>", "</tr>", "<tr>",
        "<td>2. Next chapter</td>", "</tr>", " </table>"}},
      {"column line as the last line",
       "",
       {"table_start:", "column: A"},
       {kTableOpen, "<tr>", "<th>A</th>", "</tr>", " </table>"}},
  };
  for (const TableCase& c : cases) {
    EXPECT_EQ(Joined(c.expected), Joined(RenderTableBlock(c.caption, c.block))) << c.name;
  }
}

TEST(TableRender, CutStopsAfterEndLineAndWritesTheBlock) {
  ScopedWorkDir dir;
  WriteBytes("list.txt", CrLf({"column: A", "1", " TABLE_END: ", "after"}));
  LineReader input("list.txt");
  std::vector<std::string> block = CutTableBlock("table_start: T", &input);
  EXPECT_EQ(Joined({"table_start: T", "column: A", "1", " TABLE_END: "}), Joined(block));
  EXPECT_EQ(CrLf(block), ReadBytes(kTableBlockFile));
  std::string rest;
  ASSERT_TRUE(input.Next(&rest));
  EXPECT_EQ("after", rest);
}

TEST(TableRender, CutWithoutEndLineTakesTheRest) {
  ScopedWorkDir dir;
  WriteBytes("list.txt", CrLf({"column: A", "1", "2"}));
  LineReader input("list.txt");
  std::vector<std::string> block = CutTableBlock("table_start:", &input);
  EXPECT_EQ(4u, block.size());
  EXPECT_EQ(CrLf({"table_start:", "column: A", "1", "2"}), ReadBytes(kTableBlockFile));
  std::string rest;
  EXPECT_FALSE(input.Next(&rest));
}

}  // namespace
