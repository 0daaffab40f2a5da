#include "indexer/input_pages.h"

#include <cerrno>

#include "common/cmd_interpreter.h"
#include "common/console.h"
#include "common/file_failures.h"
#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/line_files.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/work_paths.h"

namespace {

// One line of the input list: the name lower-cased as the list holds it, and as the
// listing gave it. The listed spelling opens the file, so that A.htm and a.htm, distinct
// on this file system, each become their own page.
struct InputName {
  std::string lower;
  std::string listed;
};

constexpr char kInputPattern[] = "htm_in\\*.htm*";
// A page of htm_in reserved for the publisher, never indexed.
constexpr char kPromotionPage[] = "f_promote.htm";

// Lists htm_in, sorts the listing and writes the input list dir_01.txt without the
// reserved promotion page.
std::vector<InputName> CollectInputList() {
  // A page whose name no Windows folder can hold is not listed; say so, so that it does
  // not vanish from the index without a word.
  for (const std::string& name : UnlistedMatches(kInputPattern)) {
    PrintError("Skipped htm_in page \"" + EscapedName(name) +
               "\": a Windows folder cannot hold its name (a backslash or a control character)");
  }
  RunCommand(std::string("dir /b ") + kInputPattern + " > dir_02.txt");
  RunCommand("sort dir_02.txt /o dir_03.txt");
  std::vector<InputName> inputs;
  LineReader sorted("dir_03.txt");
  LineWriter list("dir_01.txt");
  std::string line;
  while (sorted.Next(&line)) {
    std::string lower = LowerAscii(line);
    if (Contains(lower, kPromotionPage)) continue;
    if (platform::kReservesWindowsNames && IsWindowsReservedName(line)) {
      PrintError("Skipped htm_in page \"" + EscapedName(line) +
                 "\": Windows reserves its name (a device name such as con or nul, one of"
                 " * ? \" < > | :, or a dot or blank at its end)");
      continue;
    }
    list.WriteLine(lower);
    inputs.push_back({std::move(lower), line});
  }
  return inputs;
}

}  // namespace

void RequireReadableInputs() {
  std::string path;
  if (!ResolveWorkPath("htm_in", false, &path)) return;
  RequireFolder("htm_in", "read");
  if (int error = platform::ListFolderNames(path, 0, [](std::string, const platform::FileInfo&) {});
      error != 0) {
    StopOnReadFailure("htm_in", error);
  }
  std::string folder;
  for (const FolderEntry& entry : ListMatches(kInputPattern, false, &folder)) {
    if (Contains(LowerAscii(entry.name), kPromotionPage)) continue;  // never read
    // Skipped with a line of its own when the pages are listed: never opened.
    if (platform::kReservesWindowsNames && IsWindowsReservedName(entry.name)) continue;
    std::string name = "htm_in\\" + entry.name;
    if (int error = InputReadError(name); error != 0) StopOnReadFailure(name, error);
  }
}

std::vector<std::string> ListInputPages() {
  std::vector<std::string> listed;
  for (InputName& input : CollectInputList()) {
    if (Contains(input.lower, ".htm")) listed.push_back(std::move(input.listed));
  }
  return listed;
}
