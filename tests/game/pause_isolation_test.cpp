// The pause button and the pause menu keep their presses to themselves: a
// quick click on the button pauses in every phase and does nothing else,
// clicks on the open menu never reach the run beneath, a held back key
// pauses once, and every run starts unpaused.
#include <gtest/gtest.h>

#include <tuple>

#include "game/run.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

// The pause button's centre and the pause menu's items once the panel rests
// (640 x 480).
constexpr float kPauseButton = 16;
constexpr float kResumeX = 320, kResumeY = 248;  // over keypad key 5
constexpr float kSoundX = 460, kSoundY = 184;    // right half of the screen
constexpr int kPanelSlideUpdates = 13;

class PauseIsolationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRun(harness);
    harness.Frame();
  }

  // The run as it started, moved on to `phase`, with no bags, police cars
  // or bullets about.
  void EnterPhase(int phase) {
    app.phase = phase;
    app.copsToRam = run::kCopsToRam;
    for (int i = 0; i < run::kRunCellsCleared; ++i) app.worldCells[i] = 0;
  }

  // What a press can change in the run, phase by phase.
  auto PressEffects() const {
    return std::make_tuple(app.enteredCode.Length(), app.bagsGrabbed, app.playerSpeed,
                           app.carHeading, app.reloadNeeded, app.playerPose, app.runOver);
  }

  void QuickClick(float x, float y) {
    harness.MoveTo(x, y);
    harness.PressPointer();
    harness.ReleasePointer();
    harness.Frame();
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(PauseIsolationTest, AQuickClickOnThePauseButtonPausesAndDoesNothingElse) {
  for (int phase = run::kPhaseKeypad; phase <= run::kPhaseClosing; ++phase) {
    SCOPED_TRACE(phase);
    EnterPhase(phase);
    app.paused = 0;
    app.pauseMenuOpen = -1;
    harness.Frame();
    const auto before = PressEffects();
    ForgetSounds(harness);
    QuickClick(kPauseButton, kPauseButton);
    EXPECT_EQ(app.paused, 1);
    EXPECT_EQ(app.pauseMenuOpen, 1);
    EXPECT_EQ(TimesPlayed(harness, run::kSfxClick), 1);
    EXPECT_EQ(PressEffects(), before);
  }
}

TEST_F(PauseIsolationTest, PressesOnTheOpenPauseMenuNeverReachTheRun) {
  struct Case {
    int phase;
    float x, y;
    int heldUpdates;  // 0: a quick click
  };
  const Case cases[] = {
      {run::kPhaseKeypad, kResumeX, kResumeY, 0},  // would type a 5
      {run::kPhaseBankHall, kSoundX, kSoundY, 0},  // would run
      {run::kPhaseChase, kSoundX, kSoundY, 0},     // would turn right
      {run::kPhaseCarShootout, kResumeX, kResumeY, 0},  // would shoot
      // Held on past the panel's slide away: still no ducking.
      {run::kPhaseFenceFight, kResumeX, kResumeY, 2 * kPanelSlideUpdates},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.phase);
    EnterPhase(c.phase);
    app.paused = 0;
    KeyFrame(harness, kKeyEscape);
    harness.Frame(kPanelSlideUpdates);
    ASSERT_EQ(app.paused, 1);
    const auto before = PressEffects();
    harness.MoveTo(c.x, c.y);
    harness.PressPointer();
    if (c.heldUpdates == 0) harness.ReleasePointer();
    harness.Frame(std::max(c.heldUpdates, 1));
    EXPECT_EQ(PressEffects(), before);
    harness.ReleasePointer();
    harness.Frame();
    app.paused = 0;
  }
}

TEST_F(PauseIsolationTest, AHeldBackKeyPausesOnceAndNotAgainAfterTheResume) {
  ForgetSounds(harness);
  harness.KeyDown(kKeyEscape);
  harness.Frame(5);
  EXPECT_EQ(app.paused, 1);
  EXPECT_EQ(TimesPlayed(harness, run::kSfxClick), 1);
  harness.Frame(kPanelSlideUpdates);
  QuickClick(kResumeX, kResumeY);
  harness.Frame(3 * kPanelSlideUpdates);
  EXPECT_EQ(app.paused, 0);
  EXPECT_EQ(TimesPlayed(harness, run::kSfxClick), 2);  // the pause and the resume
  harness.KeyUp(kKeyEscape);
}

TEST_F(PauseIsolationTest, ARunPausedUnderTheGameOverOverlayLeavesTheNextRunUnpaused) {
  app.runOver = 1;
  harness.Frame(10);
  KeyFrame(harness, kKeyEscape);
  ASSERT_EQ(app.paused, 1);
  harness.Frame(run::kOverlayUpdates);
  ASSERT_EQ(app.gameMode, 1);
  StartRun(harness);
  harness.Frame();
  EXPECT_EQ(app.gameMode, run::kModeRun);
  EXPECT_EQ(app.paused, 0);
  EXPECT_EQ(app.pauseMenuOpen, -1);
  EXPECT_EQ(app.pauseSlide, -64);
}

}  // namespace
}  // namespace vantor::testing
