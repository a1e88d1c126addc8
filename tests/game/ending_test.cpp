// The end of a run: the closing screen's total, the game-over overlay and
// its hand-over to the menu, and entering the score into the tables.
#include <gtest/gtest.h>

#include "game/run.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

class EndingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRun(harness);
    harness.Frame();
  }

  int& Best(int rank) { return app.highscores[rank]; }

  void FillBestTenWithThousands() {
    for (int rank = 0; rank < 10; ++rank) Best(rank) = 1000 * (10 - rank);
  }

  // The update of mode 2 that enters `score` into table 1.
  void EnterScore(int score) {
    app.score = score;
    app.scoreTableIndex = 1;
    app.gameMode = 2;
    harness.Frame();
  }
  int& Recent(int index) { return app.highscores[30 + index]; }

  // Ends the run as a loss in the fight at the fence, no bullet in flight.
  void LoseRun() {
    app.phase = run::kPhaseFenceFight;
    for (int i = 0; i < run::kRunCellsCleared; ++i) app.worldCells[i] = 0;
    app.playerHealth = 0;
    harness.Frame();
    ASSERT_EQ(app.runOver, 1);
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(EndingTest, SixtySecondsLeftAnd9000LootTotal19800) {
  app.phase = run::kPhaseClosing;
  app.timeLeft = 60 * 60;
  app.loot = 9000;
  app.touchConsumed = 1;
  harness.Frame();
  EXPECT_EQ(app.score, 19800);
  EXPECT_TRUE(HasLine(app, "Loot Grabbed : 9000"));
  EXPECT_TRUE(HasLine(app, "Time Bonus : 10800"));
  // The countdown has stopped; the total rolls up and snaps.
  int previous = app.shownTotal;
  for (int update = 0; update < 60; ++update) {
    harness.Frame();
    EXPECT_GE(app.shownTotal, previous);
    previous = app.shownTotal;
  }
  EXPECT_EQ(app.timeLeft, 3600);
  EXPECT_EQ(app.shownTotal, 19800);
  EXPECT_TRUE(HasLine(app, "Total : 00019800"));
  EXPECT_EQ(app.runOver, 0);
}

TEST_F(EndingTest, APressOnTheClosingScreenEndsTheRun) {
  app.phase = run::kPhaseClosing;
  app.touchConsumed = 0;
  PressFrame(harness, 320, 240);
  EXPECT_EQ(app.runOver, 1);
  EXPECT_EQ(app.gameOverFrame, 1);
}

TEST_F(EndingTest, AScoreEqualToTheTenthEntersOnlyTheLastTen) {
  FillBestTenWithThousands();
  Recent(0) = 77;
  EnterScore(1000);
  EXPECT_EQ(app.gameMode, 1);
  for (int rank = 0; rank < 10; ++rank) EXPECT_EQ(Best(rank), 1000 * (10 - rank));
  EXPECT_EQ(Recent(0), 1000);
  EXPECT_EQ(Recent(1), 77);

  // One point more takes the tenth place.
  EnterScore(1001);
  EXPECT_EQ(Best(9), 1001);
  EXPECT_EQ(Best(8), 2000);
  EXPECT_EQ(Recent(0), 1001);
  EXPECT_EQ(Recent(2), 77);
  ASSERT_TRUE(harness.SavedRecord().has_value());
}

TEST_F(EndingTest, ABetterScoreMovesTheTableDownBehindEqualOnes) {
  FillBestTenWithThousands();
  EnterScore(8000);
  EXPECT_EQ(Best(2), 8000);
  EXPECT_EQ(Best(3), 8000);
  EXPECT_EQ(Best(4), 7000);
  EXPECT_EQ(Best(9), 2000);
}

TEST_F(EndingTest, TheHandOverUpdateRunsTheOverlayTwiceAndEndsAt71) {
  LoseRun();
  app.gameOverFrame = 89;
  harness.Frame();
  EXPECT_EQ(app.gameMode, 2);
  EXPECT_EQ(app.gameOverFrame, 71);
  int words = 0;
  for (const std::string& line : DrawnLines(app)) words += line == "GAME" ? 1 : 0;
  EXPECT_EQ(words, 2);
  harness.Frame();
  EXPECT_EQ(app.gameMode, 1);
  EXPECT_EQ(app.gameOverFrame, 69);
}

TEST_F(EndingTest, TheOverlaySlidesInForNinetyUpdatesThenAwayInTheMenu) {
  LoseRun();
  EXPECT_EQ(app.gameOverFrame, 1);
  harness.Frame(18);
  // Full slide after 18 updates on a 480-high screen: "OVER" rests at 480 - 216.
  int overY = 0;
  for (const DrawRecord& glyph : ImagesOf(app, app.currentFont)) {
    if (glyph.frame == 'O' - 32 && glyph.x > 320) overY = static_cast<int>(glyph.y);
  }
  EXPECT_EQ(overY, 480 - 216);
  harness.Frame(70);
  EXPECT_EQ(app.gameMode, 10);
  EXPECT_EQ(app.gameOverFrame, 89);
  harness.Frame();
  EXPECT_EQ(app.gameMode, 2);
  harness.Frame(36);
  EXPECT_EQ(app.gameMode, 1);
  EXPECT_EQ(app.gameOverFrame, 0);
}

TEST_F(EndingTest, ALostRunOnEmptyTablesIsNeitherCalledNewNorEntered) {
  LoseRun();
  harness.Frame(5);
  EXPECT_TRUE(HasLine(app, "GAME"));
  EXPECT_FALSE(HasLine(app, "New Highscore"));
  harness.Frame(90);
  ASSERT_EQ(app.gameMode, 1);
  EXPECT_EQ(app.scratch, -1);  // no place in the best ten was found
  for (int rank = 0; rank < 10; ++rank) EXPECT_EQ(Best(rank), 0);
  EXPECT_EQ(Recent(0), 0);
}

TEST_F(EndingTest, AScoreBelowTheTableIsNotCalledNew) {
  for (int rank = 0; rank < 10; ++rank) Best(rank) = 500;
  LoseRun();
  harness.Frame(5);
  EXPECT_TRUE(HasLine(app, "GAME"));
  EXPECT_FALSE(HasLine(app, "New Highscore"));
}

}  // namespace
}  // namespace vantor::testing
