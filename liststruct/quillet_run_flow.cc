#include "liststruct/quillet_run_flow.h"

#include "common/console.h"
#include "common/startup.h"

void RunQuillet(const char* argv0) {
  RunStartupDialogue(Program::kQuillet, argv0);
  RunToolCheck(Program::kQuillet);
  EndProgram();
}
