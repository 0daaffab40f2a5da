#include "liststruct/quillet_dialogue.h"

#include "common/console.h"
#include "common/opening_dialogue.h"

std::string QuilletProgramName() { return ProgramNameFromSource("quillet_01_248.bas", true); }

void RunQuilletDialogue(const char* argv0) {
  PrintLine(argv0 ? argv0 : "");
  PrintLines({"", std::string(36, '='), "", "THE PROGRAM SORTS AND INDEXES THE LIST (*.TXT FILE)",
              "", "The program will create 4 output files.", "1.  *_YYYY_MM_DD_hh_mm_ss.txt",
              "2.  *_YYYY_MM_DD_hh_mm_ss.htm",
              "3.  An indexed *.htm file is accessible in /pagoran/htm_out subdirectory.",
              "    The all-words index file is accessible while reading, just by double-clicking "
              "on any word.",
              "4.  *_YYYY_MM_DD_hh_mm_ss.csv is an output file with EXCEL compatible format "
              "(*.CSV).",
              ""});
  PrintCreditsAndTerms(QuilletProgramName());
  PrintLines({"", std::string(27, '-'),
              "FONT CONSOLAS OR LUCIDA CONSOLE MUST BE SELECTED IN THE PROGRAM EXECUTIVE WINDOW "
              "(command Prompt)",
              "Setting procedure (necessary for correct output):",
              "- move the mouse to the center of the upper bold edge of the runner window;",
              "- right mouse click;", "- select Properties from the drop-down menu;",
              "- select the Font tab;", "- this tab includes the Consolas or Lucida Console font.",
              "", "In the Layout tab, you select the size of the executable window.",
              "The size must be able to print the main commands without a break in multiple "
              "lines.",
              "The selected settings work when the program restarts.", ""});
  PrintLines({std::string(28, '-'), "THE PROGRAM MUST BE INSTALLED IN YOUR OWN DIRECTORY.",
              "During execution, the program creates and also deletes most *.txt and other files.",
              "",
              "The <;> (semicolon) character is reserved as punctuation in *.csv files, so it "
              "should not be included in the table input.",
              "Files with names: list*.txt are reserved as work files of the program.",
              std::string(28, '-'), ""});
  ContinueOrEnd("<1> continue", "<2> end");
  PrintLine();
}

void RunQuilletToolCheck() {
  RunInterpreterCheck({std::string(28, '-'),
                       "cmd.exe, find.exe, findstr.exe, sort.exe, wget.exe, pagoran*.exe",
                       "",
                       true,
                       "Check whether all files from quillet.7z are present.",
                       {true, std::string(28, '-'), '1'}});
}
