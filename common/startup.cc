#include "common/startup.h"

#include <string>
#include <vector>

#include "common/config.h"
#include "common/console.h"
#include "common/shell.h"
#include "common/text.h"
#include "common/work_dir.h"

namespace {

std::string Dashes(size_t n) { return std::string(n, '-'); }
std::string Equals(size_t n) { return std::string(n, '='); }

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) PrintLine(line);
}

// A two-choice menu; "2" ends the program, "1" returns.
void ContinueOrEnd(const std::string& yes, const std::string& no) {
  PrintLine(yes);
  PrintLine(no);
  if (WaitForKey("12") == '2') EndProgram();
}

void PrintCreditsAndTerms(Program program) {
  PrintLines({"We also used the program convertcp.exe", std::string("Info:") + kConvertcpPage,
              "We also used the program wget.exe", std::string("Info:") + kWgetPage, ""});
  PrintLine("Program name:" + ProgramName(program));
  PrintLines({"Terms of use:",
              "The author of the program is not responsible for any direct or indirect damages "
              "resulting from any errors in the program.",
              "Users accept this risk and use the program at their own risk.", "", "", "", "", "",
              "", std::string("More info: ") + kMakerSite, ""});
  PrintLines({Equals(36), "Do you accept the terms of use?", ""});
  ContinueOrEnd("<1> yes, continue", "<2> no, end");
}

void PagoranDialogue() {
  PrintLines({"", Equals(36), "", "THE PROGRAM INDEXES A GROUP OF HTML FILES", ""});
  PrintCreditsAndTerms(Program::kPagoran);
  PrintLines({"", Dashes(28),
              "FONT CONSOLAS OR LUCIDA CONSOLE MUST BE SELECTED IN THE PROGRAM EXECUTION WINDOW.",
              "Setting procedure (necessary for correct printing):",
              "- move the mouse to the center of the upper bold edge of the execution window;",
              "- right mouse click;", "- select Properties from the drop-down menu;",
              "- select the Font tab;", "- this tab includes the Consolas or Lucida Console font.",
              "", "In the Layout tab, select the size of the execution window.",
              "Selected settings work when the program is restarted.", ""});
  PrintLines({Dashes(28), "THE PROGRAM IS RUNNING IN ITS SUB-DIRECTORY /PAGORAN.", Dashes(28), ""});
  ContinueOrEnd("<1> continued", "<2> end");
}

void QuilletDialogue() {
  PrintLines({"", Equals(36), "", "THE PROGRAM SORTS AND INDEXES THE LIST (*.TXT FILE)", "",
              "The program will create 4 output files.", "1.  *_YYYY_MM_DD_hh_mm_ss.txt",
              "2.  *_YYYY_MM_DD_hh_mm_ss.htm",
              "3.  An indexed *.htm file is accessible in /pagoran/htm_out subdirectory.",
              "    The all-words index file is accessible while reading, just by double-clicking "
              "on any word.",
              "4.  *_YYYY_MM_DD_hh_mm_ss.csv is an output file with EXCEL compatible format "
              "(*.CSV).",
              ""});
  PrintCreditsAndTerms(Program::kQuillet);
  PrintLines({"", Dashes(27),
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
  PrintLines(
      {Dashes(28), "THE PROGRAM MUST BE INSTALLED IN YOUR OWN DIRECTORY.",
       "During execution, the program creates and also deletes most *.txt and other files.", "",
       "The <;> (semicolon) character is reserved as punctuation in *.csv files, so it "
       "should not be included in the table input.",
       "Files with names: list*.txt are reserved as work files of the program.", Dashes(28), ""});
  ContinueOrEnd("<1> continue", "<2> end");
  PrintLine();
}

void CellorinDialogue() {
  PrintLines({Equals(58), "", "Table formulas generator",
              "Program for creating sumif() formulas in MS Excel compatible tables", ""});
  PrintLine("Program name: " + ProgramName(Program::kCellorin));
  PrintLines({"", "Terms of use:",
              "Author of the program is not responsible for any consequences resulting from "
              "errors in the program.",
              "Users respect this risk and take the program on their own responsibility.", "", "",
              "", "", "", "", std::string("More info: ") + kProductPage, Equals(58),
              "Do you accept terms of service ?", ""});
  ContinueOrEnd("<1> yes and continue", "<2> no  and end");
  PrintLines({"", "--------- PROGRAM MUST RUN IN SEPARATE DIRECTORY ---------", "",
              "Program must run in separate directory.",
              "During execution it will delete most *.txt, and other files.", "", Dashes(58), ""});
  ContinueOrEnd("<1> yes and continue", "<2> no  and end");
}

// Lines of a result file that are not empty once leading blanks are removed.
int CountAnswerLines(const std::string& name) {
  int count = 0;
  LineReader reader(name);
  std::string line;
  while (reader.Next(&line)) {
    if (!TrimLeftSpaces(line).empty()) ++count;
  }
  return count;
}

struct ToolRow {
  std::string name;
  std::vector<std::string> commands;
  int minimum;  // the check fails below this count of check_02.txt (check_01.txt for cmd)
  std::string failure;
  std::string path_line;
  std::string extra;  // printed after the path line, before the menu
};

void RunToolRows(const std::vector<ToolRow>& rows, bool blank_before_later_names,
                 const std::string& failure_separator, char end_key) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const ToolRow& row = rows[i];
    if (blank_before_later_names && i > 0) PrintLine();
    PrintLine(row.name);
    for (const std::string& command : row.commands) RunCommand(command);
    std::string result = row.minimum == 1 ? "check_01.txt" : "check_02.txt";
    if (CountAnswerLines(result) >= row.minimum) continue;
    if (!failure_separator.empty()) PrintLine(failure_separator);
    PrintLine(row.failure);
    PrintLine(row.path_line);
    if (!row.extra.empty()) PrintLine(row.extra);
    if (end_key == '1') {
      PrintLine("<1> = continue and end");
    } else {
      PrintLine("<9> end");
    }
    WaitForKey(std::string(1, end_key));
    EndProgram();
  }
}

