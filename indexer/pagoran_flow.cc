#include "indexer/pagoran_flow.h"

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

bool ListingMentions(const std::string& listing, const std::string& name) {
  LineReader reader(listing);
  std::string line;
  while (reader.Next(&line)) {
    if (Contains(LowerAscii(TrimRightSpaces(line)), name)) return true;
  }
  return false;
}

void RemoveOldOutputFolder() {
  RequireFolderWhereNamed("htm_out", "write");
  RunCommand("dir /b *. > dir_01.txt");
  if (!ListingMentions("dir_01.txt", "htm_out")) return;
  RunCommand("dir > htm_out\\f_01.txt");
  RunCommand("del /q htm_out\\*.* > out_null.list");
  RunCommand("rd htm_out > out_null.list");
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

void CopyOutAndCleanUp() {
  RunCommand("dir /b *. > dir_01.txt");
  if (!ListingMentions("dir_01.txt", "htm_out")) RunCommand("md htm_out > out_null.list");
  RequireFolder("htm_out", "write");
  RunCommand("dir > htm_out\\f_01.txt > out_null.list");
  RunCommand("del /q htm_out\\*.* > out_null.list");
  for (const std::string& line : ReadAllLines("dir_02.txt")) {
    std::string name = LowerAscii(line);
    if (!Contains(name, ".htm")) continue;
    // Every .htm file of the work directory is deleted below, so the page can be moved
    // rather than copied.
    MoveWorkFile(TrimSpaces(name), "htm_out\\" + std::string(TrimSpaces(name)));
  }
  // These pages are not written again, and "del /q *.htm*" below deletes their names here.
  for (const char* pattern : {"files_list.htm", "i_*.htm", "index.htm", "s_*.htm"}) {
    CopyAsSecondNames(pattern, "htm_out", "out_null.list");
  }
  RunCommand("del /q *.htm*");
  RunCommand("del /q *.list");
  DeleteListed("dir /b *.txt > dir_01.txt", "");
}

}  // namespace

void RunPagoran(const char* argv0) {
  RunPagoranDialogue(argv0);

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
  // files (see word_lists.h). Each work file goes as soon as the last phase that reads it is
  // done.
  WordLists lists;
  PageTexts texts;
  {
    // The pages are made on a second thread; each is scanned as soon as its text stands.
    PageMaker pages;
    lists =
        ExtractWords([&](std::string* page, PageSource* text) { return pages.Next(page, text); });
    texts = pages.Finish();
  }
  PrintLine();
  PrintLine("processed 1%");
  RunCommand("dir /b page_*.htm > dir_02.txt");  // the pages that the copy-out moves
  PrintLine("processed 10%");
  WritePagesWithoutWords(texts, lists);
  NumberWords(&lists);
  PrintLine("processed 20%");
  FindNextPages(&lists);
  PrintLine("processed 30%");
  PrintLine("processed 40%");
  WriteOccurrencePages(run, &lists);
  PrintLine("processed 50%");
  KeepOccurrenceTable();
  DeleteWorkFile(kOccurrenceTable);  // its copy in the folder wrd_24 stays
  PrintLine("processed 60%");
  PrintLine("processed 70%");
  if (lists.total >= 3) PrintLine("processed 80%");
  WriteAllWordsIndex(run, lists);
  PrintLine("processed 90%");

  CopyOutAndCleanUp();
  PrintLine("processed 100%");
  EndProgram();
}
