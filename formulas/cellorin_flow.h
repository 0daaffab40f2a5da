#ifndef FORMULAS_CELLORIN_FLOW_H_
#define FORMULAS_CELLORIN_FLOW_H_

/// The formula generator's own work after the start-up dialogue and tool check: the four
/// questions, the formula page and the end message. Returns to the caller, which ends the
/// program.
void RunFormulaGenerator();

#endif  // FORMULAS_CELLORIN_FLOW_H_
