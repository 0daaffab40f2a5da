// The three programs in hostile work directories: links that lead out of the folder or into
// htm_in, inputs that are no files, folders where files go, a full disk. After every run
// nothing outside the work directory has changed and htm_in is as it was; a run that cannot
// write its files ends with status 1 and says which file and why.

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPagoran[] = "pagoran_01_149.exe";
constexpr char kQuillet[] = "quillet_01_248.exe";
constexpr char kCellorin[] = "cellorin_083.exe";

// Keys of a whole run: the indexer without a target address, quillet on its one list
// without indexing, cellorin with four answers.
std::string KeysFor(const std::string& program) {
  if (program == kPagoran) return "11\n";
  if (program == kQuillet) return "111\n12";
  return "11b\nd\n3\nh\n";
}

// A work directory inside `outer`, with input for each program, and next to it a folder
// and a file that no run may touch.
void MakeWorkDir(const std::string& outer, const std::string& program) {
  MakeDirs(outer + "/work/htm_in");
  MakeDirs(outer + "/outside");
  WriteBytes(outer + "/outside/keep.txt", "outside text\n");
  WriteBytes(outer + "/outside/page.htm", "<body>\nlinked page words\n</body>\n");
  WriteBytes(outer + "/outside_file.htm", "outside file\n");
  WriteBytes(outer + "/work/htm_in/a.htm", "<body>\nfirst page words\n</body>\n");
  WriteBytes(outer + "/work/htm_in/b.htm", "<body>\nsecond page words\n</body>\n");
  WriteBytes(outer + "/work/garden.txt", "\n1. Garden\n1.1 roses\n2. Apple\n2.1 red\n");
  InstallPrograms(outer + "/work", program);
}

