#include "indexer/pagoran_dialogue.h"

#include "common/console.h"
#include "common/opening_dialogue.h"

std::string PagoranProgramName() { return ProgramNameFromSource("pagoran_01_149.bas", true); }

void RunPagoranDialogue(const char* argv0) {
  PrintLine(argv0 ? argv0 : "");
  PrintLines({"", std::string(36, '='), "", "THE PROGRAM INDEXES A GROUP OF HTML FILES", ""});
  PrintCreditsAndTerms(PagoranProgramName());
  PrintLines({"", std::string(28, '-'),
              "FONT CONSOLAS OR LUCIDA CONSOLE MUST BE SELECTED IN THE PROGRAM EXECUTION WINDOW.",
              "Setting procedure (necessary for correct printing):",
              "- move the mouse to the center of the upper bold edge of the execution window;",
              "- right mouse click;", "- select Properties from the drop-down menu;",
              "- select the Font tab;", "- this tab includes the Consolas or Lucida Console font.",
              "", "In the Layout tab, select the size of the execution window.",
              "Selected settings work when the program is restarted.", ""});
  PrintLines({std::string(28, '-'), "THE PROGRAM IS RUNNING IN ITS SUB-DIRECTORY /PAGORAN.",
              std::string(28, '-'), ""});
  ContinueOrEnd("<1> continued", "<2> end");
}

void RunPagoranToolCheck() {
  RunInterpreterCheck({std::string(27, '-'),
                       "cmd.exe, find.exe, findstr.exe, sort.exe, wget.exe",
                       "!",
                       false,
                       "",
                       {false, std::string(21, '-'), '1'}});
}
