#include "common/cmd_interpreter.h"

#include <memory>
#include <string>
#include <vector>

#include "common/cmd_parts.h"
#include "common/file_failures.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"

namespace {

std::vector<std::string>* g_recorded = nullptr;  // tests: command lines kept, not run

std::vector<Token> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '>' || c == '|') {
      bool doubled = c == '>' && i + 1 < line.size() && line[i + 1] == '>';
      tokens.push_back(Token{doubled ? ">>" : std::string(1, c), false, true});
      i += doubled ? 2 : 1;
      continue;
    }
    Token word;
    bool in_quotes = false;
    while (i < line.size()) {
      c = line[i];
      if (c == '"') {
        in_quotes = !in_quotes;
        word.quoted = true;
        ++i;
        continue;
      }
      if (!in_quotes && (c == ' ' || c == '\t' || c == '>' || c == '|')) break;
      word.text += c;
      ++i;
    }
    tokens.push_back(word);
  }
  return tokens;
}

// One command of a pipe with its redirections taken out. Every redirection target is
// created; the output goes to the last one.
bool RunSegment(std::vector<Token> tokens, const std::vector<std::string>* piped_input,
                std::vector<std::string>* piped_output) {
  Command cmd;
  std::unique_ptr<LineWriter> target;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (!tokens[i].is_operator) {
      cmd.args.push_back(tokens[i]);
      continue;
    }
    if (i + 1 >= tokens.size() || tokens[i + 1].is_operator) {
      Fail("The syntax of the command is incorrect.");
      return false;
    }
    bool append = tokens[i].text == ">>";
    std::string name = tokens[++i].text;
    target.reset();  // an earlier target stays created, and empty
    target = OpenCommandOutput(name, append ? LineWriter::kAppend : LineWriter::kCreate);
    if (!target) return false;
  }
  CommandOutput out = target         ? CommandOutput(std::move(target))
                      : piped_output ? CommandOutput(piped_output)
                                     : CommandOutput();
  cmd.out = &out;
  cmd.piped_input = piped_input;
  DispatchCommand(cmd);
  return true;
}

}  // namespace

bool IsSwitch(const Token& token) { return !token.quoted && StartsWith(token.text, "/"); }

bool HasSwitch(const Command& cmd, char letter) {
  for (size_t i = 1; i < cmd.args.size(); ++i) {
    const Token& t = cmd.args[i];
    if (IsSwitch(t) && t.text.size() >= 2 && (t.text[1] | 0x20) == letter) return true;
  }
  return false;
}

std::vector<std::string> Operands(const Command& cmd) {
  std::vector<std::string> operands;
  for (size_t i = 1; i < cmd.args.size(); ++i) {
    if (!IsSwitch(cmd.args[i])) operands.push_back(cmd.args[i].text);
  }
  return operands;
}

std::unique_ptr<LineWriter> OpenCommandOutput(const std::string& name, LineWriter::Mode mode) {
  auto file = std::make_unique<LineWriter>(name, mode, LineWriter::kReport);
  if (file->is_open()) return file;
  if (!IsMissingFolder(file->error())) StopOnWriteFailure(name, file->error());
  Fail("The system cannot find the path specified.");
  return nullptr;
}

void DispatchCommand(Command& cmd) {
  // "cmd /c" only hands the rest to the interpreter, which is this routine.
  while (cmd.args.size() >= 2 && LowerAscii(cmd.args[0].text) == "cmd" &&
         LowerAscii(cmd.args[1].text) == "/c") {
    cmd.args.erase(cmd.args.begin(), cmd.args.begin() + 2);
  }
  if (cmd.args.empty()) return;
  if (const ShellCommand* command = FindShellCommand(cmd.args[0].text)) return command->run(cmd);
  Fail("'" + cmd.args[0].text +
       "' is not recognized as an internal or external command, operable program or batch "
       "file.");
}

void RunCommand(std::string_view command_line) {
  if (g_recorded) {
    g_recorded->emplace_back(command_line);
    return;
  }
  std::vector<Token> tokens = Tokenize(command_line);
  std::vector<std::vector<Token>> segments(1);
  for (Token& t : tokens) {
    if (t.is_operator && t.text == "|") {
      segments.emplace_back();
    } else {
      segments.back().push_back(std::move(t));
    }
  }
  std::vector<std::string> previous, current;
  for (size_t i = 0; i < segments.size(); ++i) {
    bool last = i + 1 == segments.size();
    current.clear();
    if (!RunSegment(segments[i], i == 0 ? nullptr : &previous, last ? nullptr : &current)) return;
    previous.swap(current);
  }
}

void RecordCommandsForTesting(std::vector<std::string>* recorded) { g_recorded = recorded; }