struct Case {
  std::string name;
  std::string program;
  std::function<void()> setup;  // runs in the work directory
  int status;
  std::string err;                      // the whole of standard error
  std::function<void()> check = [] {};  // runs in the work directory after the run
  std::string keys = "";                // instead of KeysFor(program)
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class HostileWorkDir : public testing::TestWithParam<Case> {};

TEST_P(HostileWorkDir, NothingOutsideChangesAndFailuresAreReported) {
  const Case& c = GetParam();
  ScopedWorkDir outer;
  MakeWorkDir(outer.path(), c.program);
  ASSERT_EQ(0, chdir("work"));
  c.setup();
  const auto outside = SnapshotTree(outer.path(), "work");
  const auto input = SnapshotTree(outer.path() + "/work/htm_in");
  const auto start = std::chrono::steady_clock::now();
  ProgramRun run = RunProgram(ProgramPath(c.program.c_str()), outer.path() + "/work",
                              c.keys.empty() ? KeysFor(c.program) : c.keys, "1720343103",
                              {{"VISUAL", ""}, {"EDITOR", "true"}}, 20);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  EXPECT_EQ(c.status, run.status) << run.out;
  EXPECT_EQ(c.err, run.err);
  if (c.status == 0) {
    EXPECT_NE(std::string::npos, run.out.find(c.program == kCellorin ? "Output files" : "100%"));
  } else {
    // Stopped at once: no progress to the end, no closing messages. (quillet ends its own
    // work with "processed 100%" before the hand-off.)
    if (c.program != kQuillet || c.keys.empty()) {
      EXPECT_EQ(std::string::npos, run.out.find("processed 100%"));
    }
    EXPECT_EQ(std::string::npos, run.out.find("Output files"));
    EXPECT_EQ(std::string::npos, run.out.find("INDEXING RESULTS"));
  }
  EXPECT_EQ(outside, SnapshotTree(outer.path(), "work"));
  EXPECT_EQ(input, SnapshotTree(outer.path() + "/work/htm_in"));
  c.check();
}

void Link(const char* target, const char* name) { ASSERT_EQ(0, symlink(target, name)); }

const std::string kMine = "the user's own file\n";
const std::string kNotAFolder = ": Not a directory\n";

// A FIFO or a file of the user's own standing where a run needs a folder.
std::function<void()> Fifo(const char* name) {
  return [=] { ASSERT_EQ(0, mkfifo(name, 0644)); };
}
std::function<void()> FileOfMine(const char* name) {
  return [=] {
    fs::remove_all(name);
    WriteBytes(name, kMine);
  };
}
std::function<void()> StillMine(const char* name) {
  return [=] { EXPECT_EQ(kMine, ReadBytes(name)) << name; };
}
std::function<void()> StillAFifo(const char* name) {
  return [=] { EXPECT_TRUE(fs::is_fifo(name)) << name; };
}

// Names that no Windows folder can hold: a backslash or a line break in them.
const char kBackslashVictim[] = "htm_in\\b.htm";
const char kClimbingVictim[] = "htm_out/..\\htm_in\\b.htm";
const std::string kProgramsInOneName = "pagoran_01_149.exe\nwget.exe\nb.txt";

// The page named "a<LF>b.htm" is skipped with a word; b.htm is indexed once.
void OddPageSkipped() {
  EXPECT_EQ(std::vector<std::string>({"files_list.htm", "i_1.htm", "index.htm", "page_01.htm",
                                      "page_02.htm", "s_1.htm"}),
            ListNames("htm_out"));
  for (const std::string& name : ListNames("htm_out")) {
    EXPECT_EQ(std::string::npos, ReadBytes("htm_out/" + name).find("secretword")) << name;
  }
  EXPECT_NE(std::string::npos, ReadBytes("htm_out/index.htm").find("second")) << "b.htm";
}

const std::string kThroughLink = ": leaves the work directory through a link\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileWorkDir,
    testing::Values(
        Case{"htm_out_leads_out", kPagoran, [] { Link("../outside", "htm_out"); }, 1,
             "Cannot write htm_out" + kThroughLink},
        Case{"htm_out_leads_into_htm_in", kPagoran, [] { Link("htm_in", "htm_out"); }, 1,
             "Cannot write htm_out" + kThroughLink},
        Case{"wrd_24_leads_out", kPagoran, [] { Link("../outside", "wrd_24"); }, 1,
             "Cannot write wrd_24" + kThroughLink},
        Case{"list_output_leads_out", kQuillet,
             [] { Link("../outside_file.htm", "list_03_list.htm"); }, 1,
             "Cannot write list_03_list.htm" + kThroughLink},
        Case{"formula_page_leads_out", kCellorin,
             [] { Link("../outside_file.htm", "efg_cellorin.htm"); }, 1,
             "Cannot write efg_cellorin.htm" + kThroughLink},
        // Reading follows links, also out of the work directory.
        Case{"page_read_through_a_link", kPagoran,
             [] { Link("../../outside/page.htm", "htm_in/linked.htm"); }, 0, "",
             [] { EXPECT_NE(std::string::npos, ReadBytes("htm_out/index.htm").find("linked")); }},
        // A run killed without warning while the new output changed places with the last:
        // the next run puts things right, and a folder the user kept in htm_out stays.
        Case{"leftovers_of_a_killed_run", kPagoran,
             [] {
               MakeDirs("htm_out~old/assets");
               WriteBytes("htm_out~old/assets/style.css", kMine);
               WriteBytes("htm_out~old/page_01.htm", "the last result\n");
               MakeDirs("htm_out~new");
               WriteBytes("htm_out~new/page_01.htm", "half made\n");
               WriteBytes("files_list.htm~part", "half copied\n");
             },
             0, "",
             [] {
               EXPECT_EQ(kMine, ReadBytes("htm_out/assets/style.css"));
               EXPECT_FALSE(PathExists("htm_out~old"));
               EXPECT_FALSE(PathExists("htm_out~new"));
               EXPECT_FALSE(PathExists("files_list.htm~part"));
               EXPECT_NE(std::string::npos, ReadBytes("htm_out/page_01.htm").find("first"));
             }},
        // The tables of an earlier run with more page groups go; other files stay.
        Case{"old_occurrence_tables_go", kPagoran,
             [] {
               MakeDirs("wrd_24");
               WriteBytes("wrd_24/wrd_24_7.txt", "an older run's table\n");
               WriteBytes("wrd_24/notes.csv", kMine);
             },
             0, "",
             [] {
               EXPECT_EQ(std::vector<std::string>({"notes.csv", "wrd_24_1.txt"}),
                         ListNames("wrd_24"));
               EXPECT_EQ(kMine, ReadBytes("wrd_24/notes.csv"));
             }},
        // Folders whose names only hold htm_out or wrd_24 are the user's, and no reason for
        // an error line; nor is a folder the user keeps in htm_out.
        Case{"folders_named_like_the_output_folders", kPagoran,
             [] {
               MakeDirs("htm_out_old");
               MakeDirs("wrd_24_old");
               WriteBytes("wrd_24_old/wrd_24_1.txt", kMine);
               MakeDirs("htm_out/assets");
             },
             0, "",
             [] {
               EXPECT_EQ(kMine, ReadBytes("wrd_24_old/wrd_24_1.txt"));
               EXPECT_NE("", ReadBytes("wrd_24/wrd_24_1.txt"));
               EXPECT_TRUE(fs::is_directory("htm_out/assets"));
               EXPECT_TRUE(fs::is_directory("htm_out_old"));
             }},
        Case{"folder_where_a_work_file_goes", kPagoran, [] { MakeDirs("wrd_01.txt"); }, 1,
             "Cannot write wrd_01.txt: Is a directory\n"},
        // Folders where the indexer's own files go, on either of its threads: the page text
        // and the page files are made beside the scan, the table beside the walk.
        Case{"folder_where_the_page_text_goes", kPagoran, [] { MakeDirs("page_text.txt"); }, 1,
             "Cannot write page_text.txt: Is a directory\n"},
        Case{"folder_where_a_page_goes", kPagoran, [] { MakeDirs("page_02.htm"); }, 1,
             "Cannot write page_02.htm: Is a directory\n"},
        Case{"folder_where_the_occurrence_table_goes", kPagoran, [] { MakeDirs("wrd_24_1.txt"); },
             1, "Cannot write wrd_24_1.txt: Is a directory\n"},
        Case{"folder_where_the_formula_page_goes", kCellorin, [] { MakeDirs("efg_cellorin.htm"); },
             1, "Cannot write efg_cellorin.htm: Is a directory\n"},
        // A name is data, never a path: the files these names seem to point at stay, and so
        // do the odd names themselves, which no listing shows.
        Case{"backslash_name_in_the_work_directory", kPagoran,
             [] { WriteBytes(kBackslashVictim, kMine); }, 0, "",
             [] { EXPECT_EQ(kMine, ReadBytes(kBackslashVictim)); }},
        Case{"backslash_name_climbing_out_of_htm_out", kPagoran,
             [] {
               MakeDirs("htm_out");
               WriteBytes(kClimbingVictim, kMine);
             },
             // Nothing removes the odd name, so the old htm_out stays.
             0, "", [] { EXPECT_EQ(kMine, ReadBytes(kClimbingVictim)); }},
        Case{"line_breaks_in_a_name", kPagoran, [] { WriteBytes(kProgramsInOneName, kMine); }, 0,
             "",
             [] {
               EXPECT_EQ(kMine, ReadBytes(kProgramsInOneName));
               EXPECT_TRUE(PathExists("pagoran_01_149.exe"));
               EXPECT_TRUE(PathExists("wget.exe"));
             }},
        Case{"line_break_in_a_page_name", kPagoran,
             [] { WriteBytes("htm_in/a\nb.htm", "<body>\nsecretword\n</body>\n"); }, 0,
             "Skipped htm_in page \"a\\nb.htm\": a Windows folder cannot hold its name (a "
             "backslash or a control character)\n",
             OddPageSkipped},
        // A file or FIFO where a folder belongs stops the run before anything is lost, and
        // stays as it was.
        Case{"file_where_htm_out_goes", kPagoran, FileOfMine("htm_out"), 1,
             "Cannot write htm_out" + kNotAFolder, StillMine("htm_out")},
        Case{"fifo_where_htm_out_goes", kPagoran, Fifo("htm_out"), 1,
             "Cannot write htm_out" + kNotAFolder, StillAFifo("htm_out")},
        Case{"file_where_wrd_24_goes", kPagoran, FileOfMine("wrd_24"), 1,
             "Cannot write wrd_24" + kNotAFolder, StillMine("wrd_24")},
        Case{"file_where_htm_in_goes", kPagoran, FileOfMine("htm_in"), 1,
             "Cannot read htm_in" + kNotAFolder, StillMine("htm_in")},
        Case{"file_where_the_indexer_folder_goes", kQuillet, FileOfMine("pagoran"), 1,
             "Cannot write pagoran" + kNotAFolder, StillMine("pagoran"), "111\n1112"}),
    [](const testing::TestParamInfo<Case>& param) { return param.param.name; });

