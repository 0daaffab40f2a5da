// Starting programs on Windows, never through the command interpreter.

#include <cerrno>
#include <cstdio>

#include "common/platform.h"
#include "common/platform_win32.h"
#include "common/text.h"
#include "common/win32_text.h"

namespace platform {

// cmd runs a program of the current folder by its bare name; "cd" needs /d to change the
// drive too; its copy takes one source file at a time.
const ShellWords kShell = {"", "cd /d ", "copy ", true};

using win32::LastErrno;

namespace {

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The status a program ends with when it could not be run, as shells report it.
constexpr DWORD kCouldNotRun = 127;

std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += L' ';
    line += QuotedArgument(Wide(argument));
  }
  return line;
}

// The program file a bare name stands for: found on PATH or in the system folder, never in
// the work folder, where a file of that name is data.
std::wstring ProgramFile(const std::string& name) {
  if (name.find_first_of("/\\:") != std::string::npos) return NativePath(name);
  std::string found = FindOnPath(name);
  if (!found.empty()) return NativePath(found);
  wchar_t system[MAX_PATH];
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  std::wstring candidate = std::wstring(system, length) + L"\\" + Wide(name);
  return IsFile(candidate) ? candidate : L"";
}

bool StandardInputIsConsole() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace

int ReplaceProcess(const std::string& folder, const std::string& program_path,
                   const std::string& argv0) {
  // Windows cannot replace a process: the program runs in this console on the same
  // standard streams, and this process ends with its status.
  std::fflush(nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  HANDLE* streams[] = {&startup.hStdInput, &startup.hStdOutput, &startup.hStdError};
  DWORD ids[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  for (int i = 0; i < 3; ++i) {
    *streams[i] = GetStdHandle(ids[i]);
    SetHandleInformation(*streams[i], HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  std::wstring command_line = QuotedArgument(Wide(argv0));
  std::wstring folder_path = NativePath(folder);
  PROCESS_INFORMATION process;
  if (!CreateProcessW(NativePath(program_path).c_str(), command_line.data(), nullptr, nullptr, TRUE,
                      0, nullptr, folder_path.c_str(), &startup, &process)) {
    return LastErrno();
  }
  CloseHandle(process.hThread);
  // Ctrl+C is the started program's to answer; this one only waits for it.
  SetConsoleCtrlHandler(nullptr, TRUE);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  win32::RestoreCodePage();
  ExitProcess(status);
}

std::string FindOnPath(const std::string& program) {
  std::string dirs = Environment("PATH");
  for (const std::string& dir : SplitFields(dirs, ';')) {
    if (dir.empty()) continue;
    for (const char* extension : {"", ".exe"}) {
      std::string candidate = dir + "\\" + program + extension;
      if (IsFile(NativePath(candidate))) return candidate;
    }
  }
  return "";
}

int RunAndWait(const std::vector<std::string>& argv) {
  std::wstring program = ProgramFile(argv[0]);
  if (program.empty()) return ENOENT;
  std::fflush(nullptr);
  std::wstring command_line = CommandLine(argv);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return LastErrno();
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  // An exception or Ctrl+C ends a program with an NTSTATUS error code (0xC...), as a signal
  // ends one on POSIX.
  if (status >= 0xC0000000UL) return EINTR;
  return status == kCouldNotRun ? ENOENT : 0;
}

int StartInNewWindow(const std::string& folder, const std::string& program_path,
                     const std::string& run_as) {
  // A scripted run has no console to open a window beside: it hands off in this one.
  if (!StandardInputIsConsole()) return ENOSYS;
  std::wstring command_line = QuotedArgument(Wide(run_as));
  std::wstring folder_path = NativePath(folder);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessW(NativePath(program_path).c_str(), command_line.data(), nullptr, nullptr,
                      FALSE, CREATE_NEW_CONSOLE, nullptr, folder_path.c_str(), &startup,
                      &process)) {
    return LastErrno();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

std::vector<std::string> DefaultEditor() { return {"notepad.exe"}; }

long long ProcessId() { return GetCurrentProcessId(); }
}  // namespace platform
