// Starting a built program for a test, the Windows way: CreateProcess with the keys in a file
// on standard input and a pipe for each output stream, read on threads of their own.
// clang-format off
#include <windows.h>
// clang-format on

#include <filesystem>
#include <map>
#include <thread>

#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return L"";
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// This process's environment with the run's changes; a variable set to "" is removed, as
// Windows holds no empty ones.
std::wstring EnvironmentBlock(const std::map<std::string, std::string>& changes) {
  std::map<std::wstring, std::wstring> variables;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
    std::wstring text = entry;
    size_t equals = text.find(L'=', 1);
    if (equals == std::wstring::npos) continue;
    variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : changes) {
    if (value.empty()) {
      variables.erase(Wide(name));
    } else {
      variables[Wide(name)] = Wide(value);
    }
  }
  std::wstring result;
  for (const auto& [name, value] : variables) result += name + L"=" + value + L'\0';
  return result + L'\0';
}

void Drain(HANDLE from, std::string* into) {
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0) into->append(buffer, got);
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::string& work_dir,
                      const std::string& keys, const std::string& epoch,
                      const std::map<std::string, std::string>& extra_env, int timeout_seconds,
                      const std::vector<std::string>& argv) {
  ProgramRun result;
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  fs::path keys_path =
      fs::temp_directory_path() /
      ("keys_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount64()));
  WriteBytes(keys_path.string(), keys);
  HANDLE keys_file = CreateFileW(keys_path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                 &inherited, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (keys_file == INVALID_HANDLE_VALUE) return result;
  HANDLE out_read, out_write, err_read, err_write;
  CreatePipe(&out_read, &out_write, &inherited, 0);
  CreatePipe(&err_read, &err_write, &inherited, 0);
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);

  std::map<std::string, std::string> changes = {
      {"SOURCE_DATE_EPOCH", epoch}, {"TMUX", ""}, {"DISPLAY", ""}};
  for (const auto& [key, value] : extra_env) changes[key] = value;
  std::wstring environment = EnvironmentBlock(changes);
  std::string exe_name = program.substr(program.find_last_of("/\\") + 1);
  std::vector<std::string> args = argv;
  if (args.empty()) args.push_back("./" + exe_name);
  fs::path in_work_dir = fs::path(work_dir) / exe_name;
  std::wstring path = !argv.empty() || !PathExists(in_work_dir.string())
                          ? fs::path(program).wstring()
                          : in_work_dir.wstring();
  std::wstring command_line;
  for (const std::string& arg : args)
    command_line += (command_line.empty() ? L"" : L" ") + Quoted(Wide(arg));

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = keys_file;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process;
  bool started = CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                                CREATE_UNICODE_ENVIRONMENT, environment.data(),
                                fs::path(work_dir).wstring().c_str(), &startup, &process);
  CloseHandle(keys_file);
  CloseHandle(out_write);
  CloseHandle(err_write);
  if (!started) {
    CloseHandle(out_read);
    CloseHandle(err_read);
    result.status = 127;
    return result;
  }
  CloseHandle(process.hThread);
  std::thread out_reader(Drain, out_read, &result.out);
  std::thread err_reader(Drain, err_read, &result.err);
  DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout_seconds) * 1000);
  if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  out_reader.join();
  err_reader.join();
  CloseHandle(out_read);
  CloseHandle(err_read);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  result.status = waited == WAIT_OBJECT_0 ? static_cast<int>(status) : -1;
  return result;
}
