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
    ScopedWorkDir dir;
    WriteBytes("list.txt", CrLf(std::vector<std::string>(c.block.begin() + 1, c.block.end())));
    LineReader input("list.txt");
    {
      LineWriter out("table.htm");
      EXPECT_EQ(static_cast<long long>(c.block.size()),
                RenderTableBlock(c.block[0], c.caption, &input, &out))
          << c.name;
    }
    EXPECT_EQ(CrLf(c.expected), ReadBytes("table.htm")) << c.name;
    EXPECT_EQ(CrLf(c.block), ReadBytes(kTableBlockFile)) << c.name;
  }
}

TEST(TableRender, LargeBlockKeepsRowOrder) {
  // Enough cells that they are sorted through run files: rows must still come out in order.
  ScopedWorkDir dir;
  const long long kRows = 70000;
  std::vector<std::string> block = {"column: A", "align: right"};
  for (long long r = 0; r < kRows; ++r) block.push_back("a" + std::to_string(r));
  block.push_back("column: B");
  for (long long r = 0; r < kRows / 2; ++r) block.push_back("b" + std::to_string(r));
  block.push_back("table_end:");
  block.push_back("after");
  WriteBytes("list.txt", CrLf(block));
  LineReader input("list.txt");
  {
    LineWriter out("table.htm");
    EXPECT_EQ(static_cast<long long>(block.size()),
              RenderTableBlock("table_start:", "", &input, &out));
  }
  std::string rest;
  ASSERT_TRUE(input.Next(&rest));
  EXPECT_EQ("after", rest);
  std::vector<std::string> html = ReadAllLines("table.htm");
  ASSERT_EQ(static_cast<size_t>(6 + 4 * kRows), html.size());
  for (long long r : {0LL, 1LL, 9LL, 10LL, kRows / 2 - 1, kRows / 2, kRows - 1}) {
    size_t at = static_cast<size_t>(5 + 4 * r);
    EXPECT_EQ("<td align=\"right\">a" + std::to_string(r) + "</td>", html[at + 1]) << r;
    EXPECT_EQ(r < kRows / 2 ? "<td>b" + std::to_string(r) + "</td>" : "<td></td>", html[at + 2])
        << r;
  }
}

}  // namespace
