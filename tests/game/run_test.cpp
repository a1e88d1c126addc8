// A run's details through the pointer, beside the phase rules: the keypad's
// sounds and the typed code's colours, one bag per press, the top running
// speed, the wrecks and the ram sound, the reload prompt, ducking at the
// fence, the closing screen's bonus, and the banner announcing the rank the
// score is entered at.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/ids.h"
#include "game/run.h"
#include "modules/random.h"
#include "tools/testing/game_harness.h"

namespace vantor::testing {
namespace {

using namespace run;
using game::jscrh;
using game::jscrw;
using Sounds = std::vector<int>;

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override { game.StartRun(); }

  // Taps keypad key 0-9 or 10 ("C") where the keypad shows it and returns
  // the sounds of the update the press acted in.
  Sounds TapKey(int value) {
    int row = kKeypadRows - 1, column = value == 0 ? kZeroColumn : kClearColumn;
    if (value >= 1 && value <= 9) {
      row = (value - 1) / kKeypadColumns, column = (value - 1) % kKeypadColumns;
    }
    game.ForgetSounds();
    game.PressAt(jscrw * 0.5f - kKeypadHalf + kKeyPitch * column,
                 jscrh * 0.5f - kKeypadHalf + kKeyPitch * row);
    Sounds sounds = game.Played();
    game.Release();
    game.Frame();
    return sounds;
  }
  int Digit(int position) { return app.targetCode[position] - '0'; }
  void TypeRightDigits(int count) {
    for (int i = 0; i < count; ++i) TapKey(Digit(app.enteredCode.Length()));
  }
  // Taps the middle of the screen until the phase changes; returns the
  // farthest one update carried the robber.
  float TapUntilThePhaseChanges() {
    const int phase = app.phase;
    float longest = 0;
    for (int update = 0; update < 400 && app.phase == phase; ++update) {
      const float x = app.playerX;
      if (update % 2 == 0) game.MoveTo(320, 240), game.Press();
      if (update % 2 == 1) game.Release();
      game.Frame();
      if (app.phase == phase) longest = std::max(longest, std::abs(app.playerX - x));
    }
    game.Release();
    return longest;
  }
  int& City(int column, int row) { return CityCell(app.worldCells.Data(), column, row); }
  // The car on the crossing before cell (column, row) with the camera on it.
  void PlaceCar(int column, int row) {
    app.playerX = kCityCell * column;
    app.playerY = kCityCell * row;
    app.carOffsetX = app.carOffsetY = 0;
    app.carHeading = kNorth;
    app.cameraX = app.playerX - 40 - jscrw * 0.5f;
    app.cameraY = app.playerY - 40 - jscrh * 0.5f;
  }
  std::vector<int> Best() { return {app.highscores.begin(), app.highscores.begin() + 10}; }

