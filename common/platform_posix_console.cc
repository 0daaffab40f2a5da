// The console on POSIX: the terminal's modes, key input, the screen, and the signals that
// ask a run to stop.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "common/platform.h"
#include "common/platform_posix.h"

namespace platform {

namespace {

int g_terminal_fd = -1;
bool g_have_saved_mode = false;
termios g_saved_mode;
volatile sig_atomic_t g_raw = 0;

void OnSignal(int signal_number) {
  RestoreTerminal();
  // The default action ends the process as the user asked.
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = SIG_DFL;
  sigaction(signal_number, &action, nullptr);
  raise(signal_number);
}

// Waits (in poll, never spinning) until input is readable, or `timeout_ms` passes.
bool WaitReadable(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  while (true) {
    int ready = poll(&p, 1, timeout_ms);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

// The signals that ask a run to stop, blocked in every thread and taken by sigwait; the
// mask the process had before, for the programs it starts.
sigset_t g_interrupts;
sigset_t g_mask_before;
bool g_watching = false;

}  // namespace

namespace posix {

void RestoreSignalMask() {
  if (g_watching) sigprocmask(SIG_SETMASK, &g_mask_before, nullptr);
}

}  // namespace posix

bool PrepareStandardStreams() {
  bool stdout_closed = false;
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);  // takes the lowest free number
    if (fd == STDOUT_FILENO) stdout_closed = true;
  }
  return stdout_closed;
}

bool OpenTerminal(int fd) {
  if (isatty(fd) == 0) return false;
  g_terminal_fd = fd;
  if (tcgetattr(fd, &g_saved_mode) == 0) g_have_saved_mode = true;
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    sigaction(signal_number, &action, nullptr);
  }
  return true;
}

void SetRawInput(bool raw) {
  if (!g_have_saved_mode || (g_raw != 0) == raw) return;
  if (raw) {
    termios mode = g_saved_mode;
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    g_raw = 1;
    tcsetattr(g_terminal_fd, TCSANOW, &mode);
  } else {
    tcsetattr(g_terminal_fd, TCSANOW, &g_saved_mode);
    g_raw = 0;
  }
}

void RestoreTerminal() {
  if (g_have_saved_mode && g_raw) {
    tcsetattr(g_terminal_fd, TCSAFLUSH, &g_saved_mode);
    g_raw = 0;
  }
}

bool ReadInputByte(int fd, bool terminal, char* byte, int timeout_ms) {
  if (terminal && !WaitReadable(fd, timeout_ms)) return false;
  while (true) {
    ssize_t got = read(fd, byte, 1);
    if (got < 0 && errno == EINTR) continue;
    return got == 1;
  }
}

void ClearScreen() {
  if (isatty(STDOUT_FILENO)) {
    std::fputs("\x1b[H\x1b[2J", stdout);
    std::fflush(stdout);
  }
}

void WaitForever() {
  while (true) pause();
}

void WatchInterrupts(void (*on_interrupt)(int signal)) {
  sigemptyset(&g_interrupts);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&g_interrupts, signal_number);
  if (pthread_sigmask(SIG_BLOCK, &g_interrupts, &g_mask_before) != 0) return;
  g_watching = true;
  std::thread([on_interrupt] {
    int signal_number = 0;
    while (sigwait(&g_interrupts, &signal_number) != 0) {
    }
    on_interrupt(signal_number);
  }).detach();
}

void EndAfterInterrupt(int signal) { _exit(128 + signal); }

}  // namespace platform
