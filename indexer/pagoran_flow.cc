#include "indexer/pagoran_flow.h"

#include <cstdint>
#include <string>
#include <vector>

#include "common/config.h"
#include "common/console.h"
#include "common/line_files.h"
#include "common/shell.h"
#include "common/text.h"
#include "common/work_files.h"
#include "indexer/all_words.h"
#include "indexer/index_pages.h"
#include "indexer/occurrence_pages.h"
#include "indexer/page_files.h"
#include "indexer/pagoran_dialogue.h"
#include "indexer/publisher_params.h"
#include "indexer/run_state.h"
#include "indexer/search_page.h"
#include "indexer/second_names.h"
#include "indexer/word_extract.h"

namespace {

// Deletes every file that `listing_command` lists into dir_01.txt, by its lower-cased name
// with `folder` in front. Folders that match are skipped: they cannot be deleted as files.
void DeleteListed(const std::string& listing_command, const std::string& folder) {
  RunCommand(listing_command);
  for (const std::string& line : ReadAllLines("dir_01.txt")) {
    DeleteWorkFile(folder + LowerAscii(line));
  }
}

// Whether a line of `listing` is exactly `name` (case-blind): a folder named wrd_24_old is
// not wrd_24.
bool ListingNames(const std::string& listing, const std::string& name) {
  LineReader reader(listing);
  std::string line;
  while (reader.Next(&line)) {
    if (LowerAscii(TrimSpaces(line)) == name) return true;
  }
  return false;
}

bool ListingMentions(const std::string& listing, const std::string& name) {
  LineReader reader(listing);
  std::string line;
  while (reader.Next(&line)) {
    if (Contains(LowerAscii(TrimRightSpaces(line)), name)) return true;
  }
  return false;
}

// Inputs that cannot be read, and folders that cannot take the output, are found before
// anything is deleted: otherwise a run would empty htm_out and then fail, or end as a
// success with pages that lost their words.
void CheckFoldersBeforeTouchingAnything() {
  RequireReadableInputs();
  RequireWritableFolderWhereNamed("htm_out");
  RequireWritableFolderWhereNamed("wrd_24");
}

void RemoveOldOutputFolder() {
  RequireFolderWhereNamed("htm_out", "write");
  RunCommand("dir /b *. > dir_01.txt");
  // Only htm_out itself: a folder named htm_out_old has nothing to remove.
  if (!ListingNames("dir_01.txt", "htm_out")) return;
  RunCommand("dir > htm_out\\f_01.txt");
  RunCommand("del /q htm_out\\*.* > out_null.list");
  // A folder that the user keeps in htm_out keeps it too; it is not an error.
  if (FolderIsEmpty("htm_out")) RunCommand("rd htm_out > out_null.list");
}

std::string AskTargetAddress() {
  PrintLine();
  PrintLine("The program enables targeted search.");
  PrintLine("Google search phrases will be targeted to a specific web address.");
  PrintLine(
      "If the destination web address is not specified, Google search will run all over "
      "the web.");
  PrintLine();
  std::string address = ReadInputItem(std::string("web address for destination search (example: ") +
                                      kWebShopExample + ") = ");
  PrintLine();
  return address;
}

void PrepareFolders() {
  RequireFolderWhereNamed("htm_in", "read");
  RunCommand("md htm_in > out_null.list");
  RunCommand("md htm_out > out_null.list");
  RunCommand("dir *. > dir_cur.txt");
  if (ListingMentions("dir_cur.txt", "htm_in") && ListingMentions("dir_cur.txt", "htm_out")) {
    RequireFolder("htm_in", "read");
    RequireFolder("htm_out", "write");
    return;
  }
  PrintLine(std::string(42, '-'));
  PrintLine("subfolders htm_in, htm_out must be created");
  PrintLine();
  PrintLine("<...> any key to continue and end");
  WaitForAnyKey();
  EndProgram();
}

// Copies this run's occurrence tables, one per page group, into the folder wrd_24, whose old
// text files go first.
void KeepOccurrenceTables(uint32_t groups) {
  RequireFolderWhereNamed("wrd_24", "write");
  RunCommand("dir /b *.  > dir_01.txt");
  if (ListingNames("dir_01.txt", "wrd_24")) {
    RunCommand("dir > wrd_24\\f_01.txt");
    RunCommand("del /q wrd_24\\*.txt > out_null.list");
  } else {
    RunCommand("md wrd_24 > out_null.list");
  }
  RequireFolder("wrd_24", "write");
  // The tables are not written again, and their names in the work directory go right after.
  CopyAsSecondNames("wrd_24*.txt", "wrd_24", "out_null.list");
  for (uint32_t group = 1; group <= groups; ++group) DeleteWorkFile(OccurrenceTable(group));
}

// Moves the pages into htm_out beside the index pages, then deletes the work files.
void CopyOutAndCleanUp(const PageTexts& pages) {
  RunCommand("dir /b *. > dir_01.txt");
  if (!ListingMentions("dir_01.txt", "htm_out")) RunCommand("md htm_out > out_null.list");
  RequireFolder("htm_out", "write");
  RunCommand("dir > htm_out\\f_01.txt > out_null.list");
  RunCommand("del /q htm_out\\*.* > out_null.list");
  // Every .htm file of the work directory is deleted below, so the pages can be moved
  // rather than copied.
  for (const auto& [page, text] : pages) MoveWorkFile(page, "htm_out\\" + page);
  // These pages are not written again, and "del /q *.htm*" below deletes their names here.
  for (const char* pattern : {"files_list.htm", "i_*.htm", "index.htm", "s_*.htm"}) {
    CopyAsSecondNames(pattern, "htm_out", "out_null.list");
  }
  RunCommand("del /q *.htm*");
  RunCommand("del /q *.list");
  DeleteListed("dir /b *.txt > dir_01.txt", "");
}

}  // namespace

