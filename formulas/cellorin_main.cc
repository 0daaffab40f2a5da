#include "common/console.h"
#include "common/startup.h"
#include "formulas/cellorin_flow.h"

int main(int /*argc*/, char** argv) {
  InitConsole();
  RunStartupDialogue(Program::kCellorin, argv[0]);
  RunToolCheck(Program::kCellorin);
  RunFormulaGenerator();
  EndProgram();
}
