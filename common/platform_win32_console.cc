// The console on Windows: its modes, key and line input as UTF-8, the screen, and the
// events that ask a run to stop.

#include <fcntl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "common/platform.h"
#include "common/platform_win32.h"
#include "common/win32_text.h"

namespace platform {

using win32::HandleOf;
using win32::RestoreCodePage;

namespace {

HANDLE g_terminal = INVALID_HANDLE_VALUE;
DWORD g_saved_mode = 0;
volatile LONG g_raw = 0;
UINT g_saved_output_code_page = 0;
std::string g_pending_input;  // the rest of a key or line already read from the console

BOOL WINAPI OnControl(DWORD) {
  RestoreTerminal();
  RestoreCodePage();
  return FALSE;  // the default handler ends the process as the user asked
}

bool IsModifierKey(WORD key) {
  switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

// One key from the console without echo, as UTF-8 in g_pending_input; a key without a
// character (an arrow, a function key) as a 0 byte.
bool ReadConsoleKey() {
  wchar_t high_surrogate = 0;
  while (true) {
    INPUT_RECORD record;
    DWORD count = 0;
    if (!ReadConsoleInputW(g_terminal, &record, 1, &count) || count == 0) return false;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    wchar_t c = key.uChar.UnicodeChar;
    if (c == 0) {
      if (IsModifierKey(key.wVirtualKeyCode)) continue;
      g_pending_input.assign(1, '\0');
      return true;
    }
    if (c >= 0xD800 && c < 0xDC00) {
      high_surrogate = c;
      continue;
    }
    if (c >= 0xDC00 && c < 0xE000 && high_surrogate != 0) {
      wchar_t pair[2] = {high_surrogate, c};
      g_pending_input = Narrow(pair, 2);
    } else {
      g_pending_input = Narrow(&c, 1);
    }
    return true;
  }
}

// One line from the console, edited and echoed there, as UTF-8 with its line end.
bool ReadConsoleLine() {
  wchar_t buffer[4096];
  DWORD count = 0;
  if (!ReadConsoleW(g_terminal, buffer, 4096, &count, nullptr) || count == 0) return false;
  if (buffer[0] == 0x1a) return false;  // Ctrl+Z: the end of input
  g_pending_input = Narrow(buffer, count);
  return true;
}

}  // namespace

void win32::RestoreCodePage() {
  if (g_saved_output_code_page != 0) SetConsoleOutputCP(g_saved_output_code_page);
}

bool PrepareStandardStreams() {
  bool stdout_closed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (_get_osfhandle(fd) >= 0) continue;
    // A closed stream gets the null device, so that no file opened later takes its number.
    int null_fd = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
    if (null_fd >= 0 && null_fd != fd) {
      _dup2(null_fd, fd);
      _close(null_fd);
    }
    if (fd == 1) stdout_closed = true;
  }
  // Bytes pass unchanged: a line ends in CR LF once, as on Linux.
  for (int fd = 0; fd <= 2; ++fd) _setmode(fd, _O_BINARY);
  // The programs write UTF-8; the console shows it as such while they run.
  UINT code_page = GetConsoleOutputCP();
  if (code_page != 0 && code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    g_saved_output_code_page = code_page;
    std::atexit(RestoreCodePage);
  }
  return stdout_closed;
}

bool OpenTerminal(int fd) {
  HANDLE handle = HandleOf(fd);
  DWORD mode;
  if (!GetConsoleMode(handle, &mode)) return false;
  g_terminal = handle;
  g_saved_mode = mode;
  SetConsoleCtrlHandler(OnControl, TRUE);
  return true;
}

void SetRawInput(bool raw) {
  if (g_terminal == INVALID_HANDLE_VALUE || (g_raw != 0) == raw) return;
  // Ctrl+C stays processed, so that it still ends the program.
  DWORD mode = raw ? (g_saved_mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT))
                   : g_saved_mode;
  g_raw = raw ? 1 : 0;
  SetConsoleMode(g_terminal, mode);
}

void RestoreTerminal() {
  if (g_terminal != INVALID_HANDLE_VALUE && g_raw) {
    SetConsoleMode(g_terminal, g_saved_mode);
    g_raw = 0;
  }
}

bool ReadInputByte(int fd, bool terminal, char* byte, int timeout_ms) {
  if (!terminal) {
    // One byte at a time, past the C runtime: what is not read stays in the input for a
    // program that takes over the console afterwards.
    DWORD got = 0;
    return ReadFile(HandleOf(fd), byte, 1, &got, nullptr) && got == 1;
  }
  if (g_pending_input.empty()) {
    // A key comes whole in one event: there is never the rest of one to wait for.
    if (timeout_ms >= 0) return false;
    if (!(g_raw ? ReadConsoleKey() : ReadConsoleLine())) return false;
  }
  *byte = g_pending_input.front();
  g_pending_input.erase(0, 1);
  return true;
}

void ClearScreen() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO screen;
  if (!GetConsoleScreenBufferInfo(out, &screen)) return;
  std::fflush(stdout);
  DWORD cells = static_cast<DWORD>(screen.dwSize.X) * static_cast<DWORD>(screen.dwSize.Y);
  COORD home = {0, 0};
  DWORD written;
  FillConsoleOutputCharacterW(out, L' ', cells, home, &written);
  FillConsoleOutputAttribute(out, screen.wAttributes, cells, home, &written);
  SetConsoleCursorPosition(out, home);
}

void WaitForever() {
  while (true) Sleep(INFINITE);
}

namespace {

void (*g_on_interrupt)(int) = nullptr;

// Runs on a thread the system starts for the event. Ctrl+C and Ctrl+Break, and closing
// the console window (for which the system waits a few seconds), stop the run; the
// program ends in the handler, so the system's own handling never comes.
BOOL WINAPI OnInterruptEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      g_on_interrupt(SIGINT);
      return TRUE;
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      g_on_interrupt(SIGTERM);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void WatchInterrupts(void (*on_interrupt)(int signal)) {
  g_on_interrupt = on_interrupt;
  SetConsoleCtrlHandler(OnInterruptEvent, TRUE);
}

void EndAfterInterrupt(int) {
  RestoreTerminal();
  RestoreCodePage();
  std::fflush(nullptr);
  ExitProcess(0xC000013AUL);  // STATUS_CONTROL_C_EXIT, as Windows ends a program on Ctrl+C
}

}  // namespace platform
