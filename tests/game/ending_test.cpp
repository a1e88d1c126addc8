// The rank a finished run's score is announced at: decided as the run ends,
// shown unchanged until the overlay has left the menu, and the place the
// saved table then holds the score at.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/run.h"
#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

using namespace run;

const char* const kOrdinals[] = {"1st!", "2nd", "3rd", "4th", "5th",
                                 "6th",  "7th", "8th", "9th", "10th"};

// Table 0's ranked scores in a saved record: elements 35, 37, ... 53.
std::vector<int> SavedBest(const std::string& record) {
  std::vector<int> elements;
  std::istringstream in(record);
  for (std::string element; std::getline(in, element, '|');) elements.push_back(std::stoi(element));
  std::vector<int> best;
  for (int e = 0; e < kTableSize; ++e) best.push_back(elements.at(35 + 2 * e));
  return best;
}

// The ranks the banner names in the current frame.
std::set<int> RanksShown(const MyApp& app) {
  std::set<int> ranks;
  for (int rank = 1; rank <= kTableSize; ++rank) {
    if (HasText(app, std::string("New Highscore") + kOrdinals[rank - 1])) ranks.insert(rank);
  }
  return ranks;
}

TEST(HighscoreRank, OneRankFromTheRunsEndUntilTheMenuSettlesAndTheTableHoldsTheScoreThere) {
  const std::array<int, 10> falling = {900, 800, 700, 600, 500, 400, 300, 200, 100, 50};
  const struct {
    const char* name;
    std::array<int, 10> table;
    int score;
    int rank;
  } cases[] = {
      {"best on empty tables", {}, 5000, 1},
      {"equal to the third", falling, 700, 4},
  };
  GameHarness game;
  MyApp& app = game.app();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    game.StartRun();
    std::copy(c.table.begin(), c.table.end(), &app.highscores[0]);
    app.phase = kPhaseClosing;
    app.loot = c.score;
    app.timeLeft = 0;
    game.Frame();
    std::set<int> shown;
    const auto frame = [&] {
      game.Frame();
      const std::set<int> now = RanksShown(app);
      EXPECT_LE(now.size(), 1u) << "two ranks in one frame";
      shown.insert(now.begin(), now.end());
    };
    // A tap on the closing screen ends the run.
    game.MoveTo(320, 240);
    game.Press();
    frame();
    ASSERT_EQ(app.runOver, 1);
    game.Release();
    for (int n = 0; n < 4 * kOverlayUpdates && !(app.gameMode == 1 && app.gameOverFrame == 0); ++n) {
      frame();
    }
    ASSERT_EQ(app.gameMode, 1) << "the menu did not settle";
    EXPECT_EQ(shown, std::set<int>{c.rank}) << "the banner's rank changed";
    const std::optional<std::string> record = game.SavedRecord();
    ASSERT_TRUE(record.has_value());
    const std::vector<int> best = SavedBest(*record);
    std::vector<int> before(c.table.begin(), c.table.end());
    int place = 0;
    while (place < kTableSize && best[place] == before[place]) ++place;
    ASSERT_LT(place, kTableSize) << "the score did not enter the table";
    EXPECT_EQ(best[place], c.score);
    EXPECT_EQ(place + 1, c.rank) << "entered elsewhere than announced";
  }
}

}  // namespace
}  // namespace vantor::testing
