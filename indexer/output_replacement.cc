#include "indexer/output_replacement.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "common/cmd_interpreter.h"
#include "common/file_failures.h"
#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/interrupt.h"
#include "common/text.h"
#include "common/work_files.h"
#include "common/work_paths.h"
#include "indexer/hard_links.h"

namespace {

// The new output set is made beside the last one, in kNewOutput, and the two change places
// only when it is whole (the last one going to kOldOutput on the way), so that a run that
// fails or is stopped leaves htm_out as it was.
constexpr char kNewOutput[] = "htm_out~new";
constexpr char kOldOutput[] = "htm_out~old";

// Deletes the files of a folder the run made and the folder; what it cannot delete (a
// folder someone put there) keeps it.
void DeleteMadeFolder(const std::string& folder) {
  for (const std::string& name : MatchingFileNames(folder + "\\*")) DeleteWorkFile(name);
  RemoveFolder(folder);
}

// The old output's files are the run's to delete; whatever else stands in it (a folder the
// user keeps there, a name listings leave out) moves into the new htm_out.
void RetireOldOutput() {
  CarryOverKeptEntries(kOldOutput, "htm_out");
  DeleteMadeFolder(kOldOutput);
}

// Where the system refuses to rename htm_out (a file in it held open), the old files go
// and the new ones move in, one by one.
void ReplaceOutputFilesInPlace() {
  RunCommand("dir > htm_out\\f_01.txt > out_null.list");
  RunCommand("del /q htm_out\\*.* > out_null.list");
  for (const std::string& name : MatchingFileNames(std::string(kNewOutput) + "\\*")) {
    std::string folder, base;
    SplitFolderAndName(name, &folder, &base);
    MoveWorkFile(name, "htm_out\\" + base);
  }
  DeleteMadeFolder(kNewOutput);
}

// This run's occurrence tables take the place of the old ones in wrd_24, each by a rename;
// the folder's other text files go.
void ReplaceOccurrenceTables() {
  if (!FolderExists("wrd_24")) RunCommand("md wrd_24 > out_null.list");
  RequireFolder("wrd_24", "write");
  std::vector<std::string> kept;
  for (const std::string& table : MatchingFileNames("wrd_24*.txt")) {
    MoveWorkFile(table, "wrd_24\\" + table);
    kept.push_back(LowerAscii(table));
  }
  for (const std::string& name : MatchingFileNames("wrd_24\\*.txt")) {
    std::string folder, base;
    SplitFolderAndName(name, &folder, &base);
    if (std::find(kept.begin(), kept.end(), LowerAscii(base)) == kept.end()) {
      DeleteWorkFile(name);
    }
  }
}

}  // namespace

void RecoverInterruptedReplacement() {
  if (FolderExists(kOldOutput)) {
    if (FolderExists("htm_out")) {
      RetireOldOutput();
    } else {
      RenameWorkFolder(kOldOutput, "htm_out");
    }
  }
  if (FolderExists(kNewOutput)) DeleteMadeFolder(kNewOutput);
}

void PutNewOutputInPlace(const PageTexts& pages) {
  DeleteMadeFolder(kNewOutput);
  if (!MakeFolder(kNewOutput)) StopOnWriteFailure(kNewOutput, EIO);
  RequireFolder(kNewOutput, "write");
  const std::string into = std::string(kNewOutput) + "\\";
  // The run deletes every .htm file of the work directory after this step, so the pages
  // can be moved rather than copied.
  for (const auto& [page, text] : pages) MoveWorkFile(page, into + page);
  // These pages are not written again, and the run's clean-up deletes their names in the
  // work directory.
  for (const char* pattern : {"files_list.htm", "i_*.htm", "index.htm", "s_*.htm"}) {
    CopyAsHardLinks(pattern, kNewOutput, "out_null.list");
  }
  {
    InterruptsHeld held;  // a stop now waits until the new result is in place
    ReplaceOccurrenceTables();
    const bool had_output = FolderExists("htm_out");
    if (had_output && RenameWorkFolder("htm_out", kOldOutput) != 0) {
      ReplaceOutputFilesInPlace();
    } else if (RenameWorkFolder(kNewOutput, "htm_out") != 0) {
      if (had_output) RenameWorkFolder(kOldOutput, "htm_out");
      ReplaceOutputFilesInPlace();
    } else if (had_output) {
      RetireOldOutput();
    }
  }
}

void DeleteNewOutputBeingMade() { DeleteMadeFolder(kNewOutput); }
