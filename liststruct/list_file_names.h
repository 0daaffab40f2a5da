#ifndef LISTSTRUCT_LIST_FILE_NAMES_H_
#define LISTSTRUCT_LIST_FILE_NAMES_H_

/// Names the run of quillet builds: time stamps, the stems of the chosen input, and file
/// names placed into the interpreter's command lines.

#include <string>
#include <string_view>

/// "_YYYY_MM_DD_hh_mm_ss" from a date "mm-dd-yyyy" and a time "hh:mm:ss". The hour always
/// gets two digits; minutes and seconds are taken as the time gives them.
std::string TimeStamp(std::string_view date, std::string_view time);

/// The time stamp of the clock now (common/clock.h).
std::string TimeStampNow();

/// `name` up to, not including, its first ".txt" (case-sensitive); the whole name when it
/// has none.
std::string UpToTxt(std::string_view name);

/// `name` as it stands in a command line: in double quotes when it holds a blank, a tab,
/// ">" or "|", so that the interpreter reads it as one name.
std::string CommandName(std::string_view name);

/// Runs "copy {source} {target} > {junk}". A name that no command line can carry (it holds
/// a double quote, or "*" or "?", which copy would take as a wildcard) is copied directly
/// instead, to the same result. A `target` ending in "\" is a folder: the name is kept.
void CopyByCommand(std::string_view source, std::string_view target, std::string_view junk);

#endif  // LISTSTRUCT_LIST_FILE_NAMES_H_
