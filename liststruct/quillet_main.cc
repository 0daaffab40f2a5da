#include "common/console.h"
#include "liststruct/quillet_run_flow.h"

int main(int /*argc*/, char** argv) {
  InitConsole();
  RunQuillet(argv[0]);
}
