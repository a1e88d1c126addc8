// How a run's end reaches the score tables: a lost run never turns into a
// win, and the game-over overlay announces a new highscore only at the rank
// the tables will really give the score.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "game/run.h"
#include "modules/random.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

using game::jscrw;

class RunOutcomeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRun(harness);
    harness.Frame();
  }

  int& Best(int rank) { return app.highscores[rank]; }

  // Plays on until the menu has taken the score.
  void PlayToTheMenu() {
    for (int update = 0; update < 2 * run::kOverlayUpdates && app.gameMode != 1; ++update) {
      harness.Frame();
    }
    ASSERT_EQ(app.gameMode, 1);
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(RunOutcomeTest, APlayerBulletInFlightAtTheLastHitTakenDoesNotWinTheRun) {
  app.phase = run::kPhaseFenceFight;
  for (int i = 0; i < run::kRunCellsCleared; ++i) app.worldCells[i] = 0;
  app.loot = 9000;
  app.hitsLeft = 1;
  app.playerHealth = 1;
  app.copDucking = 0;
  random::Seed = 7;  // the cop stays up for the next updates
  // The cop's bullet hits the player in the next update; the player's own
  // reaches the cop two updates after that.
  app.worldCells[0] = run::kCopBullet;
  app.worldCells[1] = static_cast<int>(jscrw * 0.75f - run::kBulletSpeed);
  app.worldCells[2] = run::kPlayerBullet;
  app.worldCells[3] = static_cast<int>(jscrw * 0.25f + run::kBulletReach + 2 * run::kBulletSpeed);
  harness.Frame();
  ASSERT_EQ(app.runOver, 1);
  for (int update = 0; update < 4; ++update) {
    harness.Frame();
    EXPECT_EQ(app.phase, run::kPhaseFenceFight);
  }
  EXPECT_EQ(app.hitsLeft, 1);
  PlayToTheMenu();
  for (int rank = 0; rank < 10; ++rank) EXPECT_EQ(Best(rank), 0) << rank;
  EXPECT_EQ(app.highscores[30], 0);
}

TEST_F(RunOutcomeTest, TheOverlayNamesTheRankTheScoreIsEnteredAt) {
  struct Case {
    const char* name;
    std::array<int, 10> table;
    int score;
    const char* rank;  // nullptr: no announcement, and not entered
    int enteredAt;
  };
  const Case cases[] = {
      {"best on empty tables", {}, 5000, "1st!", 0},
      {"equal to the third", {900, 800, 700, 600, 500, 400, 300, 200, 100, 50}, 700, "4th", 3},
      {"equal to the last", {900, 800, 700, 600, 500, 400, 300, 200, 100, 50}, 50, nullptr, 0},
      {"zero on negative entries", {-5, -5, -5, -5, -5, -5, -5, -5, -5, -5}, 0, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartRun(harness);
    harness.Frame();
    for (int rank = 0; rank < 10; ++rank) Best(rank) = c.table[rank];
    app.phase = run::kPhaseClosing;
    app.loot = c.score;
    app.timeLeft = 0;
    app.runOver = 1;
    harness.Frame(30);
    EXPECT_EQ(HasLine(app, "New Highscore"), c.rank != nullptr);
    EXPECT_TRUE(!c.rank || HasLine(app, c.rank));
    PlayToTheMenu();
    if (c.rank) {
      EXPECT_EQ(Best(c.enteredAt), c.score);
    } else if (c.score > 0) {
      EXPECT_EQ(Best(9), c.table[9]);
    }
  }
}

}  // namespace
}  // namespace vantor::testing
