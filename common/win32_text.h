#ifndef COMMON_WIN32_TEXT_H_
#define COMMON_WIN32_TEXT_H_

/// Text at the Windows system calls, for the Win32 side of the platform seam and the tests
/// that start programs there: names are UTF-8 inside the programs and UTF-16 at the calls.

#include <string>

namespace platform {

std::wstring Wide(const std::string& text);
std::string Narrow(const wchar_t* text, size_t length);
std::string Narrow(const std::wstring& text);
/// `path` (UTF-8, "/" or "\\" between folders) as the system calls take it: UTF-16 with "\\".
std::wstring NativePath(const std::string& path);
/// One argument of a command line, quoted as the C runtime's parser reads it back.
std::wstring QuotedArgument(const std::wstring& argument);

}  // namespace platform

#endif  // COMMON_WIN32_TEXT_H_
