#include "formulas/formula_page.h"

#include <map>
#include <string_view>

#include "common/config.h"
#include "common/html_text.h"
#include "common/line_files.h"
#include "common/text.h"
#include "formulas/cellorin_dialogue.h"
#include "formulas/column_names.h"

namespace {

// Braced names are filled in from the table of values; everything else stands as written.
// Step 3 points at the step-1 cell, which is {C1} (the free-area column itself).
constexpr std::string_view kStepTemplates[kFormulaSteps] = {
    "=sumif({G}:{G};{G}{R};{D}:{D})",
    "=countif({G}${R}:{G}{R};{G}{R})",
    "=if(AND({C2}{R}=1;{C1}{R}<>0);{C1}{R};\"\")",
    "=count({C3}${R}:{C3}{R})",
    "={G}{R}",
    "={C3}{R}",
    "=row()-count({C4}:{C4})-({R}-1)",
    "=if({V2}<>\"\";\"sumif({G}=\"&{V2}&\";\"&\"{D}\"&\")=\";\"\")",
    "={V3}",
};

// The lookup of the n-th group's row in the working columns, n being 2 or 3.
constexpr std::string_view kGroupLookup =
    "vlookup((row()-count({C4}:{C4})-({R}-1));{C4}:{C6};{N};false())";

using Values = std::map<std::string, std::string, std::less<>>;

// One pass over the template: values are inserted as they are, never scanned again, so an
// answer holding braces cannot pull in other values.
std::string Expand(std::string_view text, const Values& values) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t open = text.find('{', pos);
    size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) {
      out += text.substr(pos);
      break;
    }
    out += text.substr(pos, open - pos);
    auto found = values.find(text.substr(open + 1, close - open - 1));
    out += found != values.end() ? found->second : std::string(text.substr(open, close - open + 1));
    pos = close + 1;
  }
  return out;
}

// Blanks around a typed column name would split the cell references apart.
std::string ColumnAnswer(std::string_view typed) {
  size_t begin = typed.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return "";
  size_t end = typed.find_last_not_of(" \t");
  return std::string(typed.substr(begin, end - begin + 1));
}

// How an answer's text goes into a line: as typed for the sheet, or as HTML text for the page
// (HtmlText), where an answer is never markup: "<script>" typed as a column name must show
// (and copy) as typed, not run.
using AnswerText = std::string (*)(std::string_view);

std::string AsTyped(std::string_view text) { return std::string(text); }

// The values upper-cased, as the whole formula is: the templates are upper-cased before they
// are filled in, so that the answers' escapes keep their lower-case names.
Values FormulaValues(const TableAnswers& answers, AnswerText answer_text) {
  Values values;
  values["G"] = answer_text(UpperAscii(ColumnAnswer(answers.group_column)));
  values["D"] = answer_text(UpperAscii(ColumnAnswer(answers.data_column)));
  values["R"] = std::to_string(answers.start_row);
  for (int k = 1; k <= kFormulaSteps; ++k) {
    values["C" + std::to_string(k)] = ResultColumn(answers.free_area_column, k);
  }
  for (const char* n : {"2", "3"}) {
    values["N"] = n;
    values[std::string("V") + n] = Expand(UpperAscii(kGroupLookup), values);
  }
  return values;
}

bool IsTableStep(int step) { return step <= 6; }

std::string Formula(const TableAnswers& answers, int step, AnswerText answer_text) {
  if (step < 1 || step > kFormulaSteps) return "";
  return Expand(UpperAscii(kStepTemplates[step - 1]), FormulaValues(answers, answer_text));
}

void AddStepBlock(const TableAnswers& answers, int step, std::vector<std::string>* lines) {
  const char* copy_line =
      IsTableStep(step) ? "Then copy formula from these cell by the end of the table."
                        : "Then copy formula from these cell to the next cells in column until "
                          "formula dos not indicate an error.";
  lines->insert(lines->end(),
                {"<br>", std::string(20, '-'), "<br>", "step = " + std::to_string(step), "<br>",
                 Formula(answers, step, HtmlText), "<br>", PlacementLine(answers, step), "<br>",
                 copy_line, "<br>"});
}

}  // namespace

std::string StepFormula(const TableAnswers& answers, int step) {
  return Formula(answers, step, AsTyped);
}

std::string PlacementLine(const TableAnswers& answers, int step) {
  std::string column = ResultColumn(answers.free_area_column, step);
  if (IsTableStep(step)) {
    return "Copy formula in cell " + column + std::to_string(answers.start_row) + ".";
  }
  return "Copy formula in cell <b> " + column + " </b> at the end of table + 1 row.";
}

std::vector<std::string> FormulaPageLines(const TableAnswers& answers) {
  std::string maker = kMakerSite;
  std::string product = kProductPage;
  std::vector<std::string> lines = {
      "<html>",
      "<head>",
      "<meta http-equiv=\"Content-Type\" content=\"text/html\">",
      "<title>TABLE (EXCEL) FORMULAS GENERATOR</title>",
      "</head>",
      "<body>",
      "<p style=\"font-size:110%\" >",
      "<br> <b> PROMOTE YOUR BRAND WITH OUR PROGRAMS </b>",
      "<br>",
      "<br> The programs is intended for companis who want to consolidate their brand through "
      "free distribution of the programs.",
      "<br> Advertising messages and web links in the programs are tailored to each customer "
      "individually.",
      "<br>",
      "<br> The advertising message is limited to 10 lines and 500 characters.",
      "<br> Programs promote the customer of the program in three ways:",
      "<br> - with a advertising message at the beginning of the output file;",
      "<br> - with a recurring advertising message in index file;",
      "<br> - and with programmatically generated Google search phrases for each word in the "
      "index file and target the customer's site. ",
      "<br>",
      "<br> More info at:",
      "<br> <a href=\"" + maker + "\">" + maker + "</a>",
      "<br>",
      "</p>",
      "<br>",
      "<br>",
      "<b> TABLE (EXCEL) FORMULAS GENERATOR CELLORIN </b>",
      "<br>",
      "Program for creating sumif() formulas in MS Excel compatible tables",
      "<br>",
      "Program name: " + CellorinProgramName(),
      "<br>",
      "<a href=\"" + product + "\">" + product + "</a>",
      "<br>",
      "<br>",
      "Column name for creating group = " + HtmlText(UpperAscii(answers.group_column)),
      "<br>",
      "Column name with data = " + HtmlText(UpperAscii(answers.data_column)),
      "<br>",
      "Row number start with data cell = " + SignedNumber(answers.start_row),
      "<br>",
      "Column name start with free area = " + HtmlText(answers.free_area_column),
      "<br>",
  };
  for (int step = 1; step <= kFormulaSteps; ++step) AddStepBlock(answers, step, &lines);
  lines.insert(lines.end(), {"<br>", "<br>", "</body>", "</html>"});
  return lines;
}

void WriteFormulaPage(const TableAnswers& answers, LineWriter* page) {
  for (const std::string& line : FormulaPageLines(answers)) page->WriteLine(line);
}