const char kFindCommand[] = "cmd /c find /i \".exe\" check_01.txt >  check_02.txt";
const char kFindstrCommand[] = "cmd /c findstr /i \".exe\" check_01.txt >  check_02.txt";
const char kDeleteChecks[] = "cmd /c for %i in (check_*.txt) do del /q %i >> out_null.txt";
const char kConfigured[] = "The system path to the program is most likely to be configured.";
const char kSetPath[] = "It is probably necessary to set the system path to the program.";

}  // namespace

std::string ProgramName(Program program) {
  std::string source;
  switch (program) {
    case Program::kPagoran:
      source = LowerAscii("pagoran_01_149.bas");
      break;
    case Program::kQuillet:
      source = LowerAscii("quillet_01_248.bas");
      break;
    case Program::kCellorin:
      source = "cellorin_083.bas";
      break;
  }
  return source.substr(0, source.size() - 3) + "exe";
}

void RunStartupDialogue(Program program, const char* argv0) {
  if (program != Program::kCellorin) PrintLine(argv0 ? argv0 : "");
  switch (program) {
    case Program::kPagoran:
      return PagoranDialogue();
    case Program::kQuillet:
      return QuilletDialogue();
    case Program::kCellorin:
      return CellorinDialogue();
  }
}

void RunToolCheck(Program program) {
  if (program == Program::kCellorin) {
    PrintLines({"", Dashes(30),
                "Checking the presence of vital assistance programs of MS Windows system:"});
    const char kPathLine[] = "Most likely it is necessary to updated the system path variable.";
    const char kDelete[] = "cmd /c for %i in (check_*.txt) do del /q %i > out_null.txt";
    RunToolRows(
        {{"cmd", {"cmd /c dir  > check_01.txt"}, 1, "Check availability cmd.exe.", kPathLine, ""},
         {"sort",
          {kDelete, "cmd /c dir  > check_01.txt", "cmd /c sort check_01.txt /o check_02.txt"},
          2,
          "Check availability sort.exe.",
          kPathLine,
          ""},
         {"find",
          {kDelete, "cmd /c dir > check_01.txt", kFindCommand},
          2,
          "Check availability find.exe.",
          kPathLine,
          ""}},
        false, "", '9');
    return;
  }
  bool quillet = program == Program::kQuillet;
  PrintLines({quillet ? Dashes(28) : Dashes(27),
              "Checking the accessibility of some urgently needed programs:",
              quillet ? "cmd.exe, find.exe, findstr.exe, sort.exe, wget.exe, pagoran*.exe"
                      : "cmd.exe, find.exe, findstr.exe, sort.exe, wget.exe",
              ""});
  std::string mark = quillet ? "" : "!";
  std::vector<std::string> findstr_commands = {"dir > out_null.txt", kDeleteChecks,
                                               "cmd /c dir > check_01.txt", kFindstrCommand};
  if (quillet) findstr_commands.insert(findstr_commands.begin(), "cmd /c dir > check_01.txt");
  RunToolRows(
      {{"cmd", {"cmd /c dir *. > check_01.txt"}, 1, "Checking for cmd.exe" + mark, kConfigured, ""},
       {"find",
        {"dir > out_null.txt", kDeleteChecks, "cmd /c dir > check_01.txt", kFindCommand},
        2,
        "Checking for find.exe" + mark,
        kConfigured,
        ""},
       {"findstr", findstr_commands, 2, "Checking for findstr.exe" + mark, kConfigured,
        quillet ? "Check whether all files from quillet.7z are present." : ""},
       {"sort",
        {"dir > check_01.txt", "del /q check_*.txt", "dir *. > check_01.txt",
         "sort check_01.txt /o check_02.txt"},
        2,
        "Checking for sort.exe",
        kSetPath,
        ""}},
      quillet, quillet ? Dashes(28) : Dashes(21), '1');
}
