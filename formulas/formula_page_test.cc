#include "formulas/formula_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/config.h"
#include "formulas/column_names.h"
#include "tests/test_util.h"

namespace {

// The expected page, with the configured addresses put in for their placeholders.
std::vector<std::string> ExpectedPage(const std::string& case_name) {
  std::ifstream in(std::string(CASES_DIR) + "/cellorin/" + case_name + "/efg_cellorin.htm");
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    for (auto [placeholder, value] :
         {std::pair<std::string, std::string>{"{maker address}", kMakerSite},
          {"{product page address}", kProductPage}}) {
      for (size_t at; (at = line.find(placeholder)) != std::string::npos;) {
        line.replace(at, placeholder.size(), value);
      }
    }
    lines.push_back(line);
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

const TableAnswers kWorkedExample = {"b", "d", 3, "h"};

}  // namespace

TEST(FormulaPage, WorkedExampleWhole) {
  std::vector<std::string> expected = ExpectedPage("worked_example");
  ASSERT_GT(expected.size(), 100u) << "expected page not found";
  std::vector<std::string> actual = FormulaPageLines(kWorkedExample);
  EXPECT_EQ("", FirstDifference(Joined(expected), Joined(actual)));
}

TEST(FormulaPage, UpperCaseAnswersGiveTheSameFormulas) {
  TableAnswers upper = {"B", "D", 3, "H"};
  for (int step = 1; step <= kFormulaSteps; ++step) {
    EXPECT_EQ(StepFormula(kWorkedExample, step), StepFormula(upper, step)) << "step " << step;
    EXPECT_EQ(PlacementLine(kWorkedExample, step), PlacementLine(upper, step)) << "step " << step;
  }
}

TEST(FormulaPage, FormulasForOtherAnswers) {
  struct Row {
    const char* name;
    TableAnswers answers;
    int step;
    const char* formula;
    const char* placement;
  };
  const Row rows[] = {
      {"free area R ends at Z",
       {"b", "d", 3, "R"},
       9,
       "=VLOOKUP((ROW()-COUNT(U:U)-(3-1));U:W;3;FALSE())",
       "Copy formula in cell <b> Z </b> at the end of table + 1 row."},
      {"free area R, step 3",
       {"b", "d", 3, "r"},
       3,
       "=IF(AND(S3=1;R3<>0);R3;\"\")",
       "Copy formula in cell T3."},
      {"free area Y crosses into AA",
       {"b", "d", 3, "y"},
       4,
       "=COUNT(AA$3:AA3)",
       "Copy formula in cell AB3."},
      {"start row 1", {"b", "d", 1, "h"}, 2, "=COUNTIF(B$1:B1;B1)", "Copy formula in cell I1."},
      {"start row 1, step 7",
       {"b", "d", 1, "h"},
       7,
       "=ROW()-COUNT(K:K)-(1-1)",
       "Copy formula in cell <b> N </b> at the end of table + 1 row."},
      {"start row 0 from text",
       {"b", "d", StartRowFromAnswer("first"), "h"},
       1,
       "=SUMIF(B:B;B0;D:D)",
       "Copy formula in cell H0."},
      {"negative start row",
       {"b", "d", -5, "h"},
       4,
       "=COUNT(J$-5:J-5)",
       "Copy formula in cell K-5."},
      {"two-letter columns",
       {"aa", "ab", 10, "zr"},
       8,
       "=IF(VLOOKUP((ROW()-COUNT(ZU:ZU)-(10-1));ZU:ZW;2;FALSE())<>\"\";\"SUMIF(AA=\"&VLOOKUP(("
       "ROW()-COUNT(ZU:ZU)-(10-1));ZU:ZW;2;FALSE())&\";\"&\"AB\"&\")=\";\"\")",
       "Copy formula in cell <b> ZY </b> at the end of table + 1 row."},
      {"blanks around the answers",
       {"\tb\t", " d ", 3, "h\t"},
       1,
       "=SUMIF(B:B;B3;D:D)",
       "Copy formula in cell H3."},
      {"braces in an answer stay text",
       {"{r}", "{C1}", 3, "h"},
       1,
       "=SUMIF({R}:{R};{R}3;{C1}:{C1})",
       "Copy formula in cell H3."},
      {"empty free area",
       {"b", "d", 3, ""},
       3,
       "=IF(AND(#INVALID3=1;#INVALID3<>0);#INVALID3;\"\")",
       "Copy formula in cell #INVALID3."},
      {"digits as free area",
       {"b", "d", 3, "12"},
       6,
       "=#INVALID3",
       "Copy formula in cell #INVALID3."},
      {"three letters as free area",
       {"b", "d", 3, "abc"},
       7,
       "=ROW()-COUNT(#INVALID:#INVALID)-(3-1)",
       "Copy formula in cell <b> #INVALID </b> at the end of table + 1 row."},
      {"free area ZS passes ZZ only at step 9",
       {"b", "d", 3, "ZS"},
       9,
       "=VLOOKUP((ROW()-COUNT(ZV:ZV)-(3-1));ZV:ZX;3;FALSE())",
       "Copy formula in cell <b> #INVALID </b> at the end of table + 1 row."},
      {"free area ZS, step 8 still named",
       {"b", "d", 3, "ZS"},
       8,
       "=IF(VLOOKUP((ROW()-COUNT(ZV:ZV)-(3-1));ZV:ZX;2;FALSE())<>\"\";\"SUMIF(B=\"&VLOOKUP(("
       "ROW()-COUNT(ZV:ZV)-(3-1));ZV:ZX;2;FALSE())&\";\"&\"D\"&\")=\";\"\")",
       "Copy formula in cell <b> ZZ </b> at the end of table + 1 row."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.formula, StepFormula(row.answers, row.step)) << row.name;
    EXPECT_EQ(row.placement, PlacementLine(row.answers, row.step)) << row.name;
  }
}

TEST(FormulaPage, AnswersBlockEchoesTheAnswers) {
  struct Row {
    TableAnswers answers;
    std::vector<std::string> block;
  };
  const Row rows[] = {
      {{"b", "d", 3, "h"},
       {"Column name for creating group = B", "<br>", "Column name with data = D", "<br>",
        "Row number start with data cell =  3", "<br>", "Column name start with free area = h",
        "<br>"}},
      {{"", "", 0, ""},
       {"Column name for creating group = ", "<br>", "Column name with data = ", "<br>",
        "Row number start with data cell =  0", "<br>",
        "Column name start with free area = ", "<br>"}},
      {{"aB", "x y", -12, "Zr "},
       {"Column name for creating group = AB", "<br>", "Column name with data = X Y", "<br>",
        "Row number start with data cell = -12", "<br>", "Column name start with free area = Zr ",
        "<br>"}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> lines = FormulaPageLines(row.answers);
    auto first = std::find(lines.begin(), lines.end(), row.block[0]);
    ASSERT_NE(lines.end(), first) << row.block[0];
    std::vector<std::string> block(first, first + static_cast<long>(row.block.size()));
    EXPECT_EQ(row.block, block);
    EXPECT_EQ(std::string(20, '-'), *(first + static_cast<long>(row.block.size()) + 1));
  }
}

TEST(FormulaPage, AlwaysNineStepBlocks) {
  const TableAnswers answers[] = {
      {"", "", 0, ""},
      {std::string(4096, 'x'), std::string(4096, ','), -9223372036854775807LL - 1,
       std::string(4096, 'z')},
      {"1", "2", 9223372036854775807LL, "ZZ"},
      {"\"", "<>", 1, "\xC3\x84"},
  };
  for (const TableAnswers& a : answers) {
    std::vector<std::string> lines = FormulaPageLines(a);
    std::vector<std::string> steps;
    for (const std::string& line : lines) {
      if (line.rfind("step = ", 0) == 0) steps.push_back(line);
    }
    EXPECT_EQ((std::vector<std::string>{"step = 1", "step = 2", "step = 3", "step = 4", "step = 5",
                                        "step = 6", "step = 7", "step = 8", "step = 9"}),
              steps);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ((std::vector<std::string>{"<br>", "<br>", "</body>", "</html>"}),
              std::vector<std::string>(lines.end() - 4, lines.end()));
  }
}
