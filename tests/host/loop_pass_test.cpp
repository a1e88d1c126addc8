// The loop's non-blocking pass, as a host that cannot block (the browser
// build) runs it: every pass returns at once and says what it would wait for.
#include <gtest/gtest.h>

#include "tests/host/loop_app.h"

namespace vantor::testing {
namespace {

TEST_F(LoopTest, PassesNeverBlockAndSayWhatTheyWouldWaitFor) {
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->Start();
  ASSERT_EQ(app->renders, 1);

  LoopWait wait = app->Pass(platform);
  EXPECT_EQ(wait.kind, LoopWait::kTime);
  EXPECT_NEAR(wait.seconds, kPeriod, 1e-6);

  platform.now += kPeriod;
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kNothing);
  EXPECT_EQ(app->updates, 1);
  EXPECT_EQ(app->renders, 2);

  platform.iconified = true;
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kNothing);
  EXPECT_TRUE(app->suspended);
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kEvents);

  platform.iconified = false;
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kNothing);
  EXPECT_FALSE(app->suspended);
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kTime);  // no burst after the pause

  app->SetUpdateRate(0);
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kEvents);
  EXPECT_EQ(app->renders, 3);  // event-driven: one render, then wait

  EXPECT_EQ(platform.sleeps, 0);
  EXPECT_EQ(platform.waits, 0);
}

}  // namespace
}  // namespace vantor::testing
