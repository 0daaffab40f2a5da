#include "formulas/cellorin_flow.h"

#include <string>

#include "common/console.h"
#include "common/file_being_made.h"
#include "common/interrupt.h"
#include "common/line_files.h"
#include "common/work_files.h"
#include "formulas/formula_page.h"
#include "formulas/table_answers.h"

void RunFormulaGenerator() {
  PrintLine();
  PrintLine("----- selecting cells for sumif() -----");
  // The page is claimed before the questions, and written beside the old one, which it
  // replaces once it is whole: a run that fails or is stopped leaves the old page as it was.
  CleanUpOnInterrupt(DeletePartsBeingMade,
                     std::string("Stopped: ") + kFormulaPageFile + " is as it was.");
  FileBeingMade made(kFormulaPageFile);
  LineWriter page(made.part());
  PrintLine(std::string("Output files = ") + kFormulaPageFile);
  PrintLine();
  TableAnswers answers = AskTableQuestions();
  WriteFormulaPage(answers, &page);
  page.Close();
  made.Commit();
  PrintLine();
  PrintLine(std::string(31, '-'));
  PrintLine(std::string("Output files = ") + kFormulaPageFile);
  PrintLine();
}
