#include "indexer/pagoran_flow.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/cmd_interpreter.h"
#include "common/config.h"
#include "common/console.h"
#include "common/file_being_made.h"
#include "common/file_failures.h"
#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/interrupt.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"
#include "common/work_paths.h"
#include "indexer/all_words.h"
#include "indexer/index_pages.h"
#include "indexer/indexer_run.h"
#include "indexer/input_pages.h"
#include "indexer/occurrence_pages.h"
#include "indexer/output_replacement.h"
#include "indexer/page_files.h"
#include "indexer/pagoran_dialogue.h"
#include "indexer/publisher_params.h"
#include "indexer/search_page.h"
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

// The work files of a run, deleted at its start and end, and when it is stopped.
void DeleteWorkFilesByPattern() {
  for (const char* pattern : {"*.htm*", "*.list", "*.txt"}) {
    for (const std::string& name : MatchingFileNames(pattern)) DeleteWorkFile(name);
  }
}

void CleanUpStoppedRun() {
  DeletePartsBeingMade();
  DeleteNewOutputBeingMade();
  DeleteWorkFilesByPattern();
}

}  // namespace

void RunPagoran(const char* argv0, uint64_t group_occurrences) {
  RunPagoranDialogue(argv0);
  CheckFoldersBeforeTouchingAnything();
  CleanUpOnInterrupt(CleanUpStoppedRun,
                     "Stopped: the run's work files are deleted; htm_out holds the last "
                     "finished result.");

  // The last result stays in htm_out until the new one is whole.
  RecoverInterruptedReplacement();
  DeleteStaleParts("");
  DeleteListed("dir /b *.htm* > dir_01.txt", "");
  DeleteListed("dir /b *.list > dir_01.txt", "");
  DeleteListed("dir /b *.txt > dir_01.txt", "");

  RunPagoranToolCheck();

  const std::string target_address = AskTargetAddress();
  PrepareFolders();
  const IndexerRun run = PublisherParameters(target_address);

  // The pages' text stands in one work file until each page file is written in its final
  // form. Words travel from the page scan to the output pages as typed records in two work
  // files (see word_lists.h). Each work file goes as soon as the last step that reads it is
  // done.
  std::vector<std::string> inputs = ListInputPages();
  // Makes the pages on a second thread; each is scanned once its text stands.
  PageMaker maker(std::move(inputs));
  const WordLists lists = CutPageGroups(
      ExtractWords([&](std::string* page, PageSource* text) { return maker.Next(page, text); }),
      group_occurrences);
  const PageTexts pages = maker.Finish();
  if (pages.empty()) {
    PrintError("htm_in holds no .htm or .html page: the index pages will be empty.");
  }
  PrintLine();
  PrintLine("processed 1%");
  PrintLine("processed 10%");
  WritePagesWithoutWords(pages, lists);
  const WordIds ids = NumberWords(lists);
  PrintLine("processed 20%");
  const NextPages next_pages = FindNextPages(lists);
  PrintLine("processed 30%");
  PrintLine("processed 40%");
  FirstOccurrences first_occurrence;
  {
    PageDecoration decoration(run, lists);
    WordPageEntries entries;
    first_occurrence =
        WriteSearchPageAndWordEntries(run, lists, ids, next_pages, &decoration, &entries);
    DeleteWorkFile(lists.occurrence_file);  // the walk was its last reader
    DeleteWorkFile(next_pages.file);
    WriteWordIndexAndContents(run, lists, ids, &entries);  // while the pages are decorated
    decoration.Finish();
  }
  DeleteWorkFile(kPageTextFile);  // the decorated pages were its last reader
  PrintLine("processed 50%");
  PrintLine("processed 60%");
  PrintLine("processed 70%");
  if (lists.total >= 3) PrintLine("processed 80%");
  WriteAllWordsIndex(run, lists, ids, first_occurrence);
  PrintLine("processed 90%");

  PutNewOutputInPlace(pages);
  RunCommand("del /q *.htm*");
  RunCommand("del /q *.list");
  DeleteListed("dir /b *.txt > dir_01.txt", "");
  PrintLine("processed 100%");
  EndProgram();
}
