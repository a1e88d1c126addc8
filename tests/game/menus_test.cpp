// The title menu's score lists sized to the screen, and the
// pause menu over a run: how it is entered, that its presses never reach
// the run, its sound modes, and resuming.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "game/ids.h"
#include "game/run.h"
#include "tools/testing/game_harness.h"

namespace vantor::testing {
namespace {

using namespace run;

TEST(TitleMenu, ScoreListsShowAsManyRowsAsTheScreenHolds) {
  for (const auto& [height, best, last] :
       {std::tuple{360, "Top 6", "Last 6"}, std::tuple{480, "Top 10", "Last 10"},
        std::tuple{200, "Highscore", "Last"}}) {
    SCOPED_TRACE(height);
    GameHarness game(640, height);
    EXPECT_EQ(game.app().pauseMenuOpen, -1) << "created with the pause menu closed";
    game.Frame(32);
    EXPECT_TRUE(HasText(game.app(), best));
    EXPECT_TRUE(HasText(game.app(), last));
  }
}

class PauseTest : public ::testing::Test {
 protected:
  void SetUp() override { game.StartRun(); }

  // What a press can change in the run, phase by phase.
  auto PressEffects() const {
    return std::make_tuple(app.enteredCode.Length(), app.bagsGrabbed, app.playerSpeed,
                           app.carHeading, app.reloadNeeded, app.playerPose, app.runOver);
  }
  void EnterPhase(int phase) {
    app.phase = phase;
    app.paused = 0;
    app.pauseMenuOpen = -1;
    app.settings[kSettingSoundMode] = 1;
    app.copsToRam = 10;
    ClearRunCells(app.worldCells.Data());
  }
  // Press and release within one update.
  void QuickClick(float x, float y) {
    game.MoveTo(x, y);
    game.Press();
    game.Release();
    game.Frame();
  }

  GameHarness game;
  MyApp& app = game.app();
};

// In every phase a quick click on the pause button pauses and does nothing
// else, and a press on the open menu (quick, or held past the panel's slide
// away) never reaches the run: not as a keypad key, a step, a turn, a shot
// or a duck.
TEST_F(PauseTest, PausePressesNeverReachTheRun) {
  const std::tuple<float, float, int> menuPresses[] = {
      {320, 248, 0}, {320, 248, 0}, {460, 184, 0},  {320, 248, 0}, {460, 184, 0},
      {320, 248, 0}, {320, 248, 0}, {320, 248, 26}, {320, 248, 0}};
  for (int phase = kPhaseKeypad; phase <= kPhaseClosing; ++phase) {
    SCOPED_TRACE(phase);
    EnterPhase(phase);
    game.Frame();
    const auto before = PressEffects();
    game.ForgetSounds();
    QuickClick(16, 16);
    EXPECT_EQ(app.pauseMenuOpen, 1);
    EXPECT_EQ(game.TimesPlayed(kSfxClick), 1);
    EXPECT_EQ(PressEffects(), before);
    game.Frame(13);
    const auto [x, y, held] = menuPresses[phase - 1];
    game.MoveTo(x, y);
    game.Press();
    if (held == 0) game.Release();
    game.Frame(std::max(held, 1));
    EXPECT_EQ(PressEffects(), before);
    game.Release();
    game.Frame();
  }
}

TEST_F(PauseTest, AHeldBackKeyPausesOnceAndTheRunStandsStillBeneath) {
  game.ForgetSounds();
  game.KeyDown(kKeyEscape);
  const int time = app.timeLeft;
  game.Frame(13);
  EXPECT_EQ(app.timeLeft, time);
  EXPECT_EQ(app.pauseSlide, 248) << "the panel at rest";
  QuickClick(320, 248);  // resume
  game.Frame(40);
  EXPECT_EQ(app.paused, 0);
  EXPECT_LT(app.timeLeft, time);
  EXPECT_EQ(game.TimesPlayed(kSfxClick), 2) << "the pause and the resume";
  game.KeyUp(kKeyEscape);
}

TEST_F(PauseTest, KeysStepTheSoundModeThroughAllFour) {
  game.KeyFrame(kKeyEscape);
  game.KeyFrame(kKeyRight);
  std::vector<int> modes, clicks;
  for (int press = 0; press < 4; ++press) {
    game.ForgetSounds();
    game.KeyFrame(kKeyEnter);
    modes.push_back(app.settings[kSettingSoundMode]);
    clicks.push_back(game.TimesPlayed(kSfxClick));
  }
  EXPECT_EQ(modes, (std::vector<int>{2, 3, 0, 1}));
  EXPECT_EQ(clicks, (std::vector<int>{1, 0, 0, 1})) << "effects play in modes 1 and 2 only";
}

}  // namespace
}  // namespace vantor::testing
