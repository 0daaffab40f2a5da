#ifndef FORMULAS_FORMULA_PAGE_H_
#define FORMULAS_FORMULA_PAGE_H_

/// The formula page: a fixed heading, the four answers, and nine step blocks, each with a
/// ready-to-copy formula and the cell it goes into.

#include <string>
#include <vector>

#include "formulas/table_answers.h"

class LineWriter;

inline constexpr char kFormulaPageFile[] = "efg_cellorin.htm";
inline constexpr int kFormulaSteps = 9;

/// The formula of step 1 to 9, upper-cased as a whole, as it is pasted into the sheet.
std::string StepFormula(const TableAnswers& answers, int step);

/// The line naming the cell the formula of `step` goes into.
std::string PlacementLine(const TableAnswers& answers, int step);

/// Every line of the page, top to bottom, without line ends. The answers' '<', '>' and '&'
/// are written as character references, so that the page shows them (and they copy) as typed.
std::vector<std::string> FormulaPageLines(const TableAnswers& answers);

/// Writes the page lines to `page`.
void WriteFormulaPage(const TableAnswers& answers, LineWriter* page);

#endif  // FORMULAS_FORMULA_PAGE_H_
