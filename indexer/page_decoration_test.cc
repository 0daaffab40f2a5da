#include "indexer/page_decoration.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/test_util.h"

namespace {

// The walking thread may throw (memory running out) while the decorating one waits for
// occurrences: leaving the scope must end that thread, so that the program can say why it
// stops instead of aborting in std::thread's destructor.
TEST(PageDecorationDeathTest, AnExceptionOnTheWalkingThreadEndsTheDecorationCleanly) {
  EXPECT_EXIT(
      {
        ScopedWorkDir dir;
        const IndexerRun run;
        const WordLists lists;
        try {
          PageDecoration decoration(run, lists);
          throw std::runtime_error("out of memory");
        } catch (const std::runtime_error&) {
          std::exit(PathExists(OccurrenceTable(1)) ? 3 : 4);
        }
      },
      testing::ExitedWithCode(3), "");
}

}  // namespace