// An input that cannot be read stops the run with status 1, naming it and why, before
// anything of the last result is touched: the indexer checks htm_in and its pages, and its
// output folders, right after its dialogue; quillet checks the list the user chose. A page
// read as empty would vanish from the index without a word.
struct UnreadableCase {
  std::string name;
  std::string program;
  std::function<void()> setup;  // runs in the work directory, after a good run
  std::string err;
  std::string restricted = "";  // a path whose permissions are taken away for the run
  unsigned mode = 0;
};

void PrintTo(const UnreadableCase& c, std::ostream* out) { *out << c.name; }

class UnreadableInput : public testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableInput, StopsBeforeTheLastResultIsTouched) {
  const UnreadableCase& c = GetParam();
  HonouredPermissions permissions;
  if (!c.restricted.empty() && !permissions.active()) {
    GTEST_SKIP() << "this system lets the runs pass permission bits";
  }
  ScopedWorkDir outer;
  MakeWorkDir(outer.path(), c.program);
  ASSERT_EQ(0, chdir("work"));
  const std::string work = outer.path() + "/work";
  if (c.program == kPagoran) {
    ASSERT_EQ(0, RunProgram(ProgramPath(kPagoran), work, KeysFor(kPagoran)).status);
  }
  c.setup();
  const auto outside = SnapshotTree(outer.path(), "work");
  const auto before = c.program == kPagoran ? SnapshotTree(work) : decltype(outside){};
  if (!c.restricted.empty()) {
    ASSERT_EQ(0, chmod(c.restricted.c_str(), c.mode));
  }
  ProgramRun run =
      RunProgram(ProgramPath(c.program), work, c.program == kPagoran ? "11\n" : "111\n",
                 "1720343103", {{"VISUAL", ""}, {"EDITOR", "true"}}, 20);
  if (!c.restricted.empty()) chmod(c.restricted.c_str(), 0755);
  EXPECT_EQ(1, run.status) << run.out;
  EXPECT_EQ(c.err, run.err);
  EXPECT_EQ(std::string::npos, run.out.find("processed")) << run.out;
  EXPECT_EQ(outside, SnapshotTree(outer.path(), "work"));
  if (c.program == kPagoran) {
    // Not a file of the work folder changed: the check comes before the clean-up.
    EXPECT_EQ(before, SnapshotTree(work));
  } else {
    // No copy of the list is named or made.
    EXPECT_EQ(std::string::npos, run.out.find("a_2024")) << run.out;
    EXPECT_FALSE(PathExists("list_01.txt"));
    for (const std::string& name : ListNames(".")) EXPECT_FALSE(name.starts_with("a_")) << name;
  }
}

