#include "liststruct/handoff.h"

#include "common/cmd_interpreter.h"
#include "common/config.h"
#include "common/console.h"
#include "common/file_being_made.h"
#include "common/file_failures.h"
#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/line_files.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/work_files.h"
#include "common/work_paths.h"
#include "liststruct/list_file_names.h"

std::string FindIndexerExecutable() {
  RunCommand("dir /b /o  pagoran_*.exe > exe_files.txt");
  LineReader reader("exe_files.txt");
  std::string line, last;
  while (reader.Next(&line)) last = LowerAscii(line);
  return std::string(TrimSpaces(last));
}

namespace {

platform::LockResult LockIndexerFolder(long long* held) {
  std::string path;
  if (!ResolveWorkPath("pagoran", false, &path)) return platform::LockResult::kUnsupported;
  return platform::LockFolder(path, held);
}

}  // namespace

void HandOffToIndexer(const std::string& htm_output) {
  // Without these folders the indexer could not be started, and the closing texts below
  // would promise results that never come.
  RequireFolderWhereNamed("pagoran", "write");
  RunCommand("md pagoran");
  RequireFolder("pagoran", "write");
  // The indexer's own run lock: a run waiting or working there keeps its input and its
  // program file, and the hand-off stops before it deletes anything.
  long long lock = 0;
  if (LockIndexerFolder(&lock) == platform::LockResult::kHeldByAnother) {
    EndProgramOnFailure("Cannot hand the HTML file to the indexer: a run of it is going on in " +
                        ShownName("pagoran") +
                        "; nothing there was changed. Let it end, then "
                        "start this program again.");
  }
  RequireFolderWhereNamed("pagoran\\htm_in", "write");
  RunCommand("md pagoran\\htm_in");
  RequireFolder("pagoran\\htm_in", "write");
  // The new page goes in before the old ones go, so that a failed or stopped hand-off
  // never leaves the indexer's input empty.
  DeleteStaleParts("pagoran\\htm_in");
  CopyByCommand(htm_output, "pagoran\\htm_in\\", "out.list");
  const bool copied = FileExists("pagoran\\htm_in\\" + htm_output);
  for (const std::string& name : MatchingFileNames("pagoran\\htm_in\\*.*")) {
    if (!copied) break;
    std::string folder, base;
    SplitFolderAndName(name, &folder, &base);
    if (LowerAscii(base) != LowerAscii(htm_output)) DeleteWorkFile(name);
  }
  RunCommand("copy wget.exe pagoran\\wget.exe > out.list");
  std::string indexer = FindIndexerExecutable();
  PrintLine(indexer);
  CopyByCommand(indexer, "pagoran\\" + indexer, "out.list");
  if (lock != 0) platform::ReleaseFolderLock(lock);  // the started run takes it
  RunCommand("start /D pagoran " + CommandName(indexer));

  PrintLine();
  PrintLine("============ INDEXING RESULTS ===========");
  PrintLine();
  PrintLine("Indexing is done with a separate program pagoran*.exe");
  PrintLine("Indexing takes place in a subdirectory \\pagoran");
  PrintLine();
  PrintLine("view subfolder: \\pagoran\\htm_out");
  PrintLine("view files: page*.htm, index*.htm, i_*.htm, s_*.htm");
  PrintLine("You can access the index of all words by double-clicking on any word.");
  PrintLine(std::string("details: ") + kMakerSite);
  PrintLine();
  PrintLine("<...> any key to continue and end");
  WaitForAnyKey();
  EndProgram();
}
