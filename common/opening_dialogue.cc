#include "common/opening_dialogue.h"

#include "common/cmd_interpreter.h"
#include "common/config.h"
#include "common/console.h"
#include "common/line_files.h"
#include "common/text.h"

namespace {

const char kFindCommand[] = "cmd /c find /i \".exe\" check_01.txt >  check_02.txt";
const char kFindstrCommand[] = "cmd /c findstr /i \".exe\" check_01.txt >  check_02.txt";
const char kDeleteChecks[] = "cmd /c for %i in (check_*.txt) do del /q %i >> out_null.txt";
const char kConfigured[] = "The system path to the program is most likely to be configured.";
const char kSetPath[] = "It is probably necessary to set the system path to the program.";

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

}  // namespace

std::string ProgramNameFromSource(std::string_view source_name, bool lower_case) {
  std::string source = lower_case ? LowerAscii(source_name) : std::string(source_name);
  return source.substr(0, source.size() - 3) + "exe";
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) PrintLine(line);
}

void ContinueOrEnd(const std::string& yes, const std::string& no) {
  PrintLine(yes);
  PrintLine(no);
  if (WaitForKey("12") == '2') EndProgram();
}

void RunToolCheckRows(const std::vector<ToolCheckRow>& rows, const ToolCheckStyle& style) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const ToolCheckRow& row = rows[i];
    if (style.blank_before_later_names && i > 0) PrintLine();
    PrintLine(row.name);
    for (const std::string& command : row.commands) RunCommand(command);
    std::string result = row.minimum == 1 ? "check_01.txt" : "check_02.txt";
    if (CountAnswerLines(result) >= row.minimum) continue;
    if (!style.failure_separator.empty()) PrintLine(style.failure_separator);
    PrintLine(row.failure);
    PrintLine(row.path_line);
    if (!row.extra.empty()) PrintLine(row.extra);
    PrintLine(style.end_key == '1' ? "<1> = continue and end" : "<9> end");
    WaitForKey(std::string(1, style.end_key));
    EndProgram();
  }
}

void PrintCreditsAndTerms(const std::string& program_name) {
  PrintLines({"We also used the program convertcp.exe", std::string("Info:") + kConvertcpPage,
              "We also used the program wget.exe", std::string("Info:") + kWgetPage, ""});
  PrintLine("Program name:" + program_name);
  PrintLines({"Terms of use:",
              "The author of the program is not responsible for any direct or indirect damages "
              "resulting from any errors in the program.",
              "Users accept this risk and use the program at their own risk.", "", "", "", "", "",
              "", std::string("More info: ") + kMakerSite, ""});
  PrintLines({std::string(36, '='), "Do you accept the terms of use?", ""});
  ContinueOrEnd("<1> yes, continue", "<2> no, end");
}

void RunInterpreterCheck(const InterpreterCheckTexts& texts) {
  PrintLines({texts.header_dashes, "Checking the accessibility of some urgently needed programs:",
              texts.tools_line, ""});
  std::vector<std::string> findstr_commands = {"dir > out_null.txt", kDeleteChecks,
                                               "cmd /c dir > check_01.txt", kFindstrCommand};
  if (texts.findstr_lists_twice) {
    findstr_commands.insert(findstr_commands.begin(), "cmd /c dir > check_01.txt");
  }
  const std::string& mark = texts.failure_mark;
  RunToolCheckRows(
      {{"cmd", {"cmd /c dir *. > check_01.txt"}, 1, "Checking for cmd.exe" + mark, kConfigured, ""},
       {"find",
        {"dir > out_null.txt", kDeleteChecks, "cmd /c dir > check_01.txt", kFindCommand},
        2,
        "Checking for find.exe" + mark,
        kConfigured,
        ""},
       {"findstr", findstr_commands, 2, "Checking for findstr.exe" + mark, kConfigured,
        texts.findstr_extra},
       {"sort",
        {"dir > check_01.txt", "del /q check_*.txt", "dir *. > check_01.txt",
         "sort check_01.txt /o check_02.txt"},
        2,
        "Checking for sort.exe",
        kSetPath,
        ""}},
      texts.style);
}