const std::string kDenied = ": Permission denied\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableInput,
    testing::Values(
        UnreadableCase{"htm_in_closed", kPagoran, [] {}, "Cannot read htm_in" + kDenied, "htm_in",
                       0},
        // Entered but not listed.
        UnreadableCase{"htm_in_not_listable", kPagoran, [] {}, "Cannot read htm_in" + kDenied,
                       "htm_in", 0311},
        UnreadableCase{"page_closed", kPagoran, [] {}, "Cannot read htm_in/b.htm" + kDenied,
                       "htm_in/b.htm", 0},
        UnreadableCase{"page_is_a_fifo", kPagoran, Fifo("htm_in/c.htm"),
                       "Cannot read htm_in/c.htm: is not a regular file\n"},
        UnreadableCase{"page_is_a_device", kPagoran, [] { Link("/dev/zero", "htm_in/c.htm"); },
                       "Cannot read htm_in/c.htm: is not a regular file\n"},
        UnreadableCase{"page_is_a_folder", kPagoran, [] { MakeDirs("htm_in/c.html"); },
                       "Cannot read htm_in/c.html: Is a directory\n"},
        UnreadableCase{"page_links_to_nothing", kPagoran, [] { Link("gone.htm", "htm_in/c.htm"); },
                       "Cannot read htm_in/c.htm: No such file or directory\n"},
        UnreadableCase{"wrd_24_read_only", kPagoran, [] {}, "Cannot write wrd_24" + kDenied,
                       "wrd_24", 0555},
        UnreadableCase{"htm_out_read_only", kPagoran, [] {}, "Cannot write htm_out" + kDenied,
                       "htm_out", 0555},
        UnreadableCase{"list_is_a_folder", kQuillet, [] { MakeDirs("a.txt"); },
                       "Cannot read a.txt: Is a directory\n"},
        UnreadableCase{"list_is_a_fifo", kQuillet, Fifo("a.txt"),
                       "Cannot read a.txt: is not a regular file\n"},
        UnreadableCase{"list_is_a_device", kQuillet, [] { Link("/dev/zero", "a.txt"); },
                       "Cannot read a.txt: is not a regular file\n"},
        UnreadableCase{"list_links_to_nothing", kQuillet, [] { Link("gone.txt", "a.txt"); },
                       "Cannot read a.txt: No such file or directory\n"},
        UnreadableCase{"list_link_loops", kQuillet, [] { Link("a.txt", "a.txt"); },
                       "Cannot read a.txt: Too many levels of symbolic links\n"},
        UnreadableCase{"list_closed", kQuillet, [] { WriteBytes("a.txt", "\n1. A\n"); },
                       "Cannot read a.txt" + kDenied, "a.txt", 0}),
    [](const testing::TestParamInfo<UnreadableCase>& param) { return param.param.name; });