  GameHarness game;
  MyApp& app = game.app();
};

TEST_F(RunTest, TheKeypadJudgesEachDigitAndOpensTheVaultOnTheTenth) {
  EXPECT_EQ(app.targetCode.Length(), 10);
  EXPECT_EQ(TapKey(Digit(0)), (Sounds{kSfxChime, kSfxDigitRight}));
  EXPECT_EQ(TapKey((Digit(1) + 1) % 10), (Sounds{kSfxChime, kSfxDigitWrong}));
  // Clear goes in as "10": its 0, the fourth digit here, is judged, then
  // the code is emptied.
  const int zero = Digit(3) == 0 ? kSfxDigitRight : kSfxDigitWrong;
  EXPECT_EQ(TapKey(kClearKey), (Sounds{kSfxChime, zero, kSfxCodeCleared}));
  EXPECT_EQ(app.enteredCode.Length(), 0);
  TypeRightDigits(9);
  EXPECT_EQ(TapKey((Digit(9) + 1) % 10), Sounds{kSfxChime}) << "the tenth digit is not judged";
  for (int i = 0; i < 10; ++i) TapKey(Digit(i));  // twenty digits never match
  EXPECT_EQ(app.phase, kPhaseKeypad);
  TapKey(kClearKey);
  TypeRightDigits(9);
  EXPECT_EQ(TapKey(Digit(9)), (Sounds{kSfxChime, kSfxCodeAccepted, kSfxVaultOpens}));
  EXPECT_EQ(app.phase, kPhaseCash);
}

// Right colour (150, 255, 150) only while the typed code is a prefix of
// the vault's; otherwise (255, 150, 150) at half alpha.
TEST_F(RunTest, TheTypedCodeLooksRightOnlyWhileItMatches) {
  for (const auto& [typed, right] :
       {std::pair{"123", true}, std::pair{"124", false}, std::pair{"1234567891", false},
        std::pair{"12345678901", false}}) {
    SCOPED_TRACE(typed);
    app.targetCode = T("1234567890");
    app.enteredCode = T(typed);
    game.Frame();
    int glyphs = 0;
    for (const DrawRecord& glyph : RecordsOf(app, static_cast<float>(app.currentFont))) {
      glyphs += glyph.y == 52 && glyph.red == (right ? 150 : 255) &&
                glyph.green == (right ? 255 : 150) && glyph.alpha == (right ? 1 : 0.5f);
    }
    EXPECT_EQ(glyphs, static_cast<int>(std::string(typed).size()));
  }
}

TEST_F(RunTest, ThreeBagsOfCashThenTappingRunsOutToTheCar) {
  TypeRightDigits(10);
  ASSERT_EQ(app.phase, kPhaseCash);
  for (int taken = 1; taken <= 3; ++taken) {
    int bag = 0;
    while (Bag(app.worldCells.Data(), bag).lying == 0) ++bag;
    game.ForgetSounds();
    const BagCells<int> lying = Bag(app.worldCells.Data(), bag);
    game.PressAt(lying.x, lying.y, 5);
    EXPECT_EQ(app.bagsGrabbed, taken) << "each press takes one bag, and the vault holds three";
    EXPECT_EQ(game.Played(), Sounds{kSfxBagGrabbed}) << "held: one bag per press";
    game.Release();
    game.Frame();
  }
  // Fast tapping reaches the top speed of 12 units an update, and no more.
  const float longest = TapUntilThePhaseChanges();
  EXPECT_TRUE(longest > 11 && longest <= 12) << "the top speed is 12 units an update";
  game.ForgetSounds();
  TapUntilThePhaseChanges();
  EXPECT_EQ(game.TimesPlayed(kSfxDoor), 1) << "the car door shuts once";
  game.Frame();
  EXPECT_TRUE(HasText(app, "Destroy 10 cops"));
}

TEST_F(RunTest, TenRamsThenThreeHitsFromTheCarThenTheFence) {
  app.phase = kPhaseStreet;
  app.playerX = jscrw;
  game.Frame();
  ASSERT_EQ(app.phase, kPhaseChase);
  for (int column = 0; column < kCityCells; ++column) {
    for (int row = 0; row < kCityCells; ++row) City(column, row) = 0;
  }
  City(4, 4) = 1;
  PlaceCar(5, 5);
  game.ForgetSounds();
  game.Frame();
  EXPECT_EQ(game.TimesPlayed(kSfxRam), 1);
  game.Frame(18);
  EXPECT_NE(City(4, 4), 0) << "a wreck burns for twenty updates";
  game.Frame();
  EXPECT_EQ(City(4, 4), 0);
  // The second on entry 275: column 25 of row 10 and column 0 of row 11.
  City(25, 10) = 2;
  PlaceCar(1, 12);
  game.Frame();
  for (int ram = 3; ram <= 10; ++ram) {
    City(ram + 3, 8) = 1 + ram % 4;
    PlaceCar(ram + 4, 9);
    game.Frame();
  }
  ASSERT_EQ(app.phase, kPhaseCarShootout);
  // Three hits on the police car, each after a reload, lead to the fence.
  random::Seed = 99;
  game.Frame();
  game.ForgetSounds();
  game.Tap(jscrw * 0.5f, 20);  // a miss needs a reload too
  EXPECT_EQ(game.Played(), Sounds{kSfxCopShot});
  EXPECT_TRUE(HasText(app, "RELOAD"));
  for (int hit = 1; hit <= 3; ++hit) {
    game.Tap(app.targetCarX, jscrh * 0.8f);  // not while the prompt shows
    game.ForgetSounds();
    game.Tap(app.reloadX, app.reloadY);
    game.Tap(app.targetCarX, jscrh * 0.8f);
    EXPECT_EQ(game.TimesPlayed(kSfxCarHit), 1);
  }
  ASSERT_EQ(app.phase, kPhaseFence);
  // Tapping runs the robber to the fence and up it into the fight.
  TapUntilThePhaseChanges();
  EXPECT_EQ(app.playerX, 150) << "the fence stands at 150";
}

// Held, the duck lets a cop's bullet pass and holds the gun's fire.
TEST_F(RunTest, AtTheFenceDuckingDodgesAndHoldsFire) {
  app.phase = kPhaseFenceFight;
  app.playerPose = app.copDucking = app.playerShotTimer = app.copShotTimer = 0;
  app.playerHealth = 3;
  ClearRunCells(app.worldCells.Data());
  const BulletCells<int> bullet = run::Bullet(app.worldCells.Data(), 0);
  bullet.kind = kCopBullet, bullet.x = static_cast<int>(jscrw * 0.75f - 40);
  game.ForgetSounds();
  game.PressAt(320, 100, 10);
  EXPECT_EQ(app.playerHealth, 3) << "ducked";
  EXPECT_EQ(game.TimesPlayed(kSfxShot), 0) << "and not firing";
  game.Release();
  game.Frame(2);
  EXPECT_EQ(game.TimesPlayed(kSfxShot), 1) << "up again, the player fires two updates later";
}

TEST_F(RunTest, TheClosingScreenAddsThreePointsPerUpdateLeft) {
  app.phase = kPhaseClosing;
  app.timeLeft = 60 * 60;
  app.loot = 9000;
  app.touchConsumed = 1;
  game.Frame(60);
  EXPECT_TRUE(HasText(app, "Loot Grabbed : 9000"));
  EXPECT_TRUE(HasText(app, "Time Bonus : 10800"));
  EXPECT_TRUE(HasText(app, "Total : 00019800")) << "rolled up to the score";
}

// Table 0's ranked scores in a saved record: elements 35, 37, ... 53.
std::vector<int> SavedBest(const std::string& record) {
  std::vector<int> elements;
  std::istringstream in(record);
  for (std::string element; std::getline(in, element, '|');) elements.push_back(std::stoi(element));
  std::vector<int> best;
  best.reserve(kTableSize);
  for (int e = 0; e < kTableSize; ++e) best.push_back(elements.at(35 + 2 * e));
  return best;
}

// The rank texts the banner shows in the current frame.
std::set<std::string> RanksShown(const MyApp& app) {
  std::set<std::string> ranks;
  for (const char* rank :
       {"1st!", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th", "10th"}) {
    if (HasText(app, std::string("New Highscore") + rank)) ranks.insert(rank);
  }
  return ranks;
}

// The banner names the rank the score really takes, decided as the run
// ends: the same in every frame until the overlay has left the menu, also
// once the score is in the table. Only a greater score passes an entry,
// and a score of 0 is never announced.
TEST_F(RunTest, TheOverlayAnnouncesTheRankTheScoreIsEnteredAt) {
  const std::array<int, 10> falling = {900, 800, 700, 600, 500, 400, 300, 200, 100, 50};
  const struct {
    const char* name;
    std::array<int, 10> table;
    int score;
    const char* rank;  // nullptr: no banner
    int enteredAt;     // -1: not in the best ten
  } cases[] = {
      {"best on empty tables", {}, 5000, "1st!", 0},
      {"equal to the third", falling, 700, "4th", 3},
      {"just above the last", falling, 51, "10th", 9},
      {"equal to the last", falling, 50, nullptr, -1},
      {"zero over negative entries", {-5, -5, -5, -5, -5, -5, -5, -5, -5, -5}, 0, nullptr, 0},
  };
  int previous = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    game.StartRun();
    std::copy(c.table.begin(), c.table.end(), &app.highscores[0]);
    app.phase = kPhaseClosing;
    app.loot = c.score;
    app.timeLeft = 0;
    app.runOver = 1;
    std::set<std::string> shown;
    const auto settled = [&] { return app.gameMode == kModeMenu && app.gameOverFrame == 0; };
    for (int update = 0; update < 4 * kOverlayUpdates && !settled(); ++update) {
      game.Frame();
      const std::set<std::string> now = RanksShown(app);
      EXPECT_LE(now.size(), 1u) << "two ranks in one frame, update " << update;
      shown.insert(now.begin(), now.end());
      if (update == 30) {
        EXPECT_TRUE(HasText(app, "GAME"));
      }
    }
    ASSERT_EQ(app.gameMode, 1) << "the menu did not settle";
    EXPECT_EQ(shown, c.rank ? std::set<std::string>{c.rank} : std::set<std::string>{})
        << "the banner's rank changed";
    std::vector<int> want(c.table.begin(), c.table.end());
    if (c.enteredAt >= 0) {
      want.insert(want.begin() + c.enteredAt, c.score);
      want.pop_back();
    }
    EXPECT_EQ(Best(), want);
    EXPECT_EQ(app.highscores[30], c.score) << "the last ten take every score";
    EXPECT_EQ(app.highscores[31], previous);
    previous = c.score;
    const std::optional<std::string> record = game.SavedRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(SavedBest(*record), want) << "the saved table holds the score where announced";
  }
}

}  // namespace
}  // namespace vantor::testing
