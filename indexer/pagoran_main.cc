#include "common/console.h"
#include "indexer/run_flow.h"

int main(int /*argc*/, char** argv) {
  InitConsole();
  RunPagoran(argv[0]);
}
