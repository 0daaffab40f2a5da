#include "common/run_guard.h"
#include "indexer/pagoran_flow.h"
#include "indexer/word_lists.h"

namespace {

constexpr ProgramInfo kPagoran = {
    "pagoran_01_149.exe",
    "Indexes the HTML pages in htm_in: each becomes a numbered page where every word is marked\n"
    "and highlightable, with a contents page, a word index, a search page with web-search\n"
    "links and an index of all words with their counts.\n"
    "\n"
    "It works only in a folder of its own that holds it and wget.exe (scripts/new_workdir.sh\n"
    "DIR makes one). There it deletes every *.htm*, *.list and *.txt file at the start and the\n"
    "end of a run, and the old contents of htm_out, so it refuses a folder that also holds\n"
    "quillet or cellorin. htm_in is only read; a page that cannot be read stops the run.\n"
    "\n"
    "Scripted runs: menu keys are single bytes (no line end), the target address is one line:\n"
    "  printf '11\\n' | ./pagoran_01_149.exe     accept, continue, no target address\n"
    "SOURCE_DATE_EPOCH fixes the date and time written on the pages.\n"
    "\n"
    "Output: htm_out/ (start with htm_out/files_list.htm); a large set gets several word index\n"
    "and search pages, i_N.htm and s_N.htm, one for each group of pages that a browser opens\n"
    "quickly. The occurrence tables stay in wrd_24/wrd_24_N.txt.\n",
    "deletes every *.htm*, *.list and *.txt file", "wget.exe", "quillet_*.exe cellorin_*.exe"};

// The test build pagoran_small_groups cuts groups of a few occurrences, so that small cases
// show several groups; the program itself always uses kGroupOccurrences.
#ifdef PAGORAN_TEST_GROUP_OCCURRENCES
constexpr uint64_t kGroupLimit = PAGORAN_TEST_GROUP_OCCURRENCES;
#else
constexpr uint64_t kGroupLimit = kGroupOccurrences;
#endif

void Run(const char* argv0) { RunPagoran(argv0, kGroupLimit); }

}  // namespace

int main(int argc, char** argv) { return RunGuardedProgram(kPagoran, argc, argv, Run); }
