#ifndef COMMON_OPENING_DIALOGUE_H_
#define COMMON_OPENING_DIALOGUE_H_

/// The frame of the start-up dialogue and tool check that open every program: the choice
/// prompts and the tool-check rows. Each program's texts live beside its own flow.
/// Choosing "end", or a failed check, ends the program with status 0.

#include <string>
#include <string_view>
#include <vector>

/// The program name printed in the banner: the program's fixed source name ("x_01.bas"),
/// lower-cased where `lower_case`, with its last three characters replaced by "exe".
std::string ProgramNameFromSource(std::string_view source_name, bool lower_case);

void PrintLines(const std::vector<std::string>& lines);

/// A two-choice prompt: prints both choices, then "2" ends the program and "1" returns.
void ContinueOrEnd(const std::string& yes, const std::string& no);

/// One tool of the check: its name is printed, its command lines run, and the check fails
/// when the result file (check_01.txt where `minimum` is 1, else check_02.txt) has fewer
/// than `minimum` lines that are not blank.
struct ToolCheckRow {
  std::string name;
  std::vector<std::string> commands;
  int minimum;
  std::string failure;    // the failure's first line
  std::string path_line;  // its second line
  std::string extra;      // printed after the path line, before the prompt; may be empty
};

/// How a program prints its tool check: an empty line before every name but the first, a
/// separator line before a failure's texts (none when empty), and the one key that ends the
/// program at the failure prompt ('1' prints "<1> = continue and end", '9' "<9> end").
struct ToolCheckStyle {
  bool blank_before_later_names;
  std::string failure_separator;
  char end_key;
};

/// Checks the rows in order; returns only when every tool answered.
void RunToolCheckRows(const std::vector<ToolCheckRow>& rows, const ToolCheckStyle& style);

/// Credits, program name and terms of use with their prompt, as pagoran and quillet open.
void PrintCreditsAndTerms(const std::string& program_name);

/// The tool check that pagoran and quillet share (cmd, find, findstr, sort), with the few
/// texts in which they differ.
struct InterpreterCheckTexts {
  std::string header_dashes;  // the line before "Checking the accessibility ..."
  std::string tools_line;     // the tools named under it
  std::string failure_mark;   // after "Checking for cmd.exe", "find.exe", "findstr.exe"
  bool findstr_lists_twice;   // one more "cmd /c dir > check_01.txt" before findstr's lines
  std::string findstr_extra;  // printed after findstr's failure texts; may be empty
  ToolCheckStyle style;
};
void RunInterpreterCheck(const InterpreterCheckTexts& texts);

#endif  // COMMON_OPENING_DIALOGUE_H_
