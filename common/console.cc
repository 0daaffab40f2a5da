#include "common/console.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/cmd_start.h"
#include "common/platform.h"

namespace {

constexpr int kTabWidth = 14;
constexpr size_t kMaxItemLength = 4096;
constexpr int kEscapeGapMs = 30;  // bytes of one multi-byte key arrive closer than this

int g_input_fd = 0;  // standard input
bool g_input_is_terminal = false;
int g_column = 1;

std::string* g_output_sink = nullptr;  // tests read what is printed here
std::string* g_error_sink = nullptr;
int g_stdout_error = 0;  // the first error met writing standard output

// One byte of input; false at the end of input (or, with a timeout on a terminal, when
// nothing came). One byte at a time: what this program does not read stays in the input
// for a program that takes over the console after it (see EndProgram).
bool ReadByte(char* byte, int timeout_ms = -1) {
  return platform::ReadInputByte(g_input_fd, g_input_is_terminal, byte, timeout_ms) == 1;
}

// One key: a byte, or (on a terminal) a whole escape sequence, reported as 0 so that no
// menu accepts it. Ends the program at the end of input.
char ReadKey() {
  std::fflush(stdout);
  if (g_input_is_terminal) platform::SetRawInput(true);
  char byte = 0;
  bool got = ReadByte(&byte);
  if (got && byte == '\x1b' && g_input_is_terminal) {
    char rest;
    while (ReadByte(&rest, kEscapeGapMs)) {
    }
    byte = 0;
  }
  if (g_input_is_terminal) platform::SetRawInput(false);
  if (!got) EndProgram();
  return byte;
}

void Emit(std::string_view text) {
  if (g_output_sink) {
    g_output_sink->append(text);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
    // Each finished line goes out at once, also through a pipe: progress shows as it
    // happens. (The Microsoft C runtime takes line buffering for full buffering, so the
    // flush is done here on both systems.)
    if (text.find('\n') != std::string_view::npos) std::fflush(stdout);
    if (g_stdout_error == 0 && std::ferror(stdout)) g_stdout_error = errno ? errno : EIO;
  }
  for (char c : text) {
    g_column = (c == '\n' || c == '\r') ? 1 : g_column + 1;
  }
}

// The first error of standard output, once what is pending there has been written; 0 when
// every message got out.
int StandardOutputError() {
  if (std::fflush(stdout) != 0 && g_stdout_error == 0) g_stdout_error = errno ? errno : EIO;
  if (std::ferror(stdout) && g_stdout_error == 0) g_stdout_error = EIO;
  return g_stdout_error;
}

// As a command-line tool does: messages that could not be written (a full device, a closed
// stream) make the run a failure, said where it can still be read.
void FailOnLostOutput() {
  int error = StandardOutputError();
  if (error == 0) return;
  platform::RestoreTerminal();
  WriteStandardError(std::string("Cannot write standard output: ") + std::strerror(error) + "\n");
  std::_Exit(1);
}

}  // namespace

void InitConsole() {
  // A closed standard output counts as one that failed.
  if (platform::PrepareStandardStreams()) g_stdout_error = EBADF;
  // Buffered, and flushed at each line end by Emit.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 12);
  g_input_is_terminal = platform::OpenTerminal(g_input_fd);
  std::atexit(platform::RestoreTerminal);
  std::atexit(FailOnLostOutput);  // runs first: handlers run in reverse order
}

void SetConsoleInputForTesting(int fd) {
  g_input_fd = fd;
  g_input_is_terminal = false;
  g_column = 1;
}

void SetConsoleOutputForTesting(std::string* out, std::string* err) {
  g_output_sink = out;
  g_error_sink = err;
  g_column = 1;
}

void Print(std::string_view text) { Emit(text); }

void PrintLine(std::string_view text) {
  Emit(text);
  Emit("\n");
}

void PrintTab() {
  int next = 1 + kTabWidth * ((g_column - 1) / kTabWidth + 1);
  Emit(std::string(static_cast<size_t>(next - g_column), ' '));
}

void PrintError(std::string_view text) {
  if (g_error_sink) {
    g_error_sink->append(text).append("\n");
    return;
  }
  std::fflush(stdout);
  std::string line(text);
  line += '\n';
  WriteStandardError(line);
}

void WriteStandardError(std::string_view text) {
  // In one write: a console shows each piece it gets on its own, and a letter cut between
  // two pieces would show as two wrong ones.
  std::fflush(stderr);
  while (!text.empty()) {
    long long written = platform::Write(2, text.data(), text.size());
    if (written <= 0) return;
    text.remove_prefix(static_cast<size_t>(written));
  }
}

char WaitForKey(std::string_view keys) {
  while (true) {
    char key = ReadKey();
    if (key != 0 && keys.find(key) != std::string_view::npos) return key;
  }
}

void WaitForAnyKey() { ReadKey(); }

std::string ReadAnswerLine(std::string_view prompt) {
  Print(prompt);
  Print("? ");
  std::fflush(stdout);
  std::string line;
  char byte;
  bool cut = false;
  while (ReadByte(&byte) && byte != '\n') {
    if (line.size() < kMaxAnswerLineLength) {
      line += byte;
    } else {
      cut = true;
    }
  }
  if (!cut && !line.empty() && line.back() == '\r') line.pop_back();
  if (g_input_is_terminal) {
    g_column = 1;  // the terminal echoed the line end
  } else {
    PrintLine();
  }
  return line;
}

std::string ParseInputItem(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  std::string item;
  if (i < line.size() && line[i] == '"') {
    size_t close = line.find('"', i + 1);
    item = std::string(line.substr(i + 1, close == std::string_view::npos ? close : close - i - 1));
  } else {
    bool quoted = false;
    for (; i < line.size(); ++i) {
      char c = line[i];
      if (c == '"') quoted = !quoted;
      if (c == ',' && !quoted) break;
      item += c;
    }
  }
  if (item.size() > kMaxItemLength) item.resize(kMaxItemLength);
  return item;
}

std::string ReadInputItem(std::string_view prompt) {
  return ParseInputItem(ReadAnswerLine(prompt));
}

void ClearConsole() {
  platform::ClearScreen();
  g_column = 1;
}

void EndProgram() {
  FailOnLostOutput();  // before a program is started to take over the console
  std::fflush(stderr);
  platform::RestoreTerminal();
  StartProgramHandedOver();
  std::exit(0);
}

void EndProgramOnFailure(std::string_view message) {
  // Two threads may fail at once: the first says why, the second waits for the end.
  static std::atomic<bool> failing{false};
  if (failing.exchange(true)) {
    platform::WaitForever();
  }
  PrintError(message);
  platform::RestoreTerminal();
  // A failure may come from a worker thread while the main thread runs on: the process
  // ends at once, without the exit handlers and destructors that other thread still uses.
  std::fflush(nullptr);
  std::_Exit(1);
}
