#include "common/program_start.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/text.h"
#include "common/work_paths.h"

namespace {

std::string AbsolutePath(const std::string& path) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return path == "." ? std::string(cwd) : std::string(cwd) + "/" + path;
}

// Starts `argv` without a shell; with `wait`, returns once it has ended.
bool Spawn(const std::vector<std::string>& argv, const std::string& folder, bool wait) {
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    if (!wait) setsid();  // a started program outlives its caller
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (!wait) return true;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

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

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t pos = 0;
  while (pos <= dirs.size()) {
    size_t colon = dirs.find(':', pos);
    if (colon == std::string::npos) colon = dirs.size();
    std::string dir = dirs.substr(pos, colon - pos);
    std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    pos = colon + 1;
  }
  return "";
}

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
  std::string abs_folder = AbsolutePath(folder_path);
  std::string abs_program = AbsolutePath(program_path);
  std::string argv0 = "./" + abs_program.substr(abs_program.find_last_of('/') + 1);
  bool folder_has_program = abs_program.substr(0, abs_program.find_last_of('/')) == abs_folder;
  std::string run_as = folder_has_program ? argv0 : abs_program;
  if (std::getenv("TMUX") && !FindOnPath("tmux").empty()) {
    // Two words after the window options make tmux start the program without a shell.
    if (Spawn({"tmux", "new-window", "-c", abs_folder, "env", run_as}, "", true)) return;
  }
  if (std::getenv("DISPLAY") && !FindOnPath("x-terminal-emulator").empty()) {
    if (Spawn({"x-terminal-emulator", "-e", run_as}, abs_folder, false)) return;
  }
  StartWhenThisEnds({abs_folder, abs_program, run_as});
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
    const char* value = std::getenv(variable);
    if (value && *value) {
      editor = SplitAtBlanks(value);
      if (!editor.empty()) break;
    }
  }
  if (editor.empty()) {
    for (const char* name : {"sensible-editor", "editor", "nano", "vi"}) {
      if (!FindOnPath(name).empty()) {
        editor.push_back(name);
        break;
      }
    }
  }
  if (editor.empty()) return Fail("No editor found: set VISUAL or EDITOR.");
  editor.push_back(path);
  if (!Spawn(editor, "", true)) Fail("The editor " + editor[0] + " could not be started.");
}