// Input big enough that a run takes a while after each of its progress lines: pages of
// many different words for the indexer, a long list for quillet.
void WriteBigInput(const std::string& program) {
  if (program == kPagoran) {
    for (int page = 0; page < 60; ++page) {
      std::string text = "<body>\n";
      for (int line = 0; line < 100; ++line) {
        for (int word = 0; word < 12; ++word) {
          text += "w" + std::to_string((page * 7919 + line * 104729 + word * 13) % 50021) + " ";
        }
        text += "\n";
      }
      WriteBytes("htm_in/p" + std::to_string(page) + ".htm", text + "</body>\n");
    }
  } else if (program == kQuillet) {
    std::string list = "\n";
    for (int chapter = 1; chapter <= 6000; ++chapter) {
      list += std::to_string(chapter) + ". Chapter " + std::to_string(chapter * 31 % 9973) + "\n" +
              std::to_string(chapter) + ".1 part\nsome body text\n";
    }
    WriteBytes("garden.txt", list);
  }
}

// What a run leaves in `work` but the work files that quillet and cellorin keep as a
// finished run leaves them (lists, tool-check listings): what a stopped or failed run must
// leave alone.
std::map<std::string, std::string> OutputsIn(const std::string& work, const std::string& program) {
  auto tree = SnapshotTree(work);
  if (program != kPagoran) {
    std::erase_if(tree, [](const auto& entry) {
      for (const char* prefix : {"list", "check_", "out", "exe_files", "dir_files", "sour_in"}) {
        if (entry.first.starts_with(prefix)) return true;
      }
      return false;
    });
  }
  return tree;
}

// Ctrl+C or a termination signal at a prompt or in the middle of the work: the run's work
// files go, the last finished result stays byte for byte, one line says so, and the status
// is the one shells expect; the next run gives what a clean run gives.
struct StopCase {
  std::string name;
  std::string program;
  std::string keys;  // then the input stays open
  std::string when_printed;
  int signal;
  std::string err;
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name; }

class StoppedRun : public testing::TestWithParam<StopCase> {};

// The names whose entries differ between two snapshots (a diff of the bytes would be huge).
std::string ChangedNames(const std::map<std::string, std::string>& before,
                         const std::map<std::string, std::string>& after) {
  std::string changed;
  for (const auto& [name, bytes] : before) {
    auto it = after.find(name);
    if (it == after.end()) {
      changed += "gone: " + name + "\n";
    } else if (it->second != bytes) {
      changed += "changed: " + name + "\n";
    }
  }
  for (const auto& [name, bytes] : after) {
    if (!before.contains(name)) changed += "new: " + name + "\n";
  }
  return changed;
}

