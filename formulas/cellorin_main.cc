#include "common/run_guard.h"
#include "formulas/cellorin_dialogue.h"
#include "formulas/cellorin_flow.h"

namespace {

constexpr ProgramInfo kCellorin = {
    "cellorin_083.exe",
    "Asks four questions about a spreadsheet table (the group column, the data column, the\n"
    "first data row, the first free column) and writes a page of nine ready-to-copy formulas\n"
    "that total a column per group.\n"
    "\n"
    "It works only in a folder of its own (scripts/new_workdir.sh DIR makes one). There\n"
    "it deletes check_*.txt and writes check_01.txt, check_02.txt and out_null.txt.\n"
    "\n"
    "Scripted runs: menu keys are single bytes (no line end), each answer is one line:\n"
    "  printf '11b\\nd\\n3\\nh\\n' | ./cellorin_083.exe\n"
    "It writes no date or time, so SOURCE_DATE_EPOCH changes nothing here.\n"
    "\n"
    "Output: efg_cellorin.htm in this folder.\n",
    "deletes check_*.txt and writes its work files", "wget.exe"};

}  // namespace

int main(int argc, char** argv) {
  return RunGuardedProgram(kCellorin, argc, argv, [](const char*) {
    RunCellorinDialogue();
    RunCellorinToolCheck();
    RunFormulaGenerator();
  });
}
