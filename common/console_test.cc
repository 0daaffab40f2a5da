#include "common/console.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_util.h"

namespace {

// Feeds `keys` to the console through a pipe, as a script would.
class ScriptedInput {
 public:
  explicit ScriptedInput(const std::string& keys) {
    fd_ = ScriptInput(keys);
    EXPECT_GE(fd_, 0);
    SetConsoleInputForTesting(fd_);
  }
  ~ScriptedInput() { CloseInput(fd_); }

 private:
  int fd_;
};

TEST(ConsoleInputItem, FollowsTheTypedAnswerRules) {
  struct Case {
    std::string line, item;
  } cases[] = {
      {"  \t shop.example.org", "shop.example.org"},
      {"before, after", "before"},
      {"\"a, b\" ignored", "a, b"},
      {"\"open quote, to the end", "open quote, to the end"},
      {"x\"a,b\"y,z", "x\"a,b\"y"},
      {"", ""},
      {"trailing  ", "trailing  "},
      {std::string(5000, 'q'), std::string(4096, 'q')},
  };
  for (const Case& c : cases) EXPECT_EQ(c.item, ParseInputItem(c.line)) << c.line;
}

TEST(ConsoleOutput, TabStopsEveryFourteenColumns) {
  SetConsoleInputForTesting(-1);
  CapturedConsole console;
  Print(" 1");
  PrintTab();
  Print("Windows-1250");
  PrintTab();
  Print("x");
  PrintLine();
  Print(std::string(14, 'a'));  // the cursor on a stop moves on to the next one
  PrintTab();
  Print("b");
  PrintLine();
  EXPECT_EQ(" 1" + std::string(12, ' ') + "Windows-1250  x\n" + std::string(14, 'a') +
                std::string(14, ' ') + "b\n",
            console.out);
}

TEST(ConsoleKeys, UnlistedKeysAreIgnoredSilently) {
  ScriptedInput input("3\n\x1b[A2");
  CapturedConsole console;
  EXPECT_EQ('2', WaitForKey("12"));
  EXPECT_EQ("", console.out);
}

TEST(ConsoleKeys, TypedAnswerFollowsKeysOnTheSameInput) {
  ScriptedInput input("1https://x.org, more\nnext");
  CapturedConsole console;
  EXPECT_EQ('1', WaitForKey("1"));
  EXPECT_EQ("https://x.org", ReadInputItem("address = "));
  EXPECT_EQ("next", ReadAnswerLine("q"));
  EXPECT_EQ("", ReadAnswerLine("r"));  // at the end of input an answer is empty
  EXPECT_EQ("address = ? \nq? \nr? \n", console.out);
}

TEST(ConsoleKeys, OverlongAnswerLineIsCutAndTheKeysAfterItStillAct) {
  ScriptedInput input(std::string(60000, '9') + "\r\nx2");
  CapturedConsole console;
  EXPECT_EQ(std::string(kMaxAnswerLineLength, '9'), ReadAnswerLine("n"));
  EXPECT_EQ('2', WaitForKey("12"));
}

TEST(ConsoleKeysDeathTest, EndOfInputAtAKeyPromptEndsWithStatusZero) {
  EXPECT_EXIT(
      {
        ScriptedInput input("x");
        WaitForKey("12");
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
