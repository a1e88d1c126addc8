// The problem log: every problem is one line on standard error naming the
// program and the part that speaks, and Fatal's line is out before the
// process ends.
#include "host/log.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

TEST(Log, AProblemIsOneLineNamingTheProgramAndThePart) {
  ::testing::internal::CaptureStderr();
  LogProblem("files", "cannot load ./data/x.png: No such file or directory");
  SetLogProgram("vantor-replay");
  LogProblem("replay", "line 3: unknown command");
  SetLogProgram("Vantor");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Vantor: files: cannot load ./data/x.png: No such file or directory\n"
            "vantor-replay: replay: line 3: unknown command\n");
}

TEST(LogDeathTest, FatalSaysWhyBeforeTheProcessEnds) {
  EXPECT_DEATH(Fatal("app", "the window has no size"), "Vantor: app: the window has no size\n");
}

}  // namespace
}  // namespace vantor::testing
