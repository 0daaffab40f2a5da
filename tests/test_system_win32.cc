// What the tests do differently on Windows; programs are started with CreateProcess, the keys
// in a file on standard input and a pipe for each output stream, read on threads of their own.
// clang-format off
#include <windows.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include "common/win32_text.h"
#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

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
      variables.erase(platform::Wide(name));
    } else {
      variables[platform::Wide(name)] = platform::Wide(value);
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
  fs::path program_file =
      !argv.empty() || !PathExists(in_work_dir.string()) ? fs::path(program) : in_work_dir;
  // A relative program path is found from the work folder, as after a change into it.
  std::wstring path =
      (program_file.is_absolute() ? program_file : fs::path(work_dir) / program_file).wstring();
  std::wstring command_line;
  for (const std::string& arg : args)
    command_line +=
        (command_line.empty() ? L"" : L" ") + platform::QuotedArgument(platform::Wide(arg));

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

void SetEnv(const std::string& name, const std::string& value) {
  SetEnvironmentVariableW(platform::Wide(name).c_str(), platform::Wide(value).c_str());
  _putenv_s(name.c_str(), value.c_str());
}

void UnsetEnv(const std::string& name) {
  SetEnvironmentVariableW(platform::Wide(name).c_str(), nullptr);
  _putenv_s(name.c_str(), "");
}

bool MakeLink(const std::string& target, const std::string& link) {
  // Without developer mode or the privilege (and under Wine) there are none to make.
  DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  fs::path where = fs::path(link).parent_path() / target;
  std::error_code ignored;
  if (fs::is_directory(where, ignored)) flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
  std::wstring native_target = fs::path(target).make_preferred().wstring();
  if (!CreateSymbolicLinkW(platform::Wide(link).c_str(), native_target.c_str(), flags))
    return false;
  // Wine makes something in its place that is neither shown as a reparse point nor followed:
  // no link for a test to rely on.
  DWORD attributes = GetFileAttributesW(platform::Wide(link).c_str());
  HANDLE followed = CreateFileW(platform::Wide(link).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  bool target_exists = fs::exists(where, ignored);
  bool works = attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
               (followed != INVALID_HANDLE_VALUE) == target_exists;
  if (followed != INVALID_HANDLE_VALUE) CloseHandle(followed);
  if (!works) {
    if (!DeleteFileW(platform::Wide(link).c_str())) RemoveDirectoryW(platform::Wide(link).c_str());
  }
  return works;
}

bool MakeFifo(const std::string&) { return false; }

bool WritesEverywhere() { return true; }

// Wine's console cannot be sent Ctrl+C from here.
ProgramRun RunAndInterrupt(const std::string&, const std::string&, const std::string&,
                           const std::string&, int, const std::map<std::string, std::string>&) {
  ProgramRun run;
  run.status = -2;
  return run;
}

// Permissions here are access lists, not mode bits the tests could take away.
HonouredPermissions::HonouredPermissions() = default;
HonouredPermissions::~HonouredPermissions() = default;

int ScriptInput(const std::string& bytes) {
  int fds[2];
  if (_pipe(fds, static_cast<unsigned>(bytes.size()) + 4096, _O_BINARY) != 0) return -1;
  if (_write(fds[1], bytes.data(), static_cast<unsigned>(bytes.size())) !=
      static_cast<int>(bytes.size())) {
    _close(fds[0]);
    fds[0] = -1;
  }
  _close(fds[1]);
  return fds[0];
}

void CloseInput(int fd) { _close(fd); }

std::string AppendingEditor() { return "cmd /c echo edited>>"; }

bool NamesAreCaseSensitive() { return false; }

bool WaitingRun::Start(const std::string& dir, const std::string& exe) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE keys_read, keys_write, out_read, out_write;
  if (!CreatePipe(&keys_read, &keys_write, &inherited, 0)) return false;
  if (!CreatePipe(&out_read, &out_write, &inherited, 0)) return false;
  SetHandleInformation(keys_write, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = keys_read;
  startup.hStdOutput = out_write;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring command_line = platform::Wide("./" + exe);
  std::wstring path = (fs::path(dir) / exe).wstring();
  PROCESS_INFORMATION process;
  bool started = CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0,
                                nullptr, fs::path(dir).wstring().c_str(), &startup, &process);
  CloseHandle(keys_read);
  CloseHandle(out_write);
  if (!started) {
    CloseHandle(keys_write);
    CloseHandle(out_read);
    return false;
  }
  CloseHandle(process.hThread);
  process_ = reinterpret_cast<long long>(process.hProcess);
  keys_ = reinterpret_cast<long long>(keys_write);
  out_ = reinterpret_cast<long long>(out_read);
  // The output must stay open while it runs, or its next line would end it.
  char first_byte;
  DWORD got = 0;
  return ReadFile(out_read, &first_byte, 1, &got, nullptr) && got == 1;
}

void WaitingRun::Kill() {
  if (process_ < 0) return;
  HANDLE process = reinterpret_cast<HANDLE>(process_);
  TerminateProcess(process, 1);
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  CloseHandle(reinterpret_cast<HANDLE>(keys_));
  CloseHandle(reinterpret_cast<HANDLE>(out_));
  process_ = -1;
}

bool NamesHoldAnyByte() { return false; }

std::string IdleEditor() { return "cmd /c rem"; }

std::string FailingEditor() { return "cmd /c exit 1"; }

bool HasPosixTools() { return false; }
