#ifndef COMMON_CMD_PARTS_H_
#define COMMON_CMD_PARTS_H_

/// What the commands of the interpreter stand-in share: a command's words, where its output
/// goes and where its input comes from. Only the stand-in's own files include this; the
/// programs call RunCommand (cmd_interpreter.h).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/line_files.h"

struct Token {
  std::string text;
  bool quoted = false;       // held a double-quoted part
  bool is_operator = false;  // ">", ">>" or "|"
};

// Where a command's output goes: a redirection file, the next command of a pipe, or the
// console.
class CommandOutput {
 public:
  CommandOutput() = default;
  explicit CommandOutput(std::unique_ptr<LineWriter> file) : file_(std::move(file)) {}
  explicit CommandOutput(std::vector<std::string>* pipe) : pipe_(pipe) {}
  void Line(std::string_view text) {
    if (file_) {
      file_->WriteLine(text);
    } else if (pipe_) {
      pipe_->emplace_back(text);
    } else {
      PrintLine(text);
    }
  }

 private:
  std::unique_ptr<LineWriter> file_;
  std::vector<std::string>* pipe_ = nullptr;
};

// Input of a command that reads lines: a named file or the previous command of a pipe.
class CommandInput {
 public:
  explicit CommandInput(const std::vector<std::string>* pipe) : pipe_(pipe) {}
  explicit CommandInput(std::string_view name) : reader_(std::make_unique<LineReader>(name)) {}
  bool Next(std::string* line) {
    if (reader_) return reader_->Next(line);
    if (!pipe_ || next_ >= pipe_->size()) return false;
    *line = (*pipe_)[next_++];
    return true;
  }

 private:
  const std::vector<std::string>* pipe_ = nullptr;
  size_t next_ = 0;
  std::unique_ptr<LineReader> reader_;
};

struct Command {
  std::vector<Token> args;  // args[0] is the command name
  CommandOutput* out = nullptr;
  const std::vector<std::string>* piped_input = nullptr;  // null: not in a pipe
};

bool IsSwitch(const Token& token);
/// Whether the command has the switch "/<letter>", in any case.
bool HasSwitch(const Command& cmd, char letter);
/// The words after the command name that are not switches.
std::vector<std::string> Operands(const Command& cmd);

/// A failing command's one line on standard error; the program goes on.
inline void Fail(std::string_view message) { PrintError(message); }

/// The file a command writes (a redirection, sort's /o, a joined copy). A missing folder
/// fails the command: its message, no file, and the program goes on. Any other failure to
/// create the file ends the program.
std::unique_ptr<LineWriter> OpenCommandOutput(const std::string& name,
                                              LineWriter::Mode mode = LineWriter::kCreate);

/// Carries out one command whose redirections are already taken out.
void DispatchCommand(Command& cmd);

/// A command of the stand-in: its name as typed (lower case) and what carries it out.
struct ShellCommand {
  const char* name;
  const char* help;
  void (*run)(const Command& cmd);
};
/// The command of that name (in any case), or null.
const ShellCommand* FindShellCommand(std::string_view name);

#endif  // COMMON_CMD_PARTS_H_
