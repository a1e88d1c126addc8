// The chase through the city (phase 5) and the shootout from the car
// (phase 6): turns at crossings, the edge of the city, ramming police cars,
// shots and reloads.
#include <gtest/gtest.h>

#include "game/run.h"
#include "modules/random.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

using game::jscrh;
using game::jscrw;

class ChaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRun(harness);
    harness.Frame();
    // Into the car: the street phase with the robber at the door.
    app.phase = run::kPhaseStreet;
    app.playerX = jscrw * 0.8f + 1;
    app.playerSpeed = 0;
    ForgetSounds(harness);
    harness.Frame();
    ASSERT_EQ(app.phase, run::kPhaseChase);
  }

  int& Entry(int column, int row) { return app.worldCells[row * run::kCityStride + column]; }

  void EmptyCity() {
    for (int i = 0; i < run::kCityCells * run::kCityCells; ++i) app.worldCells[i] = 0;
  }

  // Puts the car on grid lines (x, y) plus offsets with the camera settled
  // on it, so the screen stays where it is.
  void PlaceCar(float x, float y, float offsetX, float offsetY, int heading) {
    app.playerX = x;
    app.playerY = y;
    app.carOffsetX = offsetX;
    app.carOffsetY = offsetY;
    app.carHeading = heading;
    app.cameraX = x + offsetX - 40 - jscrw * 0.5f;
    app.cameraY = y + offsetY - 40 - jscrh * 0.5f;
  }

  // Police-car (17-20) and wreck (12-16) frames drawn on the crossing of
  // cell (column, row) in the last update; the getaway car may stand there.
  std::vector<int> FramesAtCrossing(int column, int row) {
    const float x = static_cast<int>(260.0f * column - app.cameraX) + 220.0f;
    const float y = static_cast<int>(260.0f * row - app.cameraY) + 220.0f;
    std::vector<int> frames;
    for (const DrawRecord& record : ImagesOf(app, run::kSpriteSheet)) {
      const int frame = static_cast<int>(record.frame);
      if (record.x == x && record.y == y && frame >= 12 && frame <= 20) frames.push_back(frame);
    }
    return frames;
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(ChaseTest, GettingInPlacesTheSameCityEveryRun) {
  EXPECT_EQ(app.copsToRam, run::kCopsToRam);
  EXPECT_EQ(app.playerX, run::kCityStart);
  EXPECT_EQ(app.carHeading, run::kNorth);
  EXPECT_EQ(PlayedSlots(harness), std::vector<int>{run::kSfxDoor});
  // Column by column, row by row; a second draw only for a placed car.
  random::Seed = run::kPoliceSeed;
  for (int column = 0; column < run::kCityCells; ++column) {
    for (int row = 0; row < run::kCityCells; ++row) {
      int expected = 0;
      if (random::Rnd3(100) < 25) expected = static_cast<int>(random::Rnd2(1, 4.9f));
      // The shared entries hold the later of their two cells' draws.
      if (column == 0 && row > 0) continue;
      EXPECT_EQ(Entry(column, row), expected) << column << "," << row;
    }
  }
}

TEST_F(ChaseTest, ALeftTurnWaitsAtHalfSpeedForTheCrossing) {
  EmptyCity();
  PlaceCar(run::kCityStart, run::kCityStart, 0, -100, run::kNorth);
  PressFrame(harness, jscrw * 0.25f, jscrh * 0.5f);
  EXPECT_EQ(app.carOffsetY, -112);  // this update still drove at full speed
  EXPECT_EQ(app.carHeading, run::kNorth + run::kTurnLeft);
  harness.ReleasePointer();
  int updates = 0;
  while (app.carHeading == run::kNorth + run::kTurnLeft && updates < 100) {
    const float before = app.carOffsetY;
    harness.Frame();
    ++updates;
    if (app.carHeading == run::kNorth + run::kTurnLeft) {
      EXPECT_EQ(app.carOffsetY, before - 6);
    }
  }
  EXPECT_EQ(updates, 25);
  EXPECT_EQ(app.carHeading, run::kWest);
  EXPECT_EQ(app.playerY, run::kCityStart - 260);
  EXPECT_EQ(app.carOffsetY, -2);
  EXPECT_EQ(app.carOffsetX, -12);  // heading west in the same update
}

TEST_F(ChaseTest, TheCityEdgeTurnsTheCarInwardAndDropsAPendingTurn) {
  EmptyCity();
  PlaceCar(0, run::kCityStart, 0, 0, run::kNorth + run::kTurnLeft);
  harness.Frame();
  EXPECT_EQ(app.carHeading, run::kEast);
  EXPECT_EQ(app.carOffsetX, 12);

  PlaceCar(run::kCityStart, 6760, 0, 0, run::kEast + run::kTurnRight);
  harness.Frame();
  EXPECT_EQ(app.carHeading, run::kNorth);
  EXPECT_EQ(app.carOffsetY, -12);
}

// Column 25 of row 10 and column 0 of row 11 are one entry.
TEST_F(ChaseTest, TheSharedEntryStandsAtBothCrossingsAndFallsAtBoth) {
  EmptyCity();
  Entry(25, 10) = 2;
  ASSERT_EQ(Entry(0, 11), 2);
  // Near each crossing, without touching it.
  PlaceCar(260, 260 * 12, 0, -130, run::kNorth);
  harness.Frame();
  EXPECT_EQ(FramesAtCrossing(0, 11), std::vector<int>{18});
  PlaceCar(260 * 26, 260 * 11, 0, -130, run::kNorth);
  harness.Frame();
  EXPECT_EQ(FramesAtCrossing(25, 10), std::vector<int>{18});

  // Ramming it at the first crossing leaves a wreck at the second.
  PlaceCar(260, 260 * 12, 0, 0, run::kNorth);
  ForgetSounds(harness);
  harness.Frame();
  EXPECT_EQ(app.copsToRam, run::kCopsToRam - 1);
  EXPECT_EQ(TimesPlayed(harness, run::kSfxRam), 1);
  EXPECT_EQ(FramesAtCrossing(0, 11), (std::vector<int>{18, 12}));
  PlaceCar(260 * 26, 260 * 11, 0, -130, run::kNorth);
  harness.Frame();
  EXPECT_EQ(FramesAtCrossing(25, 10), std::vector<int>{12});
  EXPECT_EQ(app.copsToRam, run::kCopsToRam - 1);
}

TEST_F(ChaseTest, AWreckBurnsOutInTwentyUpdates) {
  EmptyCity();
  PlaceCar(260 * 5, 260 * 5, 0, 0, run::kNorth);
  Entry(4, 4) = 1;
  harness.Frame();
  std::vector<int> frames = {FramesAtCrossing(4, 4).back()};
  for (int update = 0; update < 19; ++update) {
    PlaceCar(260 * 5, 260 * 5, 0, -130, run::kNorth);
    harness.Frame();
    frames.push_back(FramesAtCrossing(4, 4).at(0));
  }
  EXPECT_EQ(frames.front(), 12);
  EXPECT_EQ(frames.back(), 16);
  EXPECT_EQ(Entry(4, 4), 0);
}

TEST_F(ChaseTest, EveryRamCountsAndTenLeadToTheShootout) {
  EmptyCity();
  for (int ram = 0; ram < run::kCopsToRam; ++ram) {
    ASSERT_EQ(app.phase, run::kPhaseChase);
    const int column = 3 + ram, row = 8;
    Entry(column, row) = 1 + ram % 4;
    PlaceCar(260.0f * (column + 1), 260.0f * (row + 1), 0, 0, run::kNorth);
    harness.Frame();
    EXPECT_EQ(app.copsToRam, run::kCopsToRam - 1 - ram);
  }
  EXPECT_EQ(app.phase, run::kPhaseCarShootout);
  EXPECT_EQ(app.touchConsumed, 1);
}

class CarShootoutTest : public ChaseTest {
 protected:
  void SetUp() override {
    ChaseTest::SetUp();
    random::Seed = 99;
    app.phase = run::kPhaseCarShootout;
    app.hitsLeft = run::kHitsToWin;
    app.reloadNeeded = 0;
    harness.Frame();
  }

  // A press on the police car where the last update showed it; it drifts
  // at most 12 units an update, well inside its two 64-unit halves.
  void PressPoliceCar() { PressFrame(harness, app.targetCarX, jscrh * 0.8f); }
};

TEST_F(CarShootoutTest, AShotWhileThePromptShowsDoesNothing) {
  app.reloadNeeded = 1;
  app.reloadX = 100;
  app.reloadY = 50;
  ForgetSounds(harness);
  PressPoliceCar();
  EXPECT_EQ(app.hitsLeft, run::kHitsToWin);
  EXPECT_EQ(app.reloadNeeded, 1);
  // Only the press beside the prompt is heard, and the prompt moves.
  EXPECT_EQ(PlayedEventSlots(harness), std::vector<int>{run::kSfxEngine});
  EXPECT_NE(app.reloadX, 100);
  ReleaseFrame(harness);

  ForgetSounds(harness);
  PressFrame(harness, app.reloadX, app.reloadY);
  EXPECT_EQ(app.reloadNeeded, 0);
  EXPECT_EQ(app.hitsLeft, run::kHitsToWin);
  EXPECT_EQ(PlayedEventSlots(harness), std::vector<int>{run::kSfxDoor});
  ReleaseFrame(harness);
}

TEST_F(CarShootoutTest, AMissNeedsAReloadToo) {
  ForgetSounds(harness);
  PressFrame(harness, jscrw * 0.5f, 20);
  EXPECT_EQ(app.reloadNeeded, 1);
  EXPECT_EQ(app.hitsLeft, run::kHitsToWin);
  EXPECT_EQ(PlayedEventSlots(harness), std::vector<int>{run::kSfxCopShot});
  EXPECT_TRUE(HasLine(app, "RELOAD"));
}

TEST_F(CarShootoutTest, ThreeHitsStopThePoliceCar) {
  for (int hit = 1; hit <= run::kHitsToWin; ++hit) {
    ForgetSounds(harness);
    PressPoliceCar();
    const std::vector<PlayedSound> sounds = PlayedSounds(harness);
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ(sounds[sounds.size() - 2].slot, run::kSfxShot);
    EXPECT_FLOAT_EQ(sounds[sounds.size() - 2].rate, 0.5f);
    EXPECT_EQ(sounds.back().slot, run::kSfxCarHit);
    ReleaseFrame(harness);
    if (hit < run::kHitsToWin) {
      EXPECT_EQ(app.hitsLeft, run::kHitsToWin - hit);
      PressFrame(harness, app.reloadX, app.reloadY);
      ReleaseFrame(harness);
      ASSERT_EQ(app.reloadNeeded, 0);
    }
  }
  EXPECT_EQ(app.phase, run::kPhaseFence);
  EXPECT_EQ(app.hitsLeft, run::kHitsToWin);
}

}  // namespace
}  // namespace vantor::testing
