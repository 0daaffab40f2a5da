#include "indexer/hard_links.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/cmd_interpreter.h"
#include "tests/test_util.h"

namespace {

// Records the command lines run while it lives.
struct RecordedCommands {
  RecordedCommands() { RecordCommandsForTesting(&lines); }
  ~RecordedCommands() { RecordCommandsForTesting(nullptr); }
  std::vector<std::string> lines;
};

TEST(CopyAsHardLinks, LinksEveryMatchWithoutACommand) {
  ScopedWorkDir dir;
  MakeDirs("htm_out");
  WriteBytes("i_1.htm", "one");
  WriteBytes("i_2.htm", "two");
  RecordedCommands commands;
  CopyAsHardLinks("i_*.htm", "htm_out", "out_null.list");
  EXPECT_EQ(std::vector<std::string>{}, commands.lines);
  struct stat original, copy;
  ASSERT_EQ(0, stat("i_2.htm", &original));
  ASSERT_EQ(0, stat("htm_out/i_2.htm", &copy));
  EXPECT_EQ(original.st_ino, copy.st_ino);
  EXPECT_EQ("one", ReadBytes("htm_out/i_1.htm"));
  EXPECT_TRUE(PathExists("out_null.list"));  // the redirection's file, as the copy leaves it
}

TEST(CopyAsHardLinks, LeavesTheCommandToReportWhatIsMissing) {
  ScopedWorkDir dir;
  WriteBytes("index.htm", "x");
  RecordedCommands commands;
  CopyAsHardLinks("index.htm", "htm_out", "out_null.list");  // no folder htm_out
  CopyAsHardLinks("s_*.htm", ".", "out_null.list");          // nothing matches
  EXPECT_EQ((std::vector<std::string>{"copy index.htm htm_out\\ > out_null.list",
                                      "copy s_*.htm .\\ > out_null.list"}),
            commands.lines);
}

}  // namespace
