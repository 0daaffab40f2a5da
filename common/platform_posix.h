#ifndef COMMON_PLATFORM_POSIX_H_
#define COMMON_PLATFORM_POSIX_H_

/// What the POSIX side's files share among themselves; nothing above the seam includes it.

#include <sys/stat.h>

#include <cerrno>

#include "common/platform.h"

namespace platform::posix {

/// The answer of a call that returns 0 or -1 with errno set, as the seam gives it.
inline int ResultOf(int returned) { return returned == 0 ? 0 : errno; }

/// `st` as the seam describes a file.
void FillInfo(const struct stat& st, FileInfo* info);

/// The descriptor of `folder` for the *at() calls (AT_FDCWD for the current folder).
int Dir(const Folder& folder);

/// A program started by this one, or replacing it, gets the signal mask this process had
/// before WatchInterrupts blocked the requests to stop.
void RestoreSignalMask();

}  // namespace platform::posix

#endif  // COMMON_PLATFORM_POSIX_H_
