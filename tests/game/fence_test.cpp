// Scaling the fence (phase 7) and the fight at the fence (phase 8):
// climbing, ducking, the shot cadence, the 50 bullet slots and the loss.
#include <gtest/gtest.h>

#include "game/run.h"
#include "modules/random.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

using game::jscrh;
using game::jscrw;

class FenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRun(harness);
    harness.Frame();
    random::Seed = 7;
  }

  void EnterFight() {
    app.phase = run::kPhaseFenceFight;
    app.playerPose = app.copDucking = app.playerShotTimer = app.copShotTimer = 0;
    app.hitsLeft = app.playerHealth = run::kHitsToWin;
    for (int i = 0; i < run::kRunCellsCleared; ++i) app.worldCells[i] = 0;
  }

  int& Kind(int bullet) { return app.worldCells[2 * bullet]; }
  int& BulletX(int bullet) { return app.worldCells[2 * bullet + 1]; }

  int BulletsOfKind(int kind) {
    int count = 0;
    for (int i = 0; i < run::kBulletSlots; ++i) count += Kind(i) == kind ? 1 : 0;
    return count;
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(FenceTest, TheRobberRunsLeftThenClimbsIntoTheFight) {
  app.phase = run::kPhaseFence;
  app.playerX = jscrw * 0.8f;
  app.playerY = jscrh * 0.8f;
  app.playerSpeed = 0;
  int taps = 0;
  while (app.phase == run::kPhaseFence && taps < 200) {
    PressFrame(harness, 320, 240);
    ReleaseFrame(harness);
    ++taps;
    EXPECT_GE(app.playerX, 150);
  }
  EXPECT_EQ(app.phase, run::kPhaseFenceFight);
  EXPECT_EQ(app.playerX, 150);
  EXPECT_EQ(BulletsOfKind(run::kBulletFree), run::kBulletSlots);
}

TEST_F(FenceTest, ADuckingPlayerIsNotHitAndDoesNotFire) {
  EnterFight();
  Kind(0) = run::kCopBullet;
  BulletX(0) = static_cast<int>(jscrw * 0.75f) - 40;
  harness.MoveTo(320, 100);
  harness.PressPointer();
  ForgetSounds(harness);
  harness.Frame(10);
  EXPECT_EQ(app.playerPose, run::kPoseDucking);
  EXPECT_EQ(app.playerHealth, run::kHitsToWin);
  EXPECT_EQ(BulletsOfKind(run::kPlayerBullet), 0);
  EXPECT_EQ(TimesPlayed(harness, run::kSfxShot), 0);
  // The cop's bullet flew on past the player.
  EXPECT_EQ(Kind(0), run::kCopBullet);
  EXPECT_EQ(BulletX(0), static_cast<int>(jscrw * 0.75f) + 40);
  harness.ReleasePointer();
  // Standing up, the player fires two updates later.
  harness.Frame(2);
  EXPECT_EQ(BulletsOfKind(run::kPlayerBullet), 1);
  EXPECT_EQ(TimesPlayed(harness, run::kSfxShot), 1);
}

TEST_F(FenceTest, ADueShotIsSkippedWhileAllFiftyBulletsFly) {
  EnterFight();
  for (int i = 0; i < run::kBulletSlots; ++i) {
    Kind(i) = run::kPlayerBullet;
    BulletX(i) = 5000;
  }
  Kind(7) = run::kBulletFree;
  app.playerShotTimer = run::kShotDueAt - 1;
  app.copDucking = 1;
  random::Seed = 1;  // the cop does not stand up in this update
  ForgetSounds(harness);
  harness.Frame();
  ASSERT_EQ(app.copDucking, 1);
  // With one slot free the due shot takes it...
  EXPECT_EQ(TimesPlayed(harness, run::kSfxShot), 1);
  EXPECT_EQ(Kind(7), run::kPlayerBullet);
  EXPECT_EQ(BulletX(7), static_cast<int>(jscrw * 0.75f) - 8);

  // ...and with none free the next due shot is skipped.
  app.playerShotTimer = run::kShotDueAt - 1;
  random::Seed = 1;
  ForgetSounds(harness);
  harness.Frame();
  EXPECT_EQ(app.playerShotTimer, run::kShotDueAt);
  EXPECT_EQ(TimesPlayed(harness, run::kSfxShot), 0);
  EXPECT_EQ(BulletsOfKind(run::kPlayerBullet), run::kBulletSlots);
  EXPECT_EQ(app.freeSlot, -1);
}

TEST_F(FenceTest, ThreeHitsTakenLoseTheRunWithScoreZero) {
  EnterFight();
  app.loot = 9000;
  const int player = static_cast<int>(jscrw * 0.75f);
  for (int i = 0; i < 3; ++i) {
    Kind(i) = run::kCopBullet;
    BulletX(i) = player - 30 - 40 * i;
  }
  int updates = 0;
  while (app.playerHealth > 0 && updates < 30) {
    harness.Frame();
    ++updates;
  }
  EXPECT_EQ(app.playerHealth, 0);
  EXPECT_EQ(app.runOver, 1);
  EXPECT_EQ(app.score, 0);
  EXPECT_EQ(app.phase, run::kPhaseFenceFight);
  // The fight goes on under the overlay with the player fallen.
  harness.Frame();
  EXPECT_EQ(app.playerPose, run::kPoseFallen);
  EXPECT_GT(app.gameOverFrame, 0);
  EXPECT_EQ(app.score, 0);
}

TEST_F(FenceTest, ThreeHitsOnTheCopWinTheFight) {
  EnterFight();
  app.copDucking = 0;
  const int cop = static_cast<int>(jscrw * 0.25f);
  for (int i = 0; i < 3; ++i) {
    Kind(10 + i) = run::kPlayerBullet;
    BulletX(10 + i) = cop + 30;
  }
  random::Seed = 1;  // the cop does not duck in this update
  harness.Frame();
  ASSERT_EQ(app.copDucking, 0);
  EXPECT_EQ(app.hitsLeft, 0);
  EXPECT_EQ(app.phase, run::kPhaseClosing);
  EXPECT_EQ(app.touchConsumed, 1);
}

}  // namespace
}  // namespace vantor::testing
