#include "common/cmd_start.h"

#include <string>
#include <vector>

#include "common/console.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/work_paths.h"

namespace {

ProgramToStart g_program_to_start;

std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t start = text.find_first_not_of(" \t", pos);
    if (start == std::string::npos) break;
    size_t end = text.find_first_of(" \t", start);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    pos = end;
  }
  return words;
}

}  // namespace

void RunStart(const Command& cmd) {
  std::string folder;
  std::vector<std::string> rest;
  for (size_t i = 1; i < cmd.args.size(); ++i) {
    const Token& t = cmd.args[i];
    if (IsSwitch(t) && LowerAscii(t.text) == "/d" && i + 1 < cmd.args.size()) {
      folder = cmd.args[++i].text;
    } else if (!IsSwitch(t)) {
      rest.push_back(t.text);
    }
  }
  if (rest.empty()) return Fail("The system cannot find the file specified.");
  // The started program writes in its folder: one reached through a link is refused.
  std::string folder_path = ".";
  if (!folder.empty() && (!FolderExists(folder) || !ResolveConfinedPath(folder, &folder_path))) {
    return Fail("The system cannot find the path specified.");
  }
  std::string program = rest[0];
  std::string program_path;
  std::string in_folder = folder.empty() ? program : folder + "\\" + program;
  if (!ResolveWorkPath(in_folder, false, &program_path) &&
      !ResolveWorkPath(program, false, &program_path)) {
    return Fail("The system cannot find the file " + program + ".");
  }
  std::string abs_folder = platform::AbsolutePath(folder_path);
  std::string abs_program = platform::AbsolutePath(program_path);
  std::string argv0 = "./" + abs_program.substr(abs_program.find_last_of('/') + 1);
  bool folder_has_program = abs_program.substr(0, abs_program.find_last_of('/')) == abs_folder;
  std::string run_as = folder_has_program ? argv0 : abs_program;
  if (platform::StartInNewWindow(abs_folder, abs_program, run_as)) return;
  g_program_to_start = {abs_folder, abs_program, run_as};
}

const ProgramToStart& ProgramStartedAtEnd() { return g_program_to_start; }

void StartProgramHandedOver() {
  const ProgramToStart& pending = g_program_to_start;
  if (pending.program_path.empty()) return;
  platform::ReplaceProcess(pending.folder, pending.program_path, pending.argv0);
  WriteStandardError("The system cannot find the file " + pending.argv0 + ".\n");
}

void RunEditor(const Command& cmd) {
  std::vector<std::string> operands = Operands(cmd);
  std::string path;
  // The editor writes the file: never through a link.
  if (operands.empty() || !ResolveConfinedPath(operands[0], &path)) {
    return Fail("The system cannot find the path specified.");
  }
  std::vector<std::string> editor;
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    editor = SplitAtBlanks(platform::Environment(variable));
    if (!editor.empty()) break;
  }
  if (editor.empty()) editor = platform::DefaultEditor();
  if (editor.empty()) return Fail("No editor found: set VISUAL or EDITOR.");
  editor.push_back(path);
  if (!platform::RunAndWait(editor)) Fail("The editor " + editor[0] + " could not be started.");
}
