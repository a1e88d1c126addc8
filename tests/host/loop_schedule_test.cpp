// The main loop's schedule over a scripted clock and window.
#include <gtest/gtest.h>

#include "tests/host/loop_app.h"

namespace vantor::testing {
namespace {

// Updates run between consecutive renders, recorded at each render.
class UpdatesPerRender {
 public:
  void Attach(LoopApp* app) {
    app_ = app;
    last_ = app->updates;
  }
  void OnRender() {
    counts.push_back(app_->updates - last_);
    last_ = app_->updates;
  }
  std::vector<int> counts;

 private:
  LoopApp* app_ = nullptr;
  int last_ = 0;
};

TEST_F(LoopTest, RenderTakingThreePeriodsGetsAboutThreeUpdatesPerPass) {
  constexpr int kPasses = 20;
  UpdatesPerRender perRender;
  perRender.Attach(app);
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->onRender = [&] {
    perRender.OnRender();
    platform.now += 3 * kPeriod;
    if (app->renders == kPasses + 1) platform.open = false;
  };
  app->Run();

  ASSERT_EQ(perRender.counts.size(), kPasses + 1u);
  EXPECT_EQ(perRender.counts[0], 0);  // the first render follows OnCreate
  int total = 0;
  for (size_t i = 1; i < perRender.counts.size(); ++i) {
    EXPECT_GE(perRender.counts[i], 2) << "pass " << i;
    EXPECT_LE(perRender.counts[i], 4) << "pass " << i;
    total += perRender.counts[i];
  }
  // Over the run the updates keep pace with the clock.
  EXPECT_NEAR(total, 3 * kPasses, 1);
  EXPECT_EQ(platform.sleeps, 0);  // always behind, never waiting
}

// A stall is worked off by at most seven updates in one pass: enough to
// hide a hiccup, few enough that a slow machine still renders.
constexpr int kCatchUpLimit = 7;

TEST_F(LoopTest, LongStallRunsSevenUpdatesAndRestartsTheScheduleFromNow) {
  UpdatesPerRender perRender;
  perRender.Attach(app);
  double nextAtStallRender = 0, clockAtStallRender = -1;
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->onRender = [&] {
    perRender.OnRender();
    if (app->renders == 3) platform.now += 20 * kPeriod;  // a stall
    if (app->renders == 4) {
      nextAtStallRender = app->nextUpdate;
      clockAtStallRender = platform.now;
    }
    if (app->renders == 7) platform.open = false;
  };
  app->Run();

  ASSERT_EQ(perRender.counts.size(), 7u);
  EXPECT_EQ(perRender.counts[3], kCatchUpLimit);
  EXPECT_EQ(nextAtStallRender, clockAtStallRender);  // backlog dropped
  // Back on schedule: one update per period, no burst.
  EXPECT_EQ(perRender.counts[4], 1);
  EXPECT_EQ(perRender.counts[5], 1);
  EXPECT_EQ(perRender.counts[6], 1);
}

TEST_F(LoopTest, SleepsUntilTheNextUpdateIsDue) {
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  CloseAfterUpdates(10);
  app->Run();
  EXPECT_EQ(app->updates, 10);
  EXPECT_NEAR(platform.now, 10 * kPeriod, 1e-6);
  EXPECT_GE(platform.sleeps, 9);
  EXPECT_EQ(app->renders, 1 + 10);  // one per pass after the first render
}

TEST_F(LoopTest, RateZeroInsideAnUpdateStopsCatchUpAndRendersPerEvent) {
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->onRender = [this] {
    if (app->renders == 1) platform.now += 6 * kPeriod;
  };
  app->onUpdate = [this] {
    if (app->updates != 2) return;
    app->SetUpdateRate(0);
    platform.events = {[] {}, [] {}};
  };
  app->Run();

  EXPECT_EQ(app->updates, 2);  // the backlog of six is not worked off
  // After the catch-up: the pass's render, then one render before each of
  // the three waits (two delivered events and the close).
  EXPECT_EQ(app->renders, 1 + 1 + 3);
  EXPECT_EQ(platform.waits, 3);
  EXPECT_EQ(platform.swaps, app->renders);
}

TEST_F(LoopTest, IconifySuspendsOnceAndNothingRunsWhileIconified) {
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  int rendersAtIconify = -1;
  app->onUpdate = [&] {
    if (app->updates != 2) return;
    rendersAtIconify = app->renders;
    platform.iconified = true;
    platform.events = {[this] { platform.now += 1; }, [this] { platform.now += 1; }};
  };
  app->Run();

  EXPECT_EQ(app->Count("suspend"), 1);
  EXPECT_EQ(app->updates, 2);
  EXPECT_EQ(app->renders, rendersAtIconify);  // the iconified window is not drawn
  EXPECT_TRUE(app->suspended);
  EXPECT_EQ(platform.waits, 3);
  // The app saw its clock stopped, yet the rate survives for the resume.
  EXPECT_EQ(app->log.back(), "rate 0");
  EXPECT_EQ(app->updateRate, kRate);
}

TEST_F(LoopTest, RestoredWindowWithoutFocusStaysSuspended) {
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->onUpdate = [this] {
    if (app->updates != 1) return;
    platform.iconified = true;
    platform.events = {[this] {
                         platform.iconified = false;
                         platform.active = false;
                       },
                       [this] { platform.now += 1; }};
  };
  app->Run();

  EXPECT_EQ(app->Count("suspend"), 1);
  EXPECT_EQ(app->Count("resume"), 0);
  EXPECT_EQ(app->updates, 1);
  EXPECT_TRUE(app->suspended);
}

TEST_F(LoopTest, RestoreWithFocusResumesWithTheFirstUpdateOnePeriodLater) {
  constexpr double kAway = 10;
  double resumedAt = -1, nextAtResume = -1, firstUpdateAfterResume = -1;
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->onUpdate = [&] {
    if (app->updates == 2) {
      platform.iconified = true;
      platform.events = {[this] {
        platform.now += kAway;
        platform.iconified = false;
        platform.active = true;
      }};
    }
    if (resumedAt >= 0 && firstUpdateAfterResume < 0) firstUpdateAfterResume = platform.now;
    if (app->updates == 5) platform.open = false;
  };
  app->onResume = [&] {
    resumedAt = platform.now;
    nextAtResume = app->nextUpdate;
  };
  app->Run();

  EXPECT_EQ(app->Count("resume"), 1);
  EXPECT_FALSE(app->suspended);
  EXPECT_NEAR(nextAtResume, resumedAt + kPeriod, 1e-9);
  EXPECT_NEAR(firstUpdateAfterResume, resumedAt + kPeriod, 1e-6);
  // Three updates after a resume ten seconds later: no catch-up burst.
  EXPECT_EQ(app->updates, 5);
  EXPECT_NEAR(platform.now, resumedAt + 3 * kPeriod, 1e-6);
}

TEST_F(LoopTest, WindowWithoutFocusKeepsUpdatingAndRendering) {
  platform.active = false;
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  CloseAfterUpdates(10);
  app->Run();
  EXPECT_EQ(app->updates, 10);
  EXPECT_EQ(app->renders, 11);
  EXPECT_EQ(app->Count("suspend"), 0);
}

TEST_F(LoopTest, NothingIsUpdatedOrRenderedWhileTheWindowHasNoSize) {
  constexpr double kSizeBackAt = 1.0;
  double firstUpdateAt = -1;
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->onRender = [this] {
    if (app->renders == 1) platform.width = 0;
  };
  platform.everyPoll = [this] {
    if (platform.now >= kSizeBackAt) platform.width = 640;
  };
  app->onUpdate = [&] {
    if (firstUpdateAt < 0) firstUpdateAt = platform.now;
    if (app->updates == 3) platform.open = false;
  };
  app->Run();

  EXPECT_GE(firstUpdateAt, kSizeBackAt);
  EXPECT_EQ(app->updates, 3);
  // The schedule kept advancing meanwhile: no burst once the size is back.
  EXPECT_NEAR(platform.now, firstUpdateAt + 2 * kPeriod, 1e-6);
  EXPECT_LE(app->renders, 1 + 3);
}

TEST_F(LoopTest, CreateWithoutAWindowSizeStopsTheProgram) {
  platform.width = 0;
  EXPECT_DEATH(app->InvokeOnCreate(), "");
}

}  // namespace
}  // namespace vantor::testing
