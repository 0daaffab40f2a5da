#include "liststruct/list_file_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/test_util.h"

namespace {

TEST(QuilletNames, TimeStamp) {
  const struct {
    std::string date, time, expected;
  } cases[] = {
      {"07-07-2024", "09:05:03", "_2024_07_07_09_05_03"},
      {"12-31-1999", "23:59:58", "_1999_12_31_23_59_58"},
      {"01-02-2025", "9:05:03", "_2025_01_02_09_05_03"},
      {"01-02-2025", " 0: 5: 3", "_2025_01_02_00_5_3"},  // only the hour is padded
      {"01-02-2025", "10:00:00", "_2025_01_02_10_00_00"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, TimeStamp(c.date, c.time)) << c.time;
}

TEST(QuilletNames, TimeStampFollowsSourceDateEpoch) {
  const char* saved = std::getenv("SOURCE_DATE_EPOCH");
  std::string previous = saved ? saved : "";
  SetEnv("SOURCE_DATE_EPOCH", "1720343103");
  EXPECT_EQ("_2024_07_07_09_05_03", TimeStampNow());
  SetEnv("SOURCE_DATE_EPOCH", "946684799");
  EXPECT_EQ("_1999_12_31_23_59_59", TimeStampNow());
  if (saved) {
    SetEnv("SOURCE_DATE_EPOCH", previous);
  } else {
    UnsetEnv("SOURCE_DATE_EPOCH");
  }
}

TEST(QuilletNames, UpToTxt) {
  EXPECT_EQ("notes", UpToTxt("notes.txt"));
  EXPECT_EQ("a", UpToTxt("a.txt.txt"));
  EXPECT_EQ("NOTES.TXT", UpToTxt("NOTES.TXT"));
  EXPECT_EQ("my list", UpToTxt("my list.txt"));
}

TEST(QuilletNames, CopyCarriesAnyName) {
  if (!NamesHoldAnyByte()) GTEST_SKIP() << "such names cannot exist on this system";
  const std::string names[] = {"plain.txt",      "my list.txt", "a*b.txt",      "a?b.txt",
                               "say \"hi\".txt", "x > y.txt",   "tab\there.txt"};
  for (const std::string& name : names) {
    ScopedWorkDir dir;
    WriteBytes(name, "the chosen list\r\n");
    WriteBytes("axxb.txt", "must not be joined in\r\n");
    CopyByCommand(name, "list_01.txt", "out_null.txt");
    EXPECT_EQ("the chosen list\r\n", ReadBytes("list_01.txt")) << name;
    EXPECT_EQ("the chosen list\r\n", ReadBytes(name)) << name;
    MakeDirs("pagoran/htm_in");
    CopyByCommand(name, "pagoran\\htm_in\\", "out.list");
    EXPECT_EQ("the chosen list\r\n", ReadBytes("pagoran/htm_in/" + name)) << name;
  }
}

}  // namespace
