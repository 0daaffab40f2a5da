#include "liststruct/chapter_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/line_files.h"
#include "common/work_paths.h"
#include "tests/test_util.h"

namespace {

using Lines = std::vector<std::string>;

// Rows as the list gives them, one per mark on lines 1, 2, 3 ..., numbered in order.
std::vector<ChapterRow> NumberedRows(const Lines& marks) {
  std::vector<ChapterRow> rows;
  ChapterNumbering numbering;
  for (size_t i = 0; i < marks.size(); ++i) {
    ChapterRow row;
    row.mark = marks[i];
    row.line_number = static_cast<long long>(i + 1);
    row.components = MarkComponents(marks[i]);
    numbering.Number(&row);
    rows.push_back(row);
  }
  return rows;
}

std::string Nested(int levels) {
  std::string number = "1";
  for (int i = 1; i < levels; ++i) number += ".1";
  return number;
}

TEST(ChapterTable, ChapterLines) {
  const struct {
    std::string line;
    bool expected;
  } cases[] = {
      {"1. Animal", true}, {"2.1 Cat", true}, {"3.5 kg of flour", true},
      {"... more", true},  {"1.", false},     {"12 apples", false},
      {"1.2a x", false},   {"v1.2 x", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, IsChapterLine(c.line)) << c.line;
}

TEST(ChapterTable, Renumbering) {
  const struct {
    std::string name;
    Lines marks;
    Lines new_numbers;
    std::vector<int> indentations;
  } cases[] = {
      {"worked example",
       {"1.", "2.1", "2.1.1", "2.2", "2.", "1.1", "1.2"},
       {"1.", "1.1", "1.1.1", "1.2", "2.", "2.1", "2.2"},
       {2, 4, 6, 4, 2, 4, 4}},
      {"two levels down goes one", {"1.", "1.1.1"}, {"1.", "1.1"}, {2, 4}},
      {"two levels up goes one",
       {"1.", "1.1", "1.1.1", "1.1.1.1", "1.2"},
       {"1.", "1.1", "1.1.1", "1.1.1.1", "1.1.2"},
       {2, 4, 6, 8, 6}},
      {"deeper mark placed beside a shallower new number",
       {"1.", "1.1.1", "2.1"},
       {"1.", "1.1", "1.2"},
       {2, 4, 4}},
      {"3.5 kg of flour is a sub-chapter",
       {"1.", "1.1", "3.5", "2."},
       {"1.", "1.1", "1.2", "2."},
       {2, 4, 4, 2}},
      {"an ellipsis uses up no top-level number",
       {"1.", "...", "2."},
       {"1.", "1.1", "2."},
       {2, 4, 2}},
      {"siblings count past 9",
       {"1.", "1.1", "1.1", "1.1", "1.1", "1.1", "1.1", "1.1", "1.1", "1.1", "1.1"},
       {"1.", "1.1", "1.2", "1.3", "1.4", "1.5", "1.6", "1.7", "1.8", "1.9", "1.10"},
       {2, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
  };
  for (const auto& c : cases) {
    Lines numbers;
    std::vector<int> indentations;
    for (const ChapterRow& row : NumberedRows(c.marks)) {
      numbers.push_back(row.new_number);
      indentations.push_back(row.indentation);
      EXPECT_TRUE(row.mark.back() == '.') << c.name << ": " << row.mark;
    }
    EXPECT_EQ(c.new_numbers, numbers) << c.name;
    EXPECT_EQ(c.indentations, indentations) << c.name;
  }
}

TEST(ChapterTable, DeepNestingGrowsTheRow) {
  // 30 levels, one below the other, then a mark with 40 full stops: far beyond 26 fields.
  Lines marks;
  for (int level = 1; level <= 30; ++level)
    marks.push_back(Nested(level) + (level == 1 ? "." : ""));
  marks.push_back(Nested(41));
  std::vector<ChapterRow> table = NumberedRows(marks);
  EXPECT_EQ(Nested(30), table[29].new_number);
  EXPECT_EQ(60, table[29].indentation);
  EXPECT_EQ(Nested(31), table[30].new_number);
  EXPECT_EQ(62, table[30].indentation);
  EXPECT_EQ(Nested(41) + ".", table[30].mark);
}

TEST(ChapterTable, DumpListsNonEmptyFields) {
  ScopedWorkDir dir;
  {
    LineWriter dump("list_03_chapters.txt");
    for (const ChapterRow& row : NumberedRows({"1.", "2.1", "2."})) WriteChapterDump(row, &dump);
  }
  EXPECT_EQ(CrLf({"1.  1  2  1.  1    ", "  ", "2.1.  2  4  1.1  1  1    ", "  ",
                  "2.  3  2  2.  2    ", "  "}),
            ReadBytes("list_03_chapters.txt"));
}

TEST(ChapterTable, StructuredText) {
  const struct {
    std::string name;
    Lines list;  // list_03.txt
    Lines expected;
  } cases[] = {
      {"worked example indents by level",
       {"1. Animal", "2.1 Cat", "purrs", "2.1.1 Tiger", "2.2 Dog", "", "2. Fruit", "1.1 Apple",
        "1.2 Banana"},
       {"  1. Animal", "    1.1 Cat", "    purrs", "      1.1.1 Tiger", "    1.2 Dog", "    ",
        "  2. Fruit", "    2.1 Apple", "    2.2 Banana"}},
      {"cross-references follow the old marks",
       {"1. Animal", "2.1 Cat", "look_at: 1.2", "look_at: 2.1", "look_at:2.1", "LOOK_AT: 2",
        "look_at: 7.7", "2. Fruit", "1.2 Banana"},
       {"  1. Animal", "    1.1 Cat", "    look_at: 2.1", "    look_at: 1.1", "    look_at:2.1",
        "    look_at: 2.", "    look_at: 7.7", "  2. Fruit", "    2.1 Banana"}},
      {"two rows with one mark: the first answers",
       {"1. A", "1.1 x", "2. B", "1.1 y", "look_at: 1.1"},
       {"  1. A", "    1.1 x", "  2. B", "    2.1 y", "    look_at: 1.1"}},
      {"renumbered body line keeps its text",
       {"1. Baking", "3.5  kg of flour"},
       {"  1. Baking", "    1.1  kg of flour"}},
  };
  for (const auto& c : cases) {
    ScopedWorkDir dir;
    WriteLines("list_03.txt", c.list);
    EXPECT_GT(StructureChapters(), 0) << c.name;
    EXPECT_EQ(c.expected, ReadAllLines("list_03_list.txt")) << c.name;
    EXPECT_EQ(c.list, ReadAllLines("sour_in.txt")) << c.name;
  }
}

TEST(ChapterTable, NoChapterLineWritesNothing) {
  ScopedWorkDir dir;
  WriteLines("list_03.txt", {"just text", "1.", "12 apples"});
  EXPECT_EQ(0, StructureChapters());
  EXPECT_FALSE(FileExists("list_03_list.txt"));
  EXPECT_FALSE(FileExists("list_03_chapters.txt"));
}

}  // namespace