TEST_P(StoppedRun, KeepsTheLastResult) {
  const StopCase& c = GetParam();
  ScopedWorkDir outer;
  MakeWorkDir(outer.path(), c.program);
  ASSERT_EQ(0, chdir("work"));
  const std::string work = outer.path() + "/work";
  WriteBigInput(c.program);
  const std::map<std::string, std::string> env = {{"VISUAL", ""}, {"EDITOR", "true"}};
  ProgramRun first =
      RunProgram(ProgramPath(c.program), work, KeysFor(c.program), "1720343103", env, 120);
  ASSERT_EQ(0, first.status) << first.err;
  auto results = [&] { return OutputsIn(work, c.program); };
  // New input, so that a run that went through would leave other bytes.
  if (c.program == kPagoran) WriteBytes("htm_in/new.htm", "<body>\nnewer words\n</body>\n");
  if (c.program == kQuillet) WriteBytes("garden.txt", ReadBytes("garden.txt") + "6001. Newer\n");
  const auto outside = SnapshotTree(outer.path(), "work");
  const auto before = results();
  // A second later than the first run: quillet's copy of its input, made when the list is
  // chosen, is named by the time.
  auto later = env;
  later["SOURCE_DATE_EPOCH"] = "1720343104";
  ProgramRun stopped =
      RunAndInterrupt(ProgramPath(c.program), work, c.keys, c.when_printed, c.signal, later);
  if (stopped.status == -2) GTEST_SKIP() << "no signals here";
  EXPECT_EQ(128 + c.signal, stopped.status) << stopped.out;
  EXPECT_EQ(c.err, stopped.err);
  EXPECT_EQ(std::string::npos, stopped.out.find("processed 100%"));
  EXPECT_EQ(c.program == kQuillet ? "new: garden_2024_07_07_09_05_04.txt\n" : "",
            ChangedNames(before, results()));
  EXPECT_EQ(outside, SnapshotTree(outer.path(), "work"));
  ProgramRun again =
      RunProgram(ProgramPath(c.program), work, KeysFor(c.program), "1720343103", env, 120);
  EXPECT_EQ(0, again.status) << again.err;
  EXPECT_EQ("", again.err);
  if (c.program != kCellorin) {
    EXPECT_NE("", ChangedNames(before, results()));
  }
  // The stopped run left nothing for the next one: not a work file, nor a part.
  for (const auto& [name, bytes] : SnapshotTree(work)) {
    EXPECT_EQ(std::string::npos, name.find("~")) << name;
    if (c.program == kPagoran) {
      EXPECT_FALSE(name.ends_with(".txt") && name.find('/') == std::string::npos) << name;
    }
  }
}

const std::string kIndexerStopped =
    "Stopped: the run's work files are deleted; htm_out holds the last finished result.\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, StoppedRun,
    testing::Values(
        StopCase{"indexer_at_the_terms", kPagoran, "", "Do you accept the terms of use?", SIGINT,
                 "Stopped; nothing was changed.\n"},
        StopCase{"indexer_at_the_address_prompt", kPagoran, "11", "web address for destination",
                 SIGINT, kIndexerStopped},
        StopCase{"indexer_after_its_pages", kPagoran, "11\n", "processed 1%", SIGINT,
                 kIndexerStopped},
        StopCase{"indexer_terminated_at_the_word_lists", kPagoran, "11\n", "processed 40%", SIGTERM,
                 kIndexerStopped},
        StopCase{"list_while_sorting", kQuillet, "111\n12", "processed 1%", SIGINT,
                 "Stopped: files being written were deleted; earlier outputs are as they were.\n"},
        StopCase{"formulas_at_a_question", kCellorin, "11", "Column name for creating groups",
                 SIGINT, "Stopped: efg_cellorin.htm is as it was.\n"}),
    [](const testing::TestParamInfo<StopCase>& param) { return param.param.name; });

