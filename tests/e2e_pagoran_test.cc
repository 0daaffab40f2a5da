// The indexer run end to end: the built program in a fresh work directory, keys on standard
// input, the console transcript and every output file compared whole with reviewed expected
// files in cases/pagoran/<case>/expected. UPDATE_GOLDEN=1 rewrites the expected files from
// the actual results, for review.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <regex>
#include <set>

#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPagoran[] = "pagoran_01_149.exe";
// The same program cutting page groups of at most 40 occurrences.
constexpr char kSmallGroups[] = "pagoran_small_groups.exe";

std::string CaseDir(const std::string& name) { return std::string(CASES_DIR) + "/pagoran/" + name; }

bool UpdatingGoldens() {
  const char* value = std::getenv("UPDATE_GOLDEN");
  return value && std::string(value) == "1";
}

// Every file below `folder`, by relative path, with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(folder, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_regular_file(ignored) && !it->is_symlink(ignored)) {
      files[fs::relative(it->path(), folder).string()] = ReadBytes(it->path().string());
    }
  }
  return files;
}

void CopyTree(const std::string& from, const std::string& to) {
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void ExpectSameText(const std::string& expected_path, const std::string& actual,
                    const std::string& what) {
  if (UpdatingGoldens()) {
    fs::create_directories(fs::path(expected_path).parent_path());
    WriteBytes(expected_path, actual);
    return;
  }
  std::string expected = ReadBytes(expected_path);
  EXPECT_TRUE(expected == actual) << what << ": " << FirstDifference(expected, actual);
}

struct IndexerCase {
  std::string name;
  std::string keys;
  const char* program = kPagoran;
};

void PrintTo(const IndexerCase& indexer_case, std::ostream* out) { *out << indexer_case.name; }

// Runs the case's program on its htm_in and returns the run.
ProgramRun RunCase(const ScopedWorkDir& dir, const IndexerCase& indexer_case) {
  InstallPrograms(dir.path(), indexer_case.program);
  const std::string in = CaseDir(indexer_case.name) + "/in";
  if (fs::exists(in)) CopyTree(in, dir.path());
  return RunProgram(ProgramPath(indexer_case.program), dir.path(), indexer_case.keys);
}

// What a finished run leaves in its work directory: the programs, the two folders and the
// copy of the occurrence tables; every work file is gone.
void ExpectCleanWorkDir(const ScopedWorkDir& dir, const char* program = kPagoran) {
  std::vector<std::string> expected = {"htm_in", "htm_out", program, "wget.exe", "wrd_24"};
  EXPECT_EQ(expected, ListNames(dir.path()));
}

class IndexerRun : public testing::TestWithParam<IndexerCase> {};

// The Overview's road: report.htm and notes.html become page_01.htm and page_02.htm, with a
// table, a script block, an indented line, a word on both pages, a word in three spellings,
// an &nbsp; run, a quoted word and a target address; a run with an empty htm_in, where
// every page is written as for empty lists; and eleven pages that try the corners of the
// word lists, their expected files made by the indexer's earlier, step-by-step word lists:
// names in mixed case, keys that are prefixes of others next to bytes below '"' ("the",
// "the!", "the\x1f..."), one key in several spellings on one line, words holding &nbsp;,
// quotes, a table cell with a tab, a line of 34 words, pages without words or body tag, and
// words on one page only; and five pages cut into groups of at most 40 occurrences: two
// pages of exactly 40 together, a page of 70 alone, two more pages, with a word on pages of
// the first and the last group.
TEST_P(IndexerRun, OutputSetAndTranscriptAreExact) {
  const std::string case_name = GetParam().name;
  ScopedWorkDir dir;
  ProgramRun run = RunCase(dir, GetParam());
  const std::map<std::string, std::string> input_before = Tree(CaseDir(case_name) + "/in/htm_in");
  EXPECT_EQ(0, run.status);
  // Standard error as expected/stderr.out has it (empty where there is no such file).
  EXPECT_EQ(ReadBytes(CaseDir(case_name) + "/expected/stderr.out"), run.err);
  ExpectSameText(CaseDir(case_name) + "/expected/transcript.out", run.out, "transcript");
  // The output pages, and the occurrence table kept in the folder wrd_24.
  for (const std::string folder : {"htm_out", "wrd_24"}) {
    std::map<std::string, std::string> output = Tree(dir.path() + "/" + folder);
    const std::string expected_folder = CaseDir(case_name) + "/expected/" + folder;
    if (UpdatingGoldens()) fs::remove_all(expected_folder);
    std::map<std::string, std::string> expected = Tree(expected_folder);
    for (const auto& [name, bytes] : output) {
      ExpectSameText(expected_folder + "/" + name, bytes, folder + "/" + name);
    }
    if (!UpdatingGoldens()) {
      for (const auto& [name, bytes] : expected) EXPECT_TRUE(output.count(name)) << name;
    }
  }
  EXPECT_EQ(input_before, Tree(dir.path() + "/htm_in"));  // htm_in is only read
  ExpectCleanWorkDir(dir, GetParam().program);
}

INSTANTIATE_TEST_SUITE_P(Cases, IndexerRun,
                         testing::Values(IndexerCase{"overview", "11shop.example.org\n"},
                                         IndexerCase{"empty_htm_in", "11\n"},
                                         IndexerCase{"corners", "11shop.example.org\n"},
                                         IndexerCase{"groups", "11shop.example.org\n",
                                                     kSmallGroups}),
                         [](const auto& param) { return param.param.name; });

// Every local link of the output set names a file of htm_out, and every #fragment an id in
// that file (the find-word spans' "&gt;" links land on the occurrence anchors that each
// decorated page carries after every word).
TEST(IndexerLinks, EveryLocalLinkResolves) {
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kPagoran);
  MakeDirs("htm_in");
  for (int page = 1; page <= 4; ++page) {
    std::string text = "<html>\n<head><title>Page " + std::to_string(page) + "</title></head>\n";
    text += "<body>\n<h1>Chapter " + std::to_string(page) + "</h1>\n";
    for (int line = 0; line < 6; ++line) {
      text += "Words shared across pages and words unique" + std::to_string(page * 10 + line) +
              " here, again words.\n";
    }
    text += "<table border=\"1\">\n<tr><td>cell</td><td>value</td></tr>\n</table>\n";
    text += "</body>\n</html>\n";
    WriteBytes("htm_in/chapter" + std::to_string(page) + ".htm", text);
  }
  ProgramRun run = RunProgram(ProgramPath(kPagoran), dir.path(), "11\n");
  ASSERT_EQ(0, run.status);

  std::map<std::string, std::string> output = Tree(dir.path() + "/htm_out");
  ASSERT_EQ(8u, output.size());  // four pages and the four index pages
  std::map<std::string, std::set<std::string>> ids;
  const std::regex id_pattern(R"re(id\s*=\s*"([^"]*)")re");
  for (const auto& [name, bytes] : output) {
    for (std::sregex_iterator it(bytes.begin(), bytes.end(), id_pattern), end; it != end; ++it) {
      ids[name].insert((*it)[1]);
    }
  }
  const std::regex link_pattern(R"re(href="([^"#:]*)(#([^"]*))?")re");
  int checked = 0;
  for (const auto& [name, bytes] : output) {
    for (std::sregex_iterator it(bytes.begin(), bytes.end(), link_pattern), end; it != end; ++it) {
      std::string file = (*it)[1].str().empty() ? name : (*it)[1].str();
      std::string fragment = (*it)[3];
      ++checked;
      ASSERT_TRUE(output.count(file)) << name << " links to missing " << file;
      EXPECT_TRUE(fragment.empty() || ids[file].count(fragment))
          << name << " links to " << file << "#" << fragment;
    }
  }
  EXPECT_GT(checked, 500);
}

// Awkward input never crashes, hangs or touches anything outside the work directory, and
// htm_in stays as it was.
TEST(IndexerBadInput, AwkwardPagesAndNamesEndCleanly) {
  if (!NamesAreCaseSensitive()) GTEST_SKIP() << "Case.htm and case.HTM are one file here";
  ScopedWorkDir outer;
  MakeDirs("work/htm_in");
  const std::string in = "work/htm_in/";
  WriteBytes(in + "no_body.htm", "just words here\nand more words\n");
  WriteBytes(in + "end_body.htm", "<body>\nlast words</body>\n");
  WriteBytes(in + "no_words.htm", "<p></p>\n<br>\n");
  WriteBytes(in + "Case.htm", "upper case name\n");
  WriteBytes(in + "case.HTM", "lower case name\n");
  WriteBytes(in + "with blank \xC3\xA9.html", "name with a blank\n");
  const char binary[] = "bin\0ary \x01\x02\xff words\n<unclosed tag";
  WriteBytes(in + "binary.htm", std::string(binary, sizeof binary - 1));
  WriteBytes(in + "script.htm", "<body>\n<script>\nnever closed\n");
  WriteBytes(in + "long.htm", "<body>\n" + std::string(5 << 20, 'a') + " tail words\n");
  WriteBytes("outside.txt", "must stay");
  const std::map<std::string, std::string> before = Tree(outer.path() + "/work/htm_in");
  InstallPrograms(outer.path() + "/work", kPagoran);
  ProgramRun run = RunProgram(ProgramPath(kPagoran), outer.path() + "/work",
                              "11shop \"quoted\" <b>address, ignored\n");
  EXPECT_EQ(0, run.status);
  EXPECT_NE(std::string::npos, run.out.find("processed 100%\n"));
  EXPECT_EQ(before, Tree(outer.path() + "/work/htm_in"));
  EXPECT_EQ((std::vector<std::string>{"outside.txt", "work"}), ListNames(outer.path()));
  EXPECT_EQ("must stay", ReadBytes("outside.txt"));
  // Nine inputs and the four index pages.
  std::vector<std::string> pages = ListNames(outer.path() + "/work/htm_out");
  EXPECT_EQ(13u, pages.size());
  // The target address (up to the comma) is text: escaped where it is shown, and in the
  // search links encoded like the phrases.
  EXPECT_NE(std::string::npos,
            ReadBytes("work/htm_out/s_1.htm")
                .find(" site:shop %22quoted%22 <b>address\"> shop &quot;quoted&quot; "
                      "&lt;b&gt;address</a>\r\n"));
}

// Input names are never patterns: each page holds its own input's text.
TEST(IndexerBadInput, WildcardCharactersInNamesAreData) {
  if (!NamesHoldAnyByte()) GTEST_SKIP() << "such names cannot exist on this system";
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kPagoran);
  MakeDirs("htm_in");
  WriteBytes("htm_in/*.htm", "starred\n");
  WriteBytes("htm_in/a?.htm", "questioned\n");
  WriteBytes("htm_in/ab.htm", "plain\n");
  const std::map<std::string, std::string> before = Tree(dir.path() + "/htm_in");
  ProgramRun run = RunProgram(ProgramPath(kPagoran), dir.path(), "11\n");
  ASSERT_EQ(0, run.status);
  EXPECT_EQ(before, Tree(dir.path() + "/htm_in"));
  ExpectCleanWorkDir(dir);
  const std::string words[] = {"starred", "questioned", "plain"};
  for (int page = 0; page < 3; ++page) {
    std::string text = ReadBytes("htm_out/page_0" + std::to_string(page + 1) + ".htm");
    for (int word = 0; word < 3; ++word) {
      EXPECT_EQ(word == page, text.find(">" + words[word] + "</span>") != std::string::npos)
          << "page " << page + 1 << ", " << words[word];
    }
  }
}

}  // namespace
