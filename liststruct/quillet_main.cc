#include "common/run_guard.h"
#include "liststruct/quillet_flow.h"

namespace {

constexpr ProgramInfo kQuillet = {
    "quillet_01_248.exe",
    "Structures a chaptered UTF-8 text list (chapter marks 1., 1.2, 1.2.3): the list you\n"
    "choose is opened in the editor, its top-level chapters sorted by title, all chapters\n"
    "renumbered and indented, and it is written as time-stamped .txt, .htm and .csv files. On\n"
    "request the HTML is handed to pagoran_01_149.exe in the sub-folder pagoran: the hand-off\n"
    "replaces what pagoran/htm_in held with this HTML file alone, and it stops, changing\n"
    "nothing, while a run of the indexer is going on there.\n"
    "\n"
    "It works only in a folder of its own, next to pagoran_01_149.exe and wget.exe\n"
    "(scripts/new_workdir.sh DIR makes one). There it deletes check*.*, chapters*.*,\n"
    "oglasi*.*, sour_in*.*, exe_files*.* and dir_files*.*, and it reserves the names list*.txt\n"
    "for its work files.\n"
    "\n"
    "Scripted runs: menu keys are single bytes (no line end), the file number is one line;\n"
    "EDITOR=true leaves the list as it is. SOURCE_DATE_EPOCH fixes the time stamps.\n"
    "\n"
    "Output: <list>_YYYY_MM_DD_hh_mm_ss.txt, .htm and .csv in this folder; the indexed pages\n"
    "in pagoran/htm_out.\n",
    "deletes check*.*, chapters*.*, sour_in*.* and other work files",
    "pagoran_01_149.exe wget.exe"};

}  // namespace

int main(int argc, char** argv) { return RunGuardedProgram(kQuillet, argc, argv, RunQuillet); }
