// The title menu (score lists sized to the screen, start and sound buttons
// with the credits box open), and the pause menu over a run (its slide, the
// key-driven sound modes, quitting and resuming).
#include <gtest/gtest.h>

#include "game/run.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

constexpr int kFlyIn = 32;  // updates until the menu has flown in

HarnessOptions Window(int width, int height) {
  HarnessOptions options;
  options.width = width;
  options.height = height;
  return options;
}

int RowsShown(const MyApp& app) {
  int rows = 0;
  for (const std::string& line : DrawnLines(app)) rows += line == "0" ? 1 : 0;
  return rows;
}

// Both lists on a window of the given height, after the fly-in.
void ExpectScoreLists(int height, int rows, const std::string& best, const std::string& last) {
  GameHarness harness(Window(640, height));
  harness.Frame(kFlyIn);
  EXPECT_EQ(harness.app().listRows, rows);
  EXPECT_TRUE(HasLine(harness.app(), best));
  EXPECT_TRUE(HasLine(harness.app(), last));
  EXPECT_EQ(RowsShown(harness.app()), 2 * rows);
}

TEST(MenuScoreLists, A640By360ScreenShowsSixRows) { ExpectScoreLists(360, 6, "Top 6", "Last 6"); }

TEST(MenuScoreLists, A640By480ScreenShowsTenRows) {
  ExpectScoreLists(480, 10, "Top 10", "Last 10");
}

TEST(MenuScoreLists, AVeryFlatScreenStillShowsOneRowUnderPlainTitles) {
  ExpectScoreLists(200, 1, "Highscore", "Last");
}

TEST(MenuScoreLists, TheFirstUpdateReadsTableTwoAndLaterOnesTableOne) {
  GameHarness harness;
  MyApp& app = harness.app();
  app.highscores[0] = 111;
  app.highscores[10] = 222;
  harness.Frame();
  EXPECT_TRUE(HasLine(app, "222"));
  EXPECT_FALSE(HasLine(app, "111"));
  harness.Frame();
  EXPECT_TRUE(HasLine(app, "111"));
  EXPECT_EQ(app.scoreTableIndex, 1);
}

class TitleMenuTest : public ::testing::Test {
 protected:
  void SetUp() override { harness.Frame(kFlyIn); }

  void Tap(float x, float y) {
    PressFrame(harness, x, y);
    ReleaseFrame(harness);
  }
  void TapStart() { Tap(0.4f * 640, 0.7f * 480); }
  void TapSound() { Tap(320, 32); }
  void TapCredits() { Tap(640 - 70, 480 - 40); }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(TitleMenuTest, WithTheCreditsOpenStartIsIgnoredButSoundToggles) {
  TapCredits();
  ASSERT_EQ(app.creditsOpen, 1);
  EXPECT_TRUE(HasLine(app, "A Game By"));
  EXPECT_TRUE(HasLine(app, "Created using"));

  TapSound();
  EXPECT_EQ(app.settings[5], 0);
  EXPECT_EQ(app.creditsOpen, 1);
  TapSound();
  EXPECT_EQ(app.settings[5], 1);

  // The press on start only closes the box.
  PressFrame(harness, 0.4f * 640, 0.7f * 480);
  EXPECT_EQ(app.gameMode, 1);
  EXPECT_EQ(app.creditsOpen, 0);
  ReleaseFrame(harness);
  harness.Frame(3);
  EXPECT_EQ(app.gameMode, 1);

  TapStart();
  EXPECT_EQ(app.gameMode, 10);
}

TEST_F(TitleMenuTest, TheBackKeyClosesTheCredits) {
  TapCredits();
  ASSERT_EQ(app.creditsOpen, 1);
  KeyFrame(harness, kKeyEscape);
  EXPECT_EQ(app.creditsOpen, 0);
  EXPECT_EQ(app.gameMode, 1);
}

class PauseMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRun(harness);
    harness.Frame();
    ASSERT_EQ(app.gameMode, 10);
  }

  void OpenPause() {
    KeyFrame(harness, kKeyEscape);
    ASSERT_EQ(app.paused, 1);
  }

  // The darkening rectangle over the whole screen.
  float BackdropAlpha() {
    for (const DrawRecord& rect : RectsOf(app)) {
      if (rect.x == 0 && rect.y == 0 && rect.width == 640 && rect.height == 480 &&
          rect.red == 0 && rect.green == 0 && rect.blue == 0) {
        return rect.alpha;
      }
    }
    return -1;
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(PauseMenuTest, TheFirstPanelComesToRestAt248After13Updates) {
  ASSERT_EQ(app.pauseSlide, -64);
  harness.KeyDown(kKeyEscape);
  harness.Frame();
  harness.KeyUp(kKeyEscape);
  EXPECT_EQ(app.pauseSlide, -40);
  harness.Frame(11);
  EXPECT_EQ(app.pauseSlide, 224);
  harness.Frame();
  EXPECT_EQ(app.pauseSlide, 248);
  harness.Frame(5);
  EXPECT_EQ(app.pauseSlide, 248);
  EXPECT_NEAR(BackdropAlpha(), 248.0f / 384.0f, 1e-5);
}

TEST_F(PauseMenuTest, KeysStepTheSoundModeThroughAllFour) {
  OpenPause();
  KeyFrame(harness, kKeyRight);
  ASSERT_EQ(app.pauseChoice, 1);
  std::vector<int> modes;
  std::vector<int> clicks;
  for (int press = 0; press < 4; ++press) {
    ForgetSounds(harness);
    KeyFrame(harness, kKeyEnter);
    modes.push_back(app.settings[5]);
    clicks.push_back(TimesPlayed(harness, run::kSfxClick));
  }
  EXPECT_EQ(modes, (std::vector<int>{2, 3, 0, 1}));
  // Effects are heard in modes 1 and 2 only.
  EXPECT_EQ(clicks, (std::vector<int>{1, 0, 0, 1}));
  EXPECT_EQ(app.paused, 1);
}

TEST_F(PauseMenuTest, QuitEndsTheRunAtOnceWithAHalfRateClick) {
  OpenPause();
  harness.Frame(12);
  ASSERT_EQ(app.pauseSlide, 248);
  ForgetSounds(harness);
  PressFrame(harness, 320 - 140, 248 - 64);
  EXPECT_EQ(app.runOver, 1);
  EXPECT_EQ(app.paused, 0);
  EXPECT_EQ(app.pauseSlide, -64);
  const std::vector<PlayedSound> sounds = PlayedSounds(harness);
  ASSERT_FALSE(sounds.empty());
  EXPECT_EQ(sounds.back().slot, run::kSfxClick);
  EXPECT_FLOAT_EQ(sounds.back().rate, 0.5f);
  EXPECT_FLOAT_EQ(sounds.back().volume, 0.5f);
  EXPECT_EQ(app.gameOverFrame, 1);
}

TEST_F(PauseMenuTest, TheRunGoesOnWhilePausedAndBackResumesIt) {
  OpenPause();
  const int before = app.timeLeft;
  harness.Frame(10);
  EXPECT_EQ(app.timeLeft, before - 10);
  KeyFrame(harness, kKeyEscape);
  EXPECT_EQ(app.pauseMenuOpen, -1);
  int updates = 0;
  while (app.paused == 1 && updates < 30) {
    harness.Frame();
    ++updates;
  }
  EXPECT_EQ(app.paused, 0);
  EXPECT_LT(app.pauseSlide, -32);
}

}  // namespace
}  // namespace vantor::testing
