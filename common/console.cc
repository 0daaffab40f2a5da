#include "common/console.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kTabWidth = 14;
constexpr size_t kMaxItemLength = 4096;
constexpr int kEscapeGapMs = 30;  // bytes of one multi-byte key arrive closer than this

int g_input_fd = STDIN_FILENO;
bool g_input_is_terminal = false;
int g_column = 1;

bool g_have_saved_mode = false;
termios g_saved_mode;
volatile sig_atomic_t g_raw = 0;

std::string* g_output_sink = nullptr;  // tests read what is printed here
std::string* g_error_sink = nullptr;
ProgramToStart g_program_to_start;
int g_stdout_error = 0;  // the first error met writing standard output

void RestoreTerminal() {
  if (g_have_saved_mode && g_raw) {
    tcsetattr(g_input_fd, TCSAFLUSH, &g_saved_mode);
    g_raw = 0;
  }
}

void OnSignal(int signal_number) {
  RestoreTerminal();
  // The default action ends the process as the user asked.
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = SIG_DFL;
  sigaction(signal_number, &action, nullptr);
  raise(signal_number);
}

void EnterRawMode() {
  if (!g_have_saved_mode || g_raw) return;
  termios raw = g_saved_mode;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  g_raw = 1;
  tcsetattr(g_input_fd, TCSANOW, &raw);
}

void LeaveRawMode() {
  if (!g_have_saved_mode || !g_raw) return;
  tcsetattr(g_input_fd, TCSANOW, &g_saved_mode);
  g_raw = 0;
}

// Waits (in poll, never spinning) until input is readable, or `timeout_ms` passes.
bool WaitReadable(int timeout_ms) {
  pollfd p{g_input_fd, POLLIN, 0};
  while (true) {
    int ready = poll(&p, 1, timeout_ms);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

// One byte of input; false at the end of input (or, with a timeout on a terminal, when
// nothing came). One byte at a time: what this program does not read stays in the input
// for a program that takes over the console after it (see EndProgram).
bool ReadByte(char* byte, int timeout_ms = -1) {
  if (g_input_is_terminal && !WaitReadable(timeout_ms)) return false;
  while (true) {
    ssize_t got = read(g_input_fd, byte, 1);
    if (got < 0 && errno == EINTR) continue;
    return got == 1;
  }
}

// One key: a byte, or (on a terminal) a whole escape sequence, reported as 0 so that no
// menu accepts it. Ends the program at the end of input.
char ReadKey() {
  std::fflush(stdout);
  EnterRawMode();
  char byte = 0;
  bool got = ReadByte(&byte);
  if (got && byte == '\x1b' && g_input_is_terminal) {
    char rest;
    while (ReadByte(&rest, kEscapeGapMs)) {
    }
    byte = 0;
  }
  LeaveRawMode();
  if (!got) EndProgram();
  return byte;
}

void Emit(std::string_view text) {
  if (g_output_sink) {
    g_output_sink->append(text);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
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
  RestoreTerminal();
  std::fprintf(stderr, "Cannot write standard output: %s\n", std::strerror(error));
  std::fflush(stderr);
  std::_Exit(1);
}

// A closed standard stream would hand its number to the first file opened, and messages
// would land in that file: each closed one gets /dev/null instead, and a closed standard
// output counts as one that failed.
void OccupyClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);  // takes the lowest free number
    if (fd == STDOUT_FILENO) g_stdout_error = EBADF;
  }
}

}  // namespace

void InitConsole() {
  OccupyClosedStandardStreams();
  // One message per line, also through a pipe: progress shows as it happens.
  std::setvbuf(stdout, nullptr, _IOLBF, 1 << 12);
  g_input_is_terminal = isatty(g_input_fd) != 0;
  if (g_input_is_terminal && tcgetattr(g_input_fd, &g_saved_mode) == 0) g_have_saved_mode = true;
  std::atexit(RestoreTerminal);
  std::atexit(FailOnLostOutput);  // runs first: handlers run in reverse order
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    sigaction(signal_number, &action, nullptr);
  }
}

void SetConsoleInputForTesting(int fd) {
  g_input_fd = fd;
  g_input_is_terminal = false;
  g_have_saved_mode = false;
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
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
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
  while (ReadByte(&byte) && byte != '\n') line += byte;
  if (!line.empty() && line.back() == '\r') line.pop_back();
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
  if (isatty(STDOUT_FILENO)) {
    std::fputs("\x1b[H\x1b[2J", stdout);
    std::fflush(stdout);
  }
  g_column = 1;
}

void StartWhenThisEnds(const ProgramToStart& program) { g_program_to_start = program; }

const ProgramToStart& ProgramStartedAtEnd() { return g_program_to_start; }

void EndProgram() {
  FailOnLostOutput();  // before a program is started to take over the console
  std::fflush(stderr);
  RestoreTerminal();
  const ProgramToStart& pending = g_program_to_start;
  if (!pending.program_path.empty()) {
    // The started program takes over this console, in its own folder.
    if (chdir(pending.folder.c_str()) == 0) {
      std::string argv0 = pending.argv0;
      char* const argv[] = {argv0.data(), nullptr};
      execv(pending.program_path.c_str(), argv);
    }
    std::fprintf(stderr, "The system cannot find the file %s.\n", pending.argv0.c_str());
  }
  std::exit(0);
}

void EndProgramOnFailure(std::string_view message) {
  // Two threads may fail at once: the first says why, the second waits for the end.
  static std::atomic<bool> failing{false};
  if (failing.exchange(true)) {
    while (true) pause();
  }
  PrintError(message);
  RestoreTerminal();
  // A failure may come from a worker thread while the main thread runs on: the process
  // ends at once, without the exit handlers and destructors that other thread still uses.
  std::fflush(nullptr);
  std::_Exit(1);
}