void RunPagoran(const char* argv0, uint64_t group_occurrences) {
  RunPagoranDialogue(argv0);
  CheckFoldersBeforeTouchingAnything();

  DeleteListed("dir /b *.htm* > dir_01.txt", "");
  DeleteListed("dir /b *.list > dir_01.txt", "");
  DeleteListed("dir /b *.txt > dir_01.txt", "");
  DeleteListed("dir /b htm_out\\*.* > dir_01.txt", "htm_out\\");

  RunPagoranToolCheck();
  RemoveOldOutputFolder();

  IndexerRun run;
  run.target_address = AskTargetAddress();
  PrepareFolders();
  SetPublisherParameters(&run);

  // The pages' text stands in one work file until each page file is written in its final
  // form. Words travel from the page scan to the output pages as typed records in two work
  // files (see word_lists.h). Each work file goes as soon as the last step that reads it is
  // done.
  PageMaker maker;  // makes the pages on a second thread; each is scanned once its text stands
  const WordLists lists = CutPageGroups(
      ExtractWords([&](std::string* page, PageSource* text) { return maker.Next(page, text); }),
      group_occurrences);
  const PageTexts pages = maker.Finish();
  PrintLine();
  PrintLine("processed 1%");
  PrintLine("processed 10%");
  WritePagesWithoutWords(pages, lists);
  const WordIds ids = NumberWords(lists);
  PrintLine("processed 20%");
  const std::vector<RecordSlice> next_pages = FindNextPages(lists);
  PrintLine("processed 30%");
  PrintLine("processed 40%");
  FirstOccurrences first_occurrence;
  {
    PageDecoration decoration(run, lists);
    WordPageEntries entries;
    first_occurrence =
        WriteSearchPageAndWordEntries(run, lists, ids, next_pages, &decoration, &entries);
    DeleteWorkFile(kOccurrenceFile);  // the walk was its last reader
    DeleteWorkFile(kNextPageFile);
    WriteWordIndexAndContents(run, lists, ids, &entries);  // while the pages are decorated
    decoration.Finish();
  }
  DeleteWorkFile(kPageTextFile);  // the decorated pages were its last reader
  PrintLine("processed 50%");
  KeepOccurrenceTables(PageGroupCount(lists));
  PrintLine("processed 60%");
  PrintLine("processed 70%");
  if (lists.total >= 3) PrintLine("processed 80%");
  WriteAllWordsIndex(run, lists, ids, first_occurrence);
  PrintLine("processed 90%");

  CopyOutAndCleanUp(pages);
  PrintLine("processed 100%");
  EndProgram();
}
