#ifndef COMMON_PLATFORM_WIN32_H_
#define COMMON_PLATFORM_WIN32_H_

/// What the Windows side's files share among themselves; nothing above the seam includes
/// it.

// clang-format off
#include <windows.h>
// clang-format on
#include <io.h>

#include <string>

#include "common/platform.h"

namespace platform::win32 {

/// The errno value that stands for the system's error code `error`.
int ErrnoOf(DWORD error);
/// ErrnoOf the calling thread's last error.
int LastErrno();

inline HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

/// Puts back the console's output code page that PrepareStandardStreams changed.
void RestoreCodePage();

}  // namespace platform::win32

#endif  // COMMON_PLATFORM_WIN32_H_
