// The run on Windows: its arguments and start folder, the run lock, the clock and the
// environment.

#include <cwchar>

#include "common/platform.h"
#include "common/platform_win32.h"
#include "common/win32_text.h"

namespace platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (wide != nullptr && count == argc) {
    for (int i = 0; i < count; ++i) arguments.push_back(Narrow(wide[i]));
  } else {
    // The C runtime split the line differently: its own arguments, as they came.
    for (int i = 0; i < argc && argv[i] != nullptr; ++i) arguments.emplace_back(argv[i]);
  }
  LocalFree(wide);
  return arguments;
}

std::string StartedProgramPath(const std::string&) {
  // Windows knows the program file itself, whatever name it was started by.
  std::wstring buffer(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), 32768);
  if (length == 0 || length >= 32768) return "";
  return Narrow(buffer.data(), length);
}

std::string CurrentFolder() {
  wchar_t buffer[32768];
  DWORD length = GetCurrentDirectoryW(32768, buffer);
  return length > 0 && length < 32768 ? Narrow(buffer, length) : std::string(".");
}

std::string FolderOfPath(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return "";
  std::wstring folder = NativePath(path.substr(0, cut + 1));
  wchar_t resolved[32768];
  DWORD length = GetFullPathNameW(folder.c_str(), 32768, resolved, nullptr);
  if (length == 0 || length >= 32768) return path.substr(0, cut);
  std::string full = Narrow(resolved, length);
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

int LockFolder(const std::string& path, long long* held) {
  // A named mutex keyed by the folder's identity: Windows drops it with the last process
  // that holds it, so a killed run leaves no stale lock, and it puts no file in the folder.
  FileInfo folder;
  if (int error = Status(path, true, &folder); error != 0) return error;
  if (folder.kind != FileInfo::kFolder) return ENOTDIR;
  wchar_t name[96];
  swprintf(name, 96, L"Local\\doc_suite_run_%08llx_%016llx", folder.device, folder.index);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  if (mutex == nullptr) return win32::LastErrno();
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return EBUSY;
  }
  *held = reinterpret_cast<long long>(mutex);
  return 0;
}

void ReleaseFolderLock(long long held) { CloseHandle(reinterpret_cast<HANDLE>(held)); }

// ---- Clock and environment

std::string Environment(const char* name) {
  std::wstring wide_name = Wide(name);
  DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0) return "";
  std::wstring value(size, L'\0');
  DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  return length < size ? Narrow(value.data(), length) : std::string();
}

std::tm CalendarTime(long long seconds, bool utc) {
  __time64_t when = seconds;
  std::tm parts{};
  if (utc) {
    _gmtime64_s(&parts, &when);
  } else {
    _localtime64_s(&parts, &when);
  }
  return parts;
}

}  // namespace platform
