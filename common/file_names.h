#ifndef COMMON_FILE_NAMES_H_
#define COMMON_FILE_NAMES_H_

/// What names a work folder can hold, and how messages show them.

#include <string>
#include <string_view>

/// Whether a Windows folder could hold `name`: not when it holds a backslash or a byte below
/// 32. A name it could not hold is data, never a path and never several lines: listings and
/// case-blind lookups leave it out, so no command acts on it, or on another file because
/// of it.
bool IsHoldableName(std::string_view name);
/// Whether Windows reserves `name`: a device name (con, prn, aux, nul, com1 to com9, lpt1 to
/// lpt9, in any case, alone or with an extension), one of the characters * ? " < > | : or a
/// name that ends in a dot or a blank. On Windows such a name opens a device or another file.
bool IsWindowsReservedName(std::string_view name);
/// `name` with every backslash and byte below 32 written as a C escape ("a\nb.htm"), for a
/// message that names it on one line.
std::string EscapedName(std::string_view name);

/// Splits a work-directory name at its last separator: "htm_in\a.htm" gives "htm_in" and
/// "a.htm".
void SplitFolderAndName(std::string_view name, std::string* folder, std::string* base);

#endif  // COMMON_FILE_NAMES_H_
