// The rules of each phase of a run and of the title menu, one rule a
// player would notice per test, each checked against the numbers of the
// rule itself: what the countdown does in each phase and whether it is
// shown, what a press does, where a phase is won (and phase 8 lost), what
// the cash bags are worth, where the police stand and how close ramming
// must come, ducking by holding, the game-over darkening on the device,
// iCade letters in either case, and the menu flying in after a run. Then a
// run's details through the pointer: the keypad's sounds and the typed
// code's colours, one bag per press, the top running speed, the wrecks and
// the ram sound, the reload prompt, ducking at the fence, the closing
// screen's bonus, and the banner announcing the rank the score is entered at.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game/ids.h"
#include "game/run.h"
#include "modules/random.h"
#include "tools/testing/game_harness.h"
#include "tools/testing/scripted_player.h"

namespace vantor::testing {
namespace {

using namespace run;
using game::jscrh;
using game::jscrw;
using Sounds = std::vector<int>;

constexpr int kModeMenu = 1, kModeRun = 10, kModeStartRun = 11;
constexpr int kPhaseKeypad = 1, kPhaseCash = 2, kPhaseBankHall = 3, kPhaseStreet = 4,
              kPhaseChase = 5, kPhaseCarShootout = 6, kPhaseFence = 7, kPhaseFight = 8,
              kPhaseClosing = 9;
constexpr int kUpdatesPerSecond = 60;
// The rules' numbers: ten police cars to ram, a wreck's first value, three
// hits on the police car, a pending turn adds 4 (left) or 8 (right) to the
// heading, the fight's poses, a tap's stride of 3 and the slowing of 0.3 an
// update, the 90 updates of the game-over overlay.
constexpr int kCops = 10, kWreck = 10, kHits = 3, kTurnLeft = 4, kTurnRight = 8;
constexpr int kStanding = 0, kDucking = 1;
constexpr float kStride = 3, kSlowing = 0.3f;
constexpr int kOverlayUpdates = 90;

// A run reached phase by phase by a player using the pointer.
class PhaseRules : public ::testing::Test {
 protected:
  void Reach(int phase) {
    ASSERT_TRUE(player.PlayToPhase(phase)) << "phase " << phase << " was never reached";
  }
  // An update with nothing pressed (the last press is used up), then a
  // fresh press at (x, y) for one update, then let go.
  void PressOnce(float x, float y) {
    player.Let();
    game.Release();
    game.Frame();
    game.MoveTo(x, y);
    game.Press();
    game.Frame();
    game.Release();
  }
  // Where keypad key 0-9 or 10 ("C") is shown.
  static std::pair<float, float> KeyAt(int value) {
    int row = kKeypadRows - 1, column = value == 0 ? kZeroColumn : kClearColumn;
    if (value >= 1 && value <= 9) {
      row = (value - 1) / kKeypadColumns, column = (value - 1) % kKeypadColumns;
    }
    return {std::trunc(jscrw * 0.5f - kKeypadHalf) + kKeyPitch * column,
            std::trunc(jscrh * 0.5f - kKeypadHalf) + kKeyPitch * row};
  }
  // Taps a keypad key and returns the sounds of the update the press acted in.
  Sounds TapKey(int value) {
    const auto [x, y] = KeyAt(value);
    game.ForgetSounds();
    game.PressAt(x, y);
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
  // The car heading north (dx, dy) off the crossing at (x, y), the camera on it.
  void PlaceCar(float x, float y, float dx = 0, float dy = 0) {
    app.playerX = x, app.playerY = y;
    app.carOffsetX = dx, app.carOffsetY = dy;
    app.carHeading = run::kNorth;
    app.cameraX = x + dx - 40 - jscrw * 0.5f, app.cameraY = y + dy - 40 - jscrh * 0.5f;
  }
  std::vector<int> Best() { return {app.highscores.begin(), app.highscores.begin() + 10}; }
  int& City(int column, int row) { return run::CityCell(app.worldCells.Data(), column, row); }
  void ClearCity() {
    for (int row = 0; row < run::kCityCells; ++row) {
      for (int column = 0; column < run::kCityCells; ++column) City(column, row) = 0;
    }
  }

  GameHarness game;
  MyApp& app = game.app();
  ScriptedPlayer player{game};
};

// The glyphs drawn in the bottom right corner, where the countdown is
// shown right-aligned as a number with a point ("59.0"), left to right.
std::string ClockShown(const MyApp& app) {
  std::vector<DrawRecord> glyphs = RecordsOf(app, static_cast<float>(app.currentFont));
  std::sort(glyphs.begin(), glyphs.end(),
            [](const DrawRecord& a, const DrawRecord& b) { return a.x < b.x; });
  std::string shown;
  for (const DrawRecord& g : glyphs) {
    if (g.x > jscrw - 100 && g.x < jscrw && g.y > jscrh - 60 && g.y < jscrh)
      shown += static_cast<char>(g.frame + 32);
  }
  return shown;
}

// Phases 1 to 8 take one update off the clock in every update and show the
// whole seconds left; the closing screen stops it and shows none.
TEST_F(PhaseRules, TheCountdownFallsAndIsShownInPhasesOneToEightAndStopsOnTheClosingScreen) {
  for (int phase = kPhaseKeypad; phase <= kPhaseClosing; ++phase) {
    SCOPED_TRACE("phase " + std::to_string(phase));
    Reach(phase);
    const int seconds = 10 + phase, before = seconds * kUpdatesPerSecond;
    app.timeLeft = before;
    for (int update = 1; update <= 3; ++update) {
      player.BeforeUpdate();
      game.Frame();
      if (phase == kPhaseClosing) {
        EXPECT_EQ(app.timeLeft, before) << "the closing screen stops the countdown";
        EXPECT_EQ(ClockShown(app), "") << "the closing screen shows no countdown";
      } else {
        EXPECT_EQ(app.timeLeft, before - update)
            << "the countdown falls by one update in every update";
        EXPECT_EQ(ClockShown(app), std::to_string(seconds - 1) + ".0")
            << "the countdown shows the whole seconds left";
      }
    }
  }
}

TEST_F(PhaseRules, TheCountdownStopsAtZeroAndTheRunGoesOn) {
  Reach(kPhaseBankHall);
  app.timeLeft = 2;
  for (int update = 0; update < 5; ++update) player.BeforeUpdate(), game.Frame();
  EXPECT_EQ(app.timeLeft, 0) << "the countdown never goes below 0";
  EXPECT_EQ(ClockShown(app), "0.0") << "a countdown run out shows 0";
  EXPECT_TRUE(app.gameMode == kModeRun && app.runOver == 0) << "running out of time ends nothing";
  EXPECT_TRUE(player.PlayToPhase(kPhaseStreet)) << "the run goes on at 0";
}

// Bags lie between 100 units from either side and between 200 and 100
// units above the bottom, each worth 500 times a whole number 2 to 9; a
// grabbed bag adds its value to the loot.
TEST_F(PhaseRules, CashBagsAreWorth1000To4500InStepsOf500AndAddWhatTheyAreWorth) {
  constexpr int kLeastValue = 1000, kMostValue = 4500, kValueStep = 500;
  game.StartRun();
  std::set<int> values;
  for (int update = 0; update < 100; ++update) {
    game.Frame();
    for (int bag = 0; bag < run::kCashBags; ++bag) {
      const auto b = run::Bag(app.worldCells.Data(), bag);
      values.insert(b.value);
      EXPECT_TRUE(b.x >= 100 && b.x <= jscrw - 100 && b.y >= jscrh - 200 && b.y <= jscrh - 100)
          << "bag " << bag << " lies outside the floor of the vault: " << b.x << ", " << b.y;
    }
  }
  std::set<int> rule;
  for (int value = kLeastValue; value <= kMostValue; value += kValueStep) rule.insert(value);
  EXPECT_EQ(values, rule) << "bags are worth 1000 to 4500 in steps of 500, every value in turn";

  Reach(kPhaseCash);
  std::vector<int> worth(run::kCashBags);
  for (int bag = 0; bag < run::kCashBags; ++bag)
    worth[bag] = run::Bag(app.worldCells.Data(), bag).value;
  Reach(kPhaseBankHall);
  int grabbed = 0;
  for (int bag = 0; bag < run::kCashBags; ++bag) {
    if (run::Bag(app.worldCells.Data(), bag).lying == 0) grabbed += worth[bag];
  }
  EXPECT_EQ(app.loot, grabbed) << "the loot is what the three grabbed bags are worth";
}

// One press in each phase, from a phase's first update: what it does.
TEST_F(PhaseRules, APressDoesWhatItsPhaseSays) {
  const float kRunningStart = kStride - kSlowing;  // a stride, then one update's slowing
  const auto running = [&](const char* where) {
    return [&, where] {
      PressOnce(jscrw * 0.5f, jscrh * 0.5f);
      EXPECT_NEAR(app.playerSpeed, kRunningStart, 1e-4) << "a tap is a stride " << where;
    };
  };
  const struct {
    int phase;
    std::function<void()> pressAndCheck;
  } cases[] = {
      {kPhaseKeypad,
       [&] {
         const int digit = Digit(0);
         const auto [x, y] = KeyAt(digit);
         PressOnce(x, y);
         EXPECT_EQ(app.enteredCode, String(digit)) << "a key of the keypad types its digit";
       }},
      {kPhaseCash,
       [&] {
         const auto bag = run::Bag(app.worldCells.Data(), 0);
         const int value = bag.value;
         PressOnce(static_cast<float>(bag.x), static_cast<float>(bag.y));
         EXPECT_TRUE(bag.lying == 0 && app.loot == value && app.bagsGrabbed == 1)
             << "a tapped bag is taken for its value";
       }},
      {kPhaseBankHall, running("out of the bank")},
      {kPhaseStreet, running("to the car")},
      {kPhaseChase,
       [&] {
         const int heading = app.carHeading;
         PressOnce(jscrw * 0.25f, jscrh * 0.5f);
         EXPECT_EQ(app.carHeading, heading + kTurnLeft)
             << "a tap on the left half asks for a left turn";
         app.carHeading = heading;
         PressOnce(jscrw * 0.75f, jscrh * 0.5f);
         EXPECT_EQ(app.carHeading, heading + kTurnRight)
             << "a tap on the right half asks for a right turn";
       }},
      {kPhaseCarShootout,
       [&] {
         PressOnce(app.targetCarX, jscrh * 0.8f);
         EXPECT_TRUE(app.hitsLeft == kHits - 1 && app.reloadNeeded == 1)
             << "a tap on the police car hits it, and the gun needs a reload";
       }},
      {kPhaseFence, running("to the fence")},
      {kPhaseFight,
       [&] {
         player.Let();
         game.MoveTo(jscrw * 0.5f, jscrh * 0.5f);
         game.Press();
         for (int update = 0; update < 5; ++update) {
           game.Frame();
           EXPECT_EQ(app.playerPose, kDucking) << "holding the press ducks, update " << update;
         }
         game.Release();
         game.Frame();
         EXPECT_EQ(app.playerPose, kStanding) << "letting go stands up";
       }},
      {kPhaseClosing,
       [&] {
         PressOnce(jscrw * 0.5f, jscrh * 0.5f);
         EXPECT_EQ(app.runOver, 1) << "a tap on the closing screen ends the run";
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("phase " + std::to_string(c.phase));
    Reach(c.phase);
    ASSERT_EQ(app.phase, c.phase);
    c.pressAndCheck();
  }
}

// The title menu's cash bag starts a run, for the first table.
TEST_F(PhaseRules, TheMenusCashBagStartsARun) {
  player.PlayUntil([&] { return app.menuSlide == 0; });
  app.scoreTableIndex = 2;
  PressOnce(jscrw * 0.4f, jscrh * 0.7f);
  EXPECT_EQ(app.gameMode, kModeStartRun) << "a tap on the start button starts a run";
  EXPECT_EQ(app.scoreTableIndex, 1) << "a run from the menu counts in the first table";
  game.Frame();
  EXPECT_TRUE(app.gameMode == kModeRun && app.phase == kPhaseKeypad &&
              app.timeLeft == 120 * kUpdatesPerSecond)
      << "a run starts in phase 1 with two minutes on the clock";
}

// Each phase ends where its goal is reached and not an update before.
TEST_F(PhaseRules, EachPhaseEndsAtItsGoalAndNotBefore) {
  const struct {
    int phase;
    const char* goal;
    std::function<void(bool reached)> setUp;
  } cases[] = {
      {kPhaseBankHall, "the robber leaves the bank past the right edge",
       [&](bool reached) { app.playerSpeed = 0, app.playerX = jscrw + (reached ? 0.5f : -0.5f); }},
      {kPhaseStreet, "the robber, at 6 units an update near the car, reaches 0.8 of the width",
       [&](bool reached) {
         app.playerSpeed = 0, app.playerX = jscrw * 0.8f - 6 + (reached ? 0.5f : -0.5f);
       }},
      {kPhaseChase, "the tenth police car is rammed",
       [&](bool reached) {
         ClearCity();
         app.copsToRam = reached ? 1 : 2;
         const int column = static_cast<int>(app.playerX / run::kCityCell) - 1;
         const int row = static_cast<int>(app.playerY / run::kCityCell) - 1;
         City(column, row) = 1;
         app.carOffsetX = app.carOffsetY = 0;
         app.cameraX = app.playerX - 40 - jscrw * 0.5f,
         app.cameraY = app.playerY - 40 - jscrh * 0.5f;
       }},
      {kPhaseCarShootout, "the police car takes its third hit (a tap on it, below)",
       [&](bool reached) { app.hitsLeft = reached ? 1 : 2, app.reloadNeeded = 0; }},
      {kPhaseFence, "the robber climbs above 0.3 of the height",
       [&](bool reached) {
         app.playerSpeed = 0, app.playerX = 150,
         app.playerY = jscrh * 0.3f + (reached ? -0.5f : 0.5f);
       }},
      {kPhaseFight, "the third cop is hit",
       [&](bool reached) {
         app.hitsLeft = reached ? 1 : 2, app.copDucking = 0;
         run::ClearRunCells(app.worldCells.Data());
         const auto bullet = run::Bullet(app.worldCells.Data(), 0);
         bullet.kind = run::kPlayerBullet, bullet.x = static_cast<int>(jscrw * 0.25f + 24);
         random::Seed = 7;  // the cop does not duck in the next update
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.goal);
    Reach(c.phase);
    for (const bool reached : {false, true}) {
      player.Let();
      game.Release();
      game.Frame();
      ASSERT_EQ(app.phase, c.phase) << "the phase ended while setting up";
      c.setUp(reached);
      if (c.phase == kPhaseCarShootout) game.MoveTo(app.targetCarX, jscrh * 0.8f), game.Press();
      game.Frame();
      game.Release();
      EXPECT_EQ(app.phase, reached ? c.phase + 1 : c.phase)
          << (reached ? "the phase did not end at its goal: "
                      : "the phase ended short of its goal: ")
          << c.goal;
      if (!reached) c.setUp(false);  // back short of the goal for the next update
    }
  }
}

// Three hits taken at the fence lose the run, also while the player's
// third hit on the cop is in flight or lands in the same update: the robber
// falls, the run never reaches the closing screen, and it enters 0 in the
// last runs only (a score of 0 finds no place among equal ones).
TEST_F(PhaseRules, ThreeHitsTakenAtTheFenceLoseTheRunEvenAsTheCopFalls) {
  constexpr int kNoShot = -1;
  for (const int playerHitDelay : {kNoShot, 2, 0}) {
    SCOPED_TRACE("the player's third hit " + std::to_string(playerHitDelay) +
                 " updates after the cop's");
    Reach(kPhaseFight);
    player.Let();
    game.Release();
    app.playerHealth = app.hitsLeft = 1;
    app.highscores[30] = 1234;
    random::Seed = 7;  // the cop stays up
    run::ClearRunCells(app.worldCells.Data());
    const auto cops = run::Bullet(app.worldCells.Data(), 0),
               mine = run::Bullet(app.worldCells.Data(), 1);
    cops.kind = run::kCopBullet, cops.x = static_cast<int>(jscrw * 0.75f - run::kBulletSpeed);
    if (playerHitDelay != kNoShot) {
      mine.kind = run::kPlayerBullet;
      mine.x = static_cast<int>(jscrw * 0.25f + run::kBulletReach - 1 +
                                (playerHitDelay + 1) * run::kBulletSpeed);
    }
    game.Frame(5);
    EXPECT_TRUE(app.runOver == 1 && app.playerPose == run::kPoseFallen)
        << "the third hit taken ends the run with the robber fallen";
    EXPECT_EQ(app.phase, kPhaseFight) << "a lost run never reaches the closing screen";
    if (playerHitDelay > 0) {
      EXPECT_EQ(app.hitsLeft, 1) << "a shot in flight counts for nothing";
    }
    player.PlayUntil([&] { return app.gameMode == kModeMenu; });
    EXPECT_TRUE(app.highscores[30] == 0 && app.highscores[31] == 1234)
        << "a lost run enters 0 in the last runs";
    EXPECT_EQ(std::vector<int>(&app.highscores[0], &app.highscores[10]), std::vector<int>(10, 0))
        << "and nothing in the best";
    EXPECT_EQ(app.scratch, -1) << "a score of 0 finds no place among equal ones";
  }
}

// The police stand where the fixed seed 37171650 puts them, in every run:
// the generator (seed times 1664525 plus 1013904223, its top 24 bits as a
// fraction) draws for each column and, in it, each row, a car where a draw
// of 0-100 is under 25, of kind 1 + 3.9 times the next draw.
TEST_F(PhaseRules, ThePoliceStandWhereTheFixedSeedPutsThemInEveryRun) {
  uint32_t seed = 37171650;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) * (1.0f / 16777216.0f);
  };
  std::vector<int> city(run::kCityCells * run::kCityStride + 1, 0);
  for (int column = 0; column < run::kCityCells; ++column) {
    for (int row = 0; row < run::kCityCells; ++row) {
      int& cell = city[row * run::kCityStride + column];
      cell = 0;
      if (next() * 100.0f < 25.0f) cell = static_cast<int>(next() * (4.9f - 1.0f) + 1.0f);
    }
  }
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run + 1));
    Reach(kPhaseChase);
    const std::vector<int> placed(&app.worldCells[0], &app.worldCells[0] + city.size());
    EXPECT_EQ(placed, city) << "the police do not stand where the seed 37171650 puts them";
    EXPECT_EQ(app.copsToRam, kCops);
    app.phase = kPhaseClosing;  // end this run at once and start another
    player.PlayUntil([&] { return app.gameMode == kModeMenu; });
  }
}

// A police car is rammed when the car passes within 16 units of its
// crossing on both axes, and not from farther.
TEST_F(PhaseRules, ACarWithin16UnitsOfAPoliceCarsCrossingRamsIt) {
  const struct {
    float dx, dy;
    bool rams;
  } cases[] = {{0, 0, true},   {15, 0, true},  {-15, 15, true},  {0, -15, true},
               {17, 0, false}, {0, 17, false}, {-17, 10, false}, {30, 30, false}};
  Reach(kPhaseChase);
  player.Let();
  for (const auto& c : cases) {
    SCOPED_TRACE("the car " + std::to_string(c.dx) + ", " + std::to_string(c.dy) +
                 " from the crossing");
    ClearCity();
    City(5, 5) = 1;
    app.copsToRam = kCops;
    PlaceCar(6 * run::kCityCell, 6 * run::kCityCell, c.dx, c.dy);
    game.Frame();
    EXPECT_EQ(app.copsToRam, c.rams ? kCops - 1 : kCops)
        << (c.rams ? "a car within 16 units did not ram" : "a car farther than 16 units rammed");
    EXPECT_EQ(City(5, 5) >= kWreck, c.rams) << "a rammed police car burns";
  }
}

// The darkening over the last scene: black at a fortieth more alpha each
// update, up to 0.7, as the device receives it (alpha in the top byte).
TEST_F(PhaseRules, TheGameOverDarkeningReachesTheDeviceAFortiethAnUpdateUpTo70Percent) {
  Reach(kPhaseClosing);
  player.Let();
  game.Frame();
  PressOnce(jscrw * 0.5f, jscrh * 0.5f);
  ASSERT_EQ(app.runOver, 1);
  for (int frame = 1; frame < kOverlayUpdates - 1; ++frame) {
    ASSERT_EQ(app.gameOverFrame, frame);
    game.Frame();
    const int wanted = static_cast<int>(std::min(frame / 40.0f, 0.7f) * 255.0f);
    int alpha = -1;
    for (const gxtkDrawn& d : game.graphics().Drawn(gxtkDrawn::kRect)) {
      if ((d.color & 0xFFFFFFu) == 0 && d.width > jscrw) alpha = static_cast<int>(d.color >> 24);
    }
    EXPECT_NEAR(alpha, wanted, 1) << "the darkening's alpha on the device, " << frame
                                  << " updates after the run ended";
  }
}

// An iCade controller sends a letter as a button goes down and another as
// it comes up; either case counts. The letters, from the controller's
// table: press, release, the control.
TEST(ICade, EachLetterPressesOrReleasesItsControlInEitherCase) {
  const struct {
    char press, release;
    int control;
  } letters[] = {{'W', 'E', 0},  {'X', 'Z', 8},  {'A', 'Q', 3},  {'D', 'C', 5},
                 {'H', 'R', 10}, {'J', 'N', 11}, {'K', 'P', 12}, {'Y', 'T', 13},
                 {'U', 'F', 14}, {'I', 'M', 15}, {'O', 'G', 16}, {'L', 'V', 17}};
  constexpr int kHeld = 2;
  GameHarness game;
  MyApp& app = game.app();
  app.m_iCade(1);
  for (const auto& l : letters) {
    for (const bool upperPress : {true, false}) {
      const char press = upperPress ? l.press : static_cast<char>(std::tolower(l.press));
      const char release = upperPress ? static_cast<char>(std::tolower(l.release)) : l.release;
      SCOPED_TRACE(std::string("letters ") + press + " and " + release + ", control " +
                   std::to_string(l.control));
      game.Type(std::string(1, press));
      game.Frame(2);
      EXPECT_EQ(app.virtualKeys[l.control], kHeld) << "the press letter holds its control down";
      game.Type(std::string(1, release));
      game.Frame();
      EXPECT_EQ(app.virtualKeys[l.control], 0) << "the release letter lets its control go";
    }
  }
}

// Every animated part of the title menu is displaced by the menu's slide,
// which a run resets to -32 and the menu brings back to 0 one unit an
// update: the start button comes up 8 units an update from 256 below.
TEST(TitleMenu, FliesInAgainWhenARunReturnsToIt) {
  constexpr int kFlyInUpdates = 32, kButtonRise = 8;
  GameHarness game;
  MyApp& app = game.app();
  ScriptedPlayer player(game);
  ASSERT_TRUE(player.PlayToPhase(kPhaseKeypad));
  app.phase = kPhaseClosing;
  ASSERT_TRUE(player.PlayUntil([&] { return app.gameMode == kModeMenu; }));
  const float rest = jscrh * 0.7f;
  for (int update = 1; update <= kFlyInUpdates + 2; ++update) {
    game.Frame();
    std::vector<float> ys;
    for (const DrawRecord& r : RecordsOf(app, kSpriteSheet)) {
      if (r.frame == 0) ys.push_back(r.y);
    }
    const float wanted = rest + kButtonRise * std::max(0, kFlyInUpdates - update);
    EXPECT_EQ(ys, std::vector<float>{wanted})
        << "the start button, " << update << " updates into the menu";
  }
}

TEST_F(PhaseRules, TheKeypadJudgesEachDigitAndOpensTheVaultOnTheTenth) {
  game.StartRun();
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
TEST_F(PhaseRules, TheTypedCodeLooksRightOnlyWhileItMatches) {
  game.StartRun();
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

TEST_F(PhaseRules, ThreeBagsOfCashThenTappingRunsOutToTheCar) {
  game.StartRun();
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

TEST_F(PhaseRules, TenRamsThenThreeHitsFromTheCarThenTheFence) {
  game.StartRun();
  app.phase = kPhaseStreet;
  app.playerX = jscrw;
  game.Frame();
  ASSERT_EQ(app.phase, kPhaseChase);
  for (int column = 0; column < kCityCells; ++column) {
    for (int row = 0; row < kCityCells; ++row) City(column, row) = 0;
  }
  City(4, 4) = 1;
  PlaceCar(5 * kCityCell, 5 * kCityCell);
  game.ForgetSounds();
  game.Frame();
  EXPECT_EQ(game.TimesPlayed(kSfxRam), 1);
  game.Frame(18);
  EXPECT_NE(City(4, 4), 0) << "a wreck burns for twenty updates";
  game.Frame();
  EXPECT_EQ(City(4, 4), 0);
  // The second on entry 275: column 25 of row 10 and column 0 of row 11.
  City(25, 10) = 2;
  PlaceCar(kCityCell, 12 * kCityCell);
  game.Frame();
  for (int ram = 3; ram <= 10; ++ram) {
    City(ram + 3, 8) = 1 + ram % 4;
    PlaceCar((ram + 4) * kCityCell, 9 * kCityCell);
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
TEST_F(PhaseRules, AtTheFenceDuckingDodgesAndHoldsFire) {
  game.StartRun();
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

TEST_F(PhaseRules, TheClosingScreenAddsThreePointsPerUpdateLeft) {
  game.StartRun();
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
TEST_F(PhaseRules, TheOverlayAnnouncesTheRankTheScoreIsEnteredAt) {
  game.StartRun();
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
