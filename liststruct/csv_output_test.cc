#include "liststruct/csv_output.h"

#include <gtest/gtest.h>

#include "tests/test_util.h"

namespace {

struct CsvCase {
  const char* name;
  std::vector<std::string> structured_text;
  std::vector<std::string> expected;
};

TEST(Csv, RecordsPerChapter) {
  const CsvCase cases[] = {
      {"worked example",
       {"  1. Animal", "    1.1 Cat", "    purrs", "    1.2 Dog", "  2. Fruit"},
       {"", "1. Animal;Animal;", " ; ; ;1.1 Cat;Cat; purrs", " ; ; ;1.2 Dog;Dog;",
        "2. Fruit;Fruit;"}},
      {"third level shifted six fields, empty lines add one blank",
       {"  1. A", "  ", "      1.1.1 Deep one", "      x", "", "      y"},
       {"", "1. A;A; ", " ; ; ; ; ; ;1.1.1 Deep one;Deep one; x  y"}},
      {"a positive leading number starts an unshifted record; signed numbers stay body",
       {"  1. Shop", "  12 apples", "  +3 pears", "  -2 plums", "  0 figs", "  .5 kilo"},
       {"", "1. Shop;Shop;", "12 apples;apples; +3 pears -2 plums 0 figs", " ; ; ;.5 kilo;kilo;"}},
      {"text and cross-references and tables are body text; semicolons pass unchanged",
       {"  1. Notes", "  a;b", "  look_at: 2.", "  table_start: T", "  column: C",
        "  table_end:", "  2. Other"},
       {"",
        "1. Notes;Notes; a;b look_at: 2. table_start: T column: C table_end:", "2. Other;Other;"}},
      {"lines before the first chapter are skipped",
       {"intro", "", "  1. First", "body"},
       {"", "1. First;First; body"}},
      {"a number without a blank has no title and no shift",
       {"  1. A", "  2024", "  3.5kg"},
       {"", "1. A;A;", "2024;;", "3.5kg;;"}},
      {"a top-level mark only counts in order",
       {"  1. A", "  3. later", "  2. B", "  2. again", "  10. ten"},
       {"", "1. A;A;", " ; ; ;3. later;later;", "2. B;B;", "2. again;again;",
        " ; ; ;10. ten;ten;"}},
  };
  for (const CsvCase& c : cases) {
    ScopedWorkDir dir;
    WriteBytes("list_03_list.txt", CrLf(c.structured_text));
    WriteCsv();
    std::string difference = FirstDifference(CrLf(c.expected), ReadBytes(kCsvOutputFile));
    EXPECT_EQ("", difference) << c.name;
  }
}

TEST(Csv, EmptyStructuredTextGivesEmptyFile) {
  ScopedWorkDir dir;
  WriteBytes("list_03_list.txt", "");
  WriteCsv();
  EXPECT_TRUE(PathExists(kCsvOutputFile));
  EXPECT_EQ("", ReadBytes(kCsvOutputFile));
}

}  // namespace
