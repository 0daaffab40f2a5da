#include "liststruct/quillet_flow.h"

#include <cmath>
#include <string>
#include <vector>

#include "common/cmd_interpreter.h"
#include "common/config.h"
#include "common/console.h"
#include "common/file_being_made.h"
#include "common/file_failures.h"
#include "common/interrupt.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"
#include "liststruct/chapter_sort.h"
#include "liststruct/chapter_table.h"
#include "liststruct/csv_output.h"
#include "liststruct/handoff.h"
#include "liststruct/html_render.h"
#include "liststruct/list_file_names.h"
#include "liststruct/quillet_dialogue.h"

namespace {

const std::string kSeparator(28, '-');

void CheckIndexerPresent() {
  PrintLine();
  PrintLine("pagoran*.exe");
  if (!FindIndexerExecutable().empty()) return;
  PrintLine(kSeparator);
  PrintLine("Checking for pagoran*.exe");
  PrintLine("Check the contents of the marrowin.7z file.");
  PrintLine("<1> = continue and end");
  WaitForKey("1");
  EndProgram();
}

void CleanUpOldWorkFiles() {
  DeleteStaleParts("");
  RunCommand("del check*.*  > out_null.txt");
  RunCommand("del chapters*.*  > out_null.txt");
  RunCommand("del oglasi*.*  > out_null.txt");
  RunCommand("del sour_in*.*  > out_null.txt");
  RunCommand("del exe_files*.*  > out_null.txt");
  RunCommand("del dir_files*.*  > out_null.txt");
}

[[noreturn]] void EndAfterAnyKey() {
  PrintLine("<...> any key for continue, end");
  WaitForAnyKey();
  EndProgram();
}

// The line an answer names, 1 to `count`; 0 for anything else. Only a whole number names
// a line: text, a fraction or a number out of range counts as 0.
size_t ChosenLine(const std::string& answer, size_t count) {
  bool ok = false;
  double value = ParseNumber(answer, &ok);
  if (!ok || value < 1 || value > static_cast<double>(count) || value != std::floor(value)) {
    return 0;
  }
  return static_cast<size_t>(value);
}

// Lists the candidate input files and returns the one the user picks by its line number.
std::string ChooseInputFile() {
  RunCommand("dir /b *.txt | find /i /v \"list\" > dir_files.txt");
  PrintLine(kSeparator);
  std::vector<std::string> names = ReadAllLines("dir_files.txt");
  for (size_t k = 0; k < names.size(); ++k) {
    PrintLine(SignedNumber(static_cast<long long>(k + 1)) + " " + names[k]);
  }
  PrintLine(kSeparator);
  PrintLine();
  size_t line = ChosenLine(ReadInputItem("select file with line number = "), names.size());
  if (line == 0) {
    PrintLine("line number is out of range");
    PrintLine();
    EndAfterAnyKey();
  }
  std::string input = names[line - 1];
  PrintLine("input file: " + input);
  if (!Contains(input, ".txt")) {
    PrintLine();
    PrintLine("File is not *.txt");
    PrintLine();
    PrintLine("<1> continue and end");
    WaitForKey("1");
    EndProgram();
  }
  return input;
}

// The time-stamped copy of the input as chosen, and list_01.txt, the copy worked on.
void CopyInput(const std::string& input) {
  // A list that cannot be read (a folder, a FIFO, a device, a link to nothing) stops here,
  // before any copy is named as made.
  if (int error = InputReadError(input); error != 0) StopOnReadFailure(input, error);
  std::string stamped = UpToTxt(input) + TimeStampNow() + ".txt";
  CopyByCommand(input, stamped, "out_null.txt");
  PrintLine(stamped);
  // A copy that fails must not leave the list of an earlier run to be processed.
  DeleteWorkFile("list_01.txt");
  CopyByCommand(input, "list_01.txt", "out_null.txt");
}

void PrepareInput() {
  PrintLine(kSeparator);
  PrintLine();
  PrintLine("The file must start with empty line.");
  PrintLine("Insert an empty line if missing!");
  PrintLine("Save file with UTF-8 code page!");
  PrintLine("Save the file in the directory where the program is running!");
  PrintLine();
  PrintLine("<1> continue");
  PrintLine("<2> end");
  if (WaitForKey("12") == '2') EndProgram();
  RunCommand("notepad.exe list_01.txt");
  RunCommand("copy list_01.txt list_01_utf.txt > out_null.txt");
  PrintLine();
  PrintLine("========== Sorting file, please be patient. ==========");
}

[[noreturn]] void EndWithoutChapters() {
  PrintLine();
  PrintLine(kSeparator);
  PrintLine("The file does not have a chapter marked.");
  PrintLine("The file must start with any text but not with a numbered chapter.");
  PrintLine();
  EndAfterAnyKey();
}

struct OutputNames {
  std::string txt, htm, csv;
};

OutputNames CopyOutputs(const std::string& input) {
  std::string stem = UpToTxt(LowerAscii(input)) + TimeStampNow();
  OutputNames names{stem + ".txt", stem + ".htm", stem + ".csv"};
  CopyByCommand("list_03_list.txt", names.txt, "out.list");
  CopyByCommand("list_03_list.htm", names.htm, "out.list");
  CopyByCommand("list_04.csv", names.csv, "out.list");
  return names;
}

// Names the outputs and asks whether to index the HTML output; ends the program when the
// user says no.
void AskToIndexOutputs(const OutputNames& outputs) {
  PrintLine("processed 100%");
  PrintLine(kSeparator);
  PrintLine("output files:");
  PrintLine(outputs.txt);
  PrintLine(outputs.htm);
  PrintLine(outputs.csv);
  PrintLine();
  PrintLine(std::string("details: ") + kMakerSite);
  PrintLine();
  PrintLine(kSeparator);
  PrintLine("output HTML file = " + outputs.htm);
  PrintLine();
  PrintLine("Do you want to index the output HTML file?");
  PrintLine();
  PrintLine("<1> yes, continue");
  PrintLine("<2> no, end program");
  if (WaitForKey("12") == '2') EndProgram();
}

}  // namespace

void RunQuillet(const char* argv0) {
  RunQuilletDialogue(argv0);
  // Outputs are written beside their old copies and renamed into place when whole; a stop
  // deletes what was not whole yet.
  CleanUpOnInterrupt(DeletePartsBeingMade,
                     "Stopped: files being written were deleted; earlier outputs are as they "
                     "were.");
  RunQuilletToolCheck();
  CheckIndexerPresent();
  CleanUpOldWorkFiles();

  std::string input = ChooseInputFile();
  CopyInput(input);
  PrepareInput();

  SortTopLevelChapters();
  if (StructureChapters() == 0) EndWithoutChapters();
  PrintLine("processed 90%");

  RenderHtml();
  DeleteWorkFile(kChapterRowsFile);
  WriteHtmlBodyCopy();
  WriteCsv();

  OutputNames outputs = CopyOutputs(input);
  AskToIndexOutputs(outputs);
  HandOffToIndexer(outputs.htm);
}
