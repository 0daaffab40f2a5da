#include "formulas/cellorin_flow.h"

#include <string>

#include "common/console.h"
#include "common/line_files.h"
#include "formulas/formula_page.h"
#include "formulas/table_answers.h"

void RunFormulaGenerator() {
  PrintLine();
  PrintLine("----- selecting cells for sumif() -----");
  // The page is claimed before the questions, so an old page never outlives a new run.
  LineWriter page(kFormulaPageFile);
  PrintLine(std::string("Output files = ") + kFormulaPageFile);
  PrintLine();
  TableAnswers answers = AskTableQuestions();
  WriteFormulaPage(answers, &page);
  page.Close();
  PrintLine();
  PrintLine(std::string(31, '-'));
  PrintLine(std::string("Output files = ") + kFormulaPageFile);
  PrintLine();
}
