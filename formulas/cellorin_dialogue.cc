#include "formulas/cellorin_dialogue.h"

#include "common/config.h"
#include "common/console.h"
#include "common/opening_dialogue.h"

std::string CellorinProgramName() { return ProgramNameFromSource("cellorin_083.bas", false); }

void RunCellorinDialogue() {
  PrintLines({std::string(58, '='), "", "Table formulas generator",
              "Program for creating sumif() formulas in MS Excel compatible tables", ""});
  PrintLine("Program name: " + CellorinProgramName());
  PrintLines({"", "Terms of use:",
              "Author of the program is not responsible for any consequences resulting from "
              "errors in the program.",
              "Users respect this risk and take the program on their own responsibility.", "", "",
              "", "", "", "", std::string("More info: ") + kProductPage, std::string(58, '='),
              "Do you accept terms of service ?", ""});
  ContinueOrEnd("<1> yes and continue", "<2> no  and end");
  PrintLines({"", "--------- PROGRAM MUST RUN IN SEPARATE DIRECTORY ---------", "",
              "Program must run in separate directory.",
              "During execution it will delete most *.txt, and other files.", "",
              std::string(58, '-'), ""});
  ContinueOrEnd("<1> yes and continue", "<2> no  and end");
}

void RunCellorinToolCheck() {
  PrintLines({"", std::string(30, '-'),
              "Checking the presence of vital assistance programs of MS Windows system:"});
  const char kPathLine[] = "Most likely it is necessary to updated the system path variable.";
  const char kDelete[] = "cmd /c for %i in (check_*.txt) do del /q %i > out_null.txt";
  RunToolCheckRows(
      {{"cmd", {"cmd /c dir  > check_01.txt"}, 1, "Check availability cmd.exe.", kPathLine, ""},
       {"sort",
        {kDelete, "cmd /c dir  > check_01.txt", "cmd /c sort check_01.txt /o check_02.txt"},
        2,
        "Check availability sort.exe.",
        kPathLine,
        ""},
       {"find",
        {kDelete, "cmd /c dir > check_01.txt",
         "cmd /c find /i \".exe\" check_01.txt >  check_02.txt"},
        2,
        "Check availability find.exe.",
        kPathLine,
        ""}},
      {false, "", '9'});
}
