// The main loop's schedule over a scripted clock and window: the fixed
// update rate, the bounded catch-up, suspension while iconified, the
// non-blocking pass a browser host runs, and its orderly end.
#include <AL/al.h>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <vector>

#include "host/app.h"
#include "host/audio.h"
#include "host/graphics.h"
#include "host/orderly_stop.h"
#include "host/startup.h"
#include "tools/testing/al_test_device.h"
#include "tools/testing/fake_platform.h"
#include "tools/testing/wav_fixture.h"

namespace vantor::testing {
namespace {

// An app that counts what the loop calls and runs a hook at some calls.
class LoopApp : public gxtkApp {
 public:
  std::function<void()> onUpdate, onRender, onResume;
  int updates = 0, renders = 0, suspends = 0, resumes = 0;

  int OnUpdate() override {
    ++updates;
    return Hook(onUpdate);
  }
  int OnRender() override {
    ++renders;
    return Hook(onRender);
  }
  int OnSuspend() override {
    ++suspends;
    return 0;
  }
  int OnResume() override {
    ++resumes;
    return Hook(onResume);
  }

 private:
  static int Hook(const std::function<void()>& hook) {
    if (hook) hook();
    return 0;
  }
};

// A LoopApp at 60 Hz made by the real start-up over a FakePlatform. Its
// graphics device is in mode 0, so nothing reaches OpenGL.
class LoopTest : public ::testing::Test {
 protected:
  static constexpr int kRate = 60;
  static constexpr double kPeriod = 1.0 / kRate;

  void SetUp() override {
    StartInProcess(platform, {[] {}, [] { gc_new<LoopApp>(); }});
    app = static_cast<LoopApp*>(host::app);
    app->graphics->mode = 0;
    app->SetUpdateRate(kRate);
  }
  void TearDown() override { StopInProcess(); }

  FakePlatform platform;
  LoopApp* app = nullptr;
};

TEST_F(LoopTest, UpdatesKeepTheRateAndTheLoopSleepsBetweenThem) {
  platform.active = false;  // a window in the background keeps running
  app->onUpdate = [this] {
    if (app->updates == 10) platform.open = false;
  };
  app->Run();
  EXPECT_EQ(app->updates, 10);
  EXPECT_NEAR(platform.now, 10 * kPeriod, 1e-6) << "the first update is due a period after start";
  EXPECT_GE(platform.sleeps, 9) << "the loop sleeps until each update is due";
}

// Each pass renders after its updates. A stall is worked off by at most
// seven updates in one pass (kMaxCatchUpUpdates says why); then the
// schedule restarts from now instead of bursting through the backlog.
TEST_F(LoopTest, AStallIsWorkedOffByAtMostSevenUpdates) {
  std::vector<int> updatesAtRender;
  double nextAfterStall = 0, clockAfterStall = -1;
  app->onRender = [&] {
    updatesAtRender.push_back(app->updates);
    if (app->renders == 3) platform.now += 20 * kPeriod;
    if (app->renders == 4) {
      nextAfterStall = app->nextUpdate;
      clockAfterStall = platform.now;
    }
    if (app->renders == 6) platform.open = false;
  };
  app->Run();
  EXPECT_EQ(updatesAtRender, (std::vector<int>{0, 1, 2, 2 + 7, 10, 11}));
  EXPECT_EQ(nextAfterStall, clockAfterStall);
}

// Iconified: suspended once and the sound pauses. Restored without focus:
// still suspended. Focused: the sound plays again before the app hears of
// the resume, and updates restart a period later with no burst for the
// time away.
TEST_F(LoopTest, IconifySuspendsAndOnlyTheFocusedWindowResumes) {
  test::AlTestDevice al;
  ScopedWorkDir dir;
  ASSERT_TRUE(al.Ready());
  gxtkAudio& audio = *app->audio;
  audio.PlaySample(audio.LoadSample(String(test::Put("t.wav", test::ToneWav(5)).c_str())), 0, 0);
  const auto sound = [&audio] {
    ALint state = 0;
    alGetSourcei(audio.channels[0].source, AL_SOURCE_STATE, &state);
    return state;
  };
  int soundAway = 0, soundAtResume = 0;
  bool suspendedWithoutFocus = false;
  double resumedAt = -1;
  app->onUpdate = [&] {
    if (app->updates == 5) platform.open = false;
    if (app->updates != 2) return;
    platform.iconified = true;
    platform.events = {[&] {
                         soundAway = sound();
                         platform.now += 10;
                         platform.iconified = platform.active = false;
                       },
                       [&] {
                         suspendedWithoutFocus = app->suspended;
                         platform.active = true;
                       }};
  };
  app->onResume = [&] {
    resumedAt = platform.now;
    soundAtResume = sound();
  };
  app->Run();
  EXPECT_EQ(std::pair(app->suspends, app->resumes), std::pair(2, 1)) << "iconified, then ended";
  EXPECT_TRUE(suspendedWithoutFocus);
  EXPECT_EQ(soundAway, AL_PAUSED);
  EXPECT_EQ(soundAtResume, AL_PLAYING);
  EXPECT_NEAR(platform.now, resumedAt + 3 * kPeriod, 1e-6);
}

// Each pass returns at once and says what it would wait for.
TEST_F(LoopTest, PassesNeverBlock) {
  app->Start();
  LoopWait wait = app->Pass(platform);
  EXPECT_EQ(wait.kind, LoopWait::kTime);
  EXPECT_NEAR(wait.seconds, kPeriod, 1e-6);
  platform.now += kPeriod;
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kNothing);
  EXPECT_EQ(app->updates, 1);
  platform.iconified = true;
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kNothing);
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kEvents);
  platform.iconified = false;
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kNothing);
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kTime);
  app->SetUpdateRate(0);
  EXPECT_EQ(app->Pass(platform).kind, LoopWait::kEvents);
  EXPECT_EQ(platform.sleeps + platform.waits, 0);
}

// However the loop ends, by the window closing or by a stop signal (which
// the handler only notes), the app is suspended once more so that it keeps
// its state, and the process's status says which: 0, or 128 + the signal.
// An app already suspended (iconified) is not suspended again.
TEST_F(LoopTest, ClosedOrSignalledTheLoopEndsWithTheAppSuspended) {
  InstallStopHandlers();
  for (const int signalNumber : {0, SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signalNumber);
    app->suspends = app->updates = 0;
    platform.open = true;
    app->SetUpdateRate(kRate);
    app->onUpdate = [&] {
      if (app->updates == 3 && signalNumber == 0) platform.open = false;
      if (app->updates == 3 && signalNumber != 0) std::raise(signalNumber);
      if (app->updates == 10) platform.open = false;  // a loop that missed the stop
    };
    app->Run();
    EXPECT_EQ(app->updates, 3) << "the loop ended at once";
    EXPECT_EQ(app->suspends, 1);
    EXPECT_TRUE(app->suspended);
    EXPECT_EQ(StopExitStatus(), signalNumber == 0 ? 0 : 128 + signalNumber);
    ClearStopRequest();
    app->InvokeOnResume();
  }
  // Iconified, then stopped while waiting for the window.
  app->suspends = 0;
  app->onUpdate = [&] { platform.iconified = true; };
  platform.events = {[] { std::raise(SIGTERM); }};
  app->Run();
  EXPECT_EQ(app->suspends, 1);
  EXPECT_EQ(StopExitStatus(), 128 + SIGTERM);
  ClearStopRequest();
  for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) std::signal(signalNumber, SIG_DFL);
}

}  // namespace
}  // namespace vantor::testing
