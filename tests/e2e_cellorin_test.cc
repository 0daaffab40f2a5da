// Runs the built formula generator in fresh work directories with scripted keys and answers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/config.h"
#include "tests/test_util.h"

namespace {

const char kProgram[] = "cellorin_083.exe";
const char kPage[] = "efg_cellorin.htm";

std::string CaseFile(const std::string& case_name, const std::string& file) {
  return ReadBytes(std::string(CASES_DIR) + "/cellorin/" + case_name + "/" + file);
}

std::string WithAddresses(std::string text) {
  for (auto [placeholder, value] :
       {std::pair<std::string, std::string>{"{maker address}", kMakerSite},
        {"{product page address}", kProductPage}}) {
    for (size_t at; (at = text.find(placeholder)) != std::string::npos;) {
      text.replace(at, placeholder.size(), value);
    }
  }
  return text;
}

// Expected files keep LF line ends for readability; the page is written with CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

ProgramRun RunInFreshDir(const ScopedWorkDir& dir, const std::string& keys) {
  InstallPrograms(dir.path(), kProgram);
  return RunProgram(ProgramPath(kProgram), dir.path(), keys, "", {}, 20);
}

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace

TEST(CellorinEndToEnd, WorkedExamplePageAndTranscript) {
  ScopedWorkDir dir;
  ProgramRun run = RunInFreshDir(dir, CaseFile("worked_example", "keys.txt"));
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("", run.err);
  EXPECT_EQ("", FirstDifference(WithAddresses(CaseFile("worked_example", "console.txt")), run.out));
  EXPECT_EQ("", FirstDifference(WithCrLf(WithAddresses(CaseFile("worked_example", kPage))),
                                ReadBytes(kPage)));
  // Only the page and the tool-check files are left behind.
  EXPECT_EQ((std::vector<std::string>{"cellorin_083.exe", "check_01.txt", "check_02.txt", kPage,
                                      "out_null.txt", "wget.exe"}),
            ListNames(dir.path()));
}

TEST(CellorinEndToEnd, OldPageIsReplaced) {
  ScopedWorkDir dir;
  WriteBytes("EFG_Cellorin.HTM", std::string(100000, 'x'));
  ProgramRun run = RunInFreshDir(dir, CaseFile("worked_example", "keys.txt"));
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("", FirstDifference(WithCrLf(WithAddresses(CaseFile("worked_example", kPage))),
                                ReadBytes("EFG_Cellorin.HTM")));
}

TEST(CellorinEndToEnd, EndingAtTheDialogueWritesNoPage) {
  for (const char* keys : {"2", "12", "", "x3\n"}) {
    ScopedWorkDir dir;
    ProgramRun run = RunInFreshDir(dir, keys);
    EXPECT_EQ(0, run.status) << "keys '" << keys << "'";
    EXPECT_FALSE(PathExists(kPage)) << "keys '" << keys << "'";
    EXPECT_EQ(std::string::npos, run.out.find("selecting cells")) << "keys '" << keys << "'";
  }
}

TEST(CellorinEndToEnd, BadAnswersStillGiveAWholePage) {
  struct Row {
    const char* name;
    std::string answers;  // after the two dialogue keys
    std::string must_hold;
  };
  const std::string long_answer(5000, 'q');
  const Row rows[] = {
      {"empty answers", "\n\n\n\n", "Copy formula in cell #INVALID0."},
      {"input ends before the questions", "", "Column name start with free area = \r\n"},
      {"input ends after two answers", "b\nd\n", "=SUMIF(B:B;B0;D:D)"},
      {"digits as columns", "1\n2\n3\n4\n", "Copy formula in cell #INVALID3."},
      {"three letters as columns", "abc\ndef\n3\nghi\n", "=SUMIF(ABC:ABC;ABC3;DEF:DEF)"},
      {"free area too far right", "b\nd\n3\nzs\n", "<b> #INVALID </b>"},
      {"start row 0", "b\nd\n0\nh\n", "Row number start with data cell =  0"},
      {"negative start row", "b\nd\n-4\nh\n", "=SUMIF(B:B;B-4;D:D)"},
      {"huge start row", "b\nd\n123456789012345678901234567890\nh\n",
       "=SUMIF(B:B;B9223372036854775807;D:D)"},
      {"non-numeric start row", "b\nd\nthree\nh\n", "=COUNTIF(B$0:B0;B0)"},
      {"rounded start row", "b\nd\n2.5 rows\nh\n", "=SUMIF(B:B;B3;D:D)"},
      {"answers of 5000 characters",
       long_answer + "\n" + long_answer + "\n" + long_answer + "\n" + long_answer + "\n",
       "Column name start with free area = " + std::string(4096, 'q') + "\r\n"},
      {"commas end the answers", "b,x\nd,y\n3,4\nh,z\n", "=SUMIF(B:B;B3;D:D)"},
  };
  for (const Row& row : rows) {
    ScopedWorkDir dir;
    ProgramRun run = RunInFreshDir(dir, "11" + row.answers);
    EXPECT_EQ(0, run.status) << row.name;
    std::string page = ReadBytes(kPage);
    EXPECT_EQ(9, CountOf(page, "\r\nstep = ")) << row.name;
    EXPECT_NE(std::string::npos, page.find(row.must_hold)) << row.name << "\n" << Visible(page);
    EXPECT_TRUE(page.size() > 8 && page.substr(page.size() - 9) == "</html>\r\n") << row.name;
    EXPECT_EQ(0, CountOf(page, "\n") - CountOf(page, "\r\n")) << row.name << ": bare LF";
    EXPECT_NE(std::string::npos, run.out.find("-------------------------------\nOutput files = "
                                              "efg_cellorin.htm\n\n"))
        << row.name;
  }
}

// Answers holding markup are text on the page: "<script>" typed as a column name shows (and
// copies) as typed instead of running. The run writes nothing but its page and tool-check
// files in its folder, and nothing beside it.
TEST(CellorinEndToEnd, MarkupInAnswersIsWrittenAsText) {
  ScopedWorkDir outer;
  MakeDirs("work");
  WriteBytes("beside.htm", "<p>a page beside the work folder</p>\n");
  WriteBytes("work/notes.htm", "<p>a page of the user's</p>\n");
  const std::string work = outer.path() + "/work";
  InstallPrograms(work, kProgram);
  const auto outside = SnapshotTree(outer.path(), "work");
  const auto before = SnapshotTree(work);
  ProgramRun run =
      RunProgram(ProgramPath(kProgram), work, CaseFile("markup_answers", "keys.txt"), "", {}, 20);
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("", run.err);
  EXPECT_EQ("", FirstDifference(WithCrLf(WithAddresses(CaseFile("markup_answers", kPage))),
                                ReadBytes("work/" + std::string(kPage))));
  auto after = SnapshotTree(work);
  for (const char* made : {kPage, "check_01.txt", "check_02.txt", "out_null.txt"}) {
    EXPECT_EQ(1u, after.erase(made)) << made;
  }
  EXPECT_EQ(before, after);
  EXPECT_EQ(outside, SnapshotTree(outer.path(), "work"));
}