// Messages that cannot be written make the run a failure, as for any command-line tool:
// standard output on a full device, or closed.
TEST(LostOutput, EveryProgramEndsWithStatus1AndSaysWhy) {
  const std::pair<std::string, std::string> outputs[] = {{">/dev/full", "No space left on device"},
                                                         {">&-", "Bad file descriptor"}};
  for (const char* program : {kPagoran, kQuillet, kCellorin}) {
    for (const auto& [redirection, reason] : outputs) {
      SCOPED_TRACE(std::string(program) + " " + redirection);
      ScopedWorkDir outer;
      MakeWorkDir(outer.path(), program);
      WriteBytes("keys", KeysFor(program));
      // The keys and the error text stay outside the work directory that the run cleans.
      std::string command = "cd work && VISUAL= EDITOR=true SOURCE_DATE_EPOCH=1720343103 ./" +
                            std::string(program) + " <../keys 2>../err " + redirection;
      int status = std::system(command.c_str());
      ASSERT_TRUE(WIFEXITED(status));
      EXPECT_EQ(1, WEXITSTATUS(status));
      EXPECT_EQ("Cannot write standard output: " + reason + "\n", ReadBytes("err"));
    }
  }
}

// Mounts a small tmpfs at `path` in a mount namespace of this test process's own (a user
// namespace too where the test does not run as root). Empty, or why it cannot be done.
std::string MountSmallDisk(const std::string& path, const std::string& size) {
  if (geteuid() == 0) {
    if (unshare(CLONE_NEWNS) != 0) return "no mount namespace: " + std::string(strerror(errno));
  } else {
    std::string uid = std::to_string(geteuid()), gid = std::to_string(getegid());
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
      return "no user namespace: " + std::string(strerror(errno));
    }
    WriteBytes("/proc/self/setgroups", "deny");
    WriteBytes("/proc/self/uid_map", "0 " + uid + " 1");
    WriteBytes("/proc/self/gid_map", "0 " + gid + " 1");
  }
  if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) {
    return "tmpfs cannot be mounted: " + std::string(strerror(errno));
  }
  return "";
}

// A full disk: every program ends with status 1, naming the file it could not write.
TEST(FullDisk, EveryProgramStopsAndSaysWhy) {
  struct Row {
    std::string program;
    std::function<void()> fill;  // runs in the work directory
  } rows[] = {
      {kPagoran,
       [] {
         std::string words;
         for (int i = 0; i < 6000; ++i) words += "word" + std::to_string(i) + " ";
         WriteBytes("htm_in/big.htm", "<body>\n" + words + "\n</body>\n");
       }},
      {kQuillet,
       [] {
         std::string list = "\n";
         for (int i = 1; i <= 2000; ++i) {
           list += std::to_string(i) + ". Chapter " + std::to_string(i) + " of the list\n";
         }
         WriteBytes("garden.txt", list);
       }},
      // The disk is full before the run starts.
      {kCellorin, [] { WriteBytes("filler", std::string(1 << 20, 'x')); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.program);
    ScopedWorkDir outer;
    MakeDirs("work");
    std::string why = MountSmallDisk(outer.path() + "/work", "192k");
    if (!why.empty()) GTEST_SKIP() << why;
    MakeWorkDir(outer.path(), row.program);
    ASSERT_EQ(0, chdir("work"));
    const std::string work = outer.path() + "/work";
    const std::map<std::string, std::string> env = {{"VISUAL", ""}, {"EDITOR", "true"}};
    // A good run first: the failing one must leave its result as it was.
    ASSERT_EQ(
        0, RunProgram(ProgramPath(row.program), work, KeysFor(row.program), "1720343103", env, 60)
               .status);
    row.fill();  // inputs only
    const auto last_result = OutputsIn(work, row.program);
    ProgramRun run =
        RunProgram(ProgramPath(row.program), work, KeysFor(row.program), "1720343104", env, 60);
    // Nothing of the last result is gone or changed (the failed run may have added the
    // input it was given, and its work files).
    std::string changed = ChangedNames(last_result, OutputsIn(work, row.program));
    EXPECT_EQ(std::string::npos, changed.find("gone: ")) << changed;
    EXPECT_EQ(std::string::npos, changed.find("changed: ")) << changed;
    ASSERT_EQ(0, chdir(outer.path().c_str()));
    umount2((outer.path() + "/work").c_str(), MNT_DETACH);
    EXPECT_EQ(1, run.status);
    EXPECT_TRUE(run.err.starts_with("Cannot write ")) << run.err;
    EXPECT_TRUE(run.err.ends_with(": No space left on device\n")) << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("processed 100%"));
  }
}

}  // namespace
