#include "common/run_guard.h"
#include "indexer/pagoran_flow.h"

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
    "Output: htm_out/ (start with htm_out/files_list.htm); the occurrence table stays in\n"
    "wrd_24/wrd_24_1.txt.\n",
    "deletes every *.htm*, *.list and *.txt file", "wget.exe", "quillet_*.exe cellorin_*.exe"};

}  // namespace

int main(int argc, char** argv) { return RunGuardedProgram(kPagoran, argc, argv, RunPagoran); }
