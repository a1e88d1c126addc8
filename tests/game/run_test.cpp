// The first phases of a run, played through the pointer: the vault keypad
// with its clear key and sound rules, the cash bags, and running by tapping.
#include <gtest/gtest.h>

#include "game/run.h"
#include "modules/random.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

using game::jscrh;
using game::jscrw;

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartRun(harness);
    harness.Frame();  // the keypad's first update
    ASSERT_EQ(app.gameMode, 10);
    ASSERT_EQ(app.phase, run::kPhaseKeypad);
  }

  // Taps a keypad key (0-9, or 10 for "C") where the keypad shows it, and
  // returns the sounds of the update the press acted in.
  std::vector<int> TapKey(int value) {
    const int bx = static_cast<int>(jscrw * 0.5f - 80);
    const int by = static_cast<int>(jscrh * 0.5f - 80);
    int row = 3, column = value == 0 ? 1 : 2;
    if (value >= 1 && value <= 9) {
      row = (value - 1) / 3;
      column = (value - 1) % 3;
    }
    ForgetSounds(harness);
    PressFrame(harness, bx + 72.0f * column, by + 72.0f * row);
    const std::vector<int> sounds = PlayedEventSlots(harness);
    ReleaseFrame(harness);
    return sounds;
  }

  int TargetDigit(int position) { return app.targetCode[position] - '0'; }
  int WrongDigit(int position) { return (TargetDigit(position) + 1) % 10; }

  void TypeRightDigits(int count) {
    for (int i = 0; i < count; ++i) TapKey(TargetDigit(app.enteredCode.Length()));
  }

  // The glyph records of the typed code, drawn on its own line at y 52.
  std::vector<DrawRecord> TypedCodeGlyphs() {
    std::vector<DrawRecord> glyphs;
    for (const DrawRecord& record : ImagesOf(app, app.currentFont)) {
      if (record.y == 52) glyphs.push_back(record);
    }
    return glyphs;
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(RunTest, TheVaultCodeIsTenDigitsShownAtTheTop) {
  ASSERT_EQ(app.targetCode.Length(), run::kCodeLength);
  std::string code;
  for (int i = 0; i < app.targetCode.Length(); ++i) {
    EXPECT_GE(app.targetCode[i], '0');
    EXPECT_LE(app.targetCode[i], '9');
    code += static_cast<char>(app.targetCode[i]);
  }
  EXPECT_TRUE(HasLine(app, code));
  EXPECT_TRUE(HasLine(app, "Enter the Code"));
}

TEST_F(RunTest, RightAndWrongDigitsSoundAndTintTheCode) {
  EXPECT_EQ(TapKey(TargetDigit(0)), (std::vector<int>{run::kSfxChime, run::kSfxDigitRight}));
  ASSERT_FALSE(TypedCodeGlyphs().empty());
  EXPECT_EQ(TypedCodeGlyphs()[0].green, 255);
  EXPECT_EQ(TypedCodeGlyphs()[0].alpha, 1);

  EXPECT_EQ(TapKey(WrongDigit(1)), (std::vector<int>{run::kSfxChime, run::kSfxDigitWrong}));
  const std::vector<DrawRecord> glyphs = TypedCodeGlyphs();
  ASSERT_EQ(glyphs.size(), 2u);
  for (const DrawRecord& glyph : glyphs) {
    EXPECT_EQ(glyph.red, 255);
    EXPECT_EQ(glyph.green, 150);
    EXPECT_EQ(glyph.blue, 150);
    EXPECT_FLOAT_EQ(glyph.alpha, 0.5f);
  }
  // The wrong digit stays until the code is cleared.
  TapKey(TargetDigit(2));
  EXPECT_EQ(app.enteredCode.Length(), 3);
}

TEST_F(RunTest, ClearJudgesItsZeroThenEmptiesTheCode) {
  const int zeroSound = TargetDigit(1) == 0 ? run::kSfxDigitRight : run::kSfxDigitWrong;
  EXPECT_EQ(TapKey(run::kClearKey),
            (std::vector<int>{run::kSfxChime, zeroSound, run::kSfxCodeCleared}));
  EXPECT_EQ(app.enteredCode.Length(), 0);

  // With eight digits typed "10" makes ten characters: no digit sound.
  TypeRightDigits(8);
  EXPECT_EQ(TapKey(run::kClearKey), (std::vector<int>{run::kSfxChime, run::kSfxCodeCleared}));
  EXPECT_EQ(app.enteredCode.Length(), 0);
}

TEST_F(RunTest, TheTenthDigitOpensTheVaultInTheSameUpdate) {
  TypeRightDigits(9);
  ASSERT_EQ(app.phase, run::kPhaseKeypad);
  ForgetSounds(harness);
  const int bx = static_cast<int>(jscrw * 0.5f - 80);
  const int by = static_cast<int>(jscrh * 0.5f - 80);
  const int last = TargetDigit(9);
  const int row = last == 0 ? 3 : (last - 1) / 3;
  const int column = last == 0 ? 1 : (last - 1) % 3;
  PressFrame(harness, bx + 72.0f * column, by + 72.0f * row);
  EXPECT_EQ(app.phase, run::kPhaseCash);
  EXPECT_EQ(PlayedEventSlots(harness),
            (std::vector<int>{run::kSfxChime, run::kSfxCodeAccepted, run::kSfxVaultOpens}));
}

TEST_F(RunTest, AWrongTenthDigitIsSilentAndLongerCodesNeverMatch) {
  TypeRightDigits(9);
  EXPECT_EQ(TapKey(WrongDigit(9)), std::vector<int>{run::kSfxChime});
  // Typing the whole code again only makes the typed text longer.
  for (int i = 0; i < run::kCodeLength; ++i) {
    EXPECT_EQ(TapKey(TargetDigit(i)), std::vector<int>{run::kSfxChime});
  }
  EXPECT_EQ(app.enteredCode.Length(), 20);
  EXPECT_EQ(app.phase, run::kPhaseKeypad);
  // Clearing makes the code typeable again.
  TapKey(run::kClearKey);
  TypeRightDigits(10);
  EXPECT_EQ(app.phase, run::kPhaseCash);
}

TEST_F(RunTest, TheCashLayoutFollowsTheSeedOfTheLastKeypadUpdate) {
  random::Seed = 4242;
  harness.Frame();
  random::Seed = 4242;
  for (int bag = 0; bag < run::kCashBags; ++bag) {
    const int* record = &app.worldCells[run::kBagStride * bag];
    EXPECT_EQ(record[0], 1);
    EXPECT_EQ(record[1], static_cast<int>(random::Rnd2(100, jscrw - 100)));
    EXPECT_EQ(record[2], static_cast<int>(random::Rnd2(jscrh - 200, jscrh - 100)));
    EXPECT_EQ(record[3], 500 * static_cast<int>(std::floor(random::Rnd2(2, 10))));
    EXPECT_GE(record[3], 1000);
    EXPECT_LE(record[3], 4500);
  }
}

class CashTest : public RunTest {
 protected:
  void SetUp() override {
    RunTest::SetUp();
    TypeRightDigits(10);
    ASSERT_EQ(app.phase, run::kPhaseCash);
  }

  int* Bag(int index) { return &app.worldCells[run::kBagStride * index]; }

  // The first still active bag in drawing order under (x, y).
  int BagAt(int x, int y) {
    for (int bag = 0; bag < run::kCashBags; ++bag) {
      if (Bag(bag)[0] != 0 && std::abs(Bag(bag)[1] - x) < 32 && std::abs(Bag(bag)[2] - y) < 32) {
        return bag;
      }
    }
    return -1;
  }
};

TEST_F(CashTest, OnePressTakesOneBagEvenWhenHeld) {
  const int x = Bag(0)[1], y = Bag(0)[2];
  const int value = Bag(0)[3];
  harness.MoveTo(x, y);
  harness.PressPointer();
  ForgetSounds(harness);
  harness.Frame(5);
  EXPECT_EQ(app.bagsGrabbed, 1);
  EXPECT_EQ(app.loot, value);
  EXPECT_EQ(Bag(0)[0], 0);
  EXPECT_EQ(PlayedEventSlots(harness), std::vector<int>{run::kSfxBagGrabbed});
  ReleaseFrame(harness);
}

TEST_F(CashTest, ThreeBagsAreWorth3000To13500AndLeadOutOfTheVault) {
  int expected = 0;
  for (int taken = 0; taken < run::kBagsToGrab; ++taken) {
    int bag = 0;
    while (Bag(bag)[0] == 0) ++bag;
    const int x = Bag(bag)[1] + 1, y = Bag(bag)[2] + 1;
    expected += Bag(BagAt(x, y))[3];
    PressFrame(harness, x, y);
    ReleaseFrame(harness);
  }
  EXPECT_EQ(app.loot, expected);
  EXPECT_GE(app.loot, 3000);
  EXPECT_LE(app.loot, 13500);
  EXPECT_EQ(app.phase, run::kPhaseBankHall);
}

class RunningTest : public RunTest {
 protected:
  void SetUp() override {
    RunTest::SetUp();
    app.phase = run::kPhaseBankHall;
    app.playerX = 40;
    app.playerSpeed = 0;
  }
};

TEST_F(RunningTest, HoldingThePressDoesNotRun) {
  harness.MoveTo(320, 240);
  harness.PressPointer();
  ForgetSounds(harness);
  harness.Frame(40);
  EXPECT_EQ(PlayedEventSlots(harness), std::vector<int>{run::kSfxStep});
  EXPECT_EQ(app.playerSpeed, 0);
  // The one step carried the robber a little way, then he stopped.
  EXPECT_GT(app.playerX, 40);
  EXPECT_LT(app.playerX, 60);
  ReleaseFrame(harness);
}

TEST_F(RunningTest, EachNewPressAddsSpeedUpToTwelvePerUpdate) {
  float longestStep = 0;
  for (int tap = 0; tap < 10; ++tap) {
    const float before = app.playerSpeed;
    float x = app.playerX;
    PressFrame(harness, 320, 240);
    if (before + 3 <= 12) {
      EXPECT_NEAR(app.playerSpeed, before + 3 - 0.3f, 1e-4);
    }
    longestStep = std::max(longestStep, app.playerX - x);
    x = app.playerX;
    ReleaseFrame(harness);
    longestStep = std::max(longestStep, app.playerX - x);
    EXPECT_LE(app.playerSpeed, 12);
  }
  ASSERT_EQ(app.phase, run::kPhaseBankHall);
  // Fast tapping reaches the cap, and the cap holds.
  EXPECT_GT(longestStep, 11);
  EXPECT_LE(longestStep, 12);
}

TEST_F(RunningTest, PassingTheRightEdgeLeadsIntoTheStreet) {
  app.playerX = jscrw - 1;
  app.playerSpeed = 6;
  harness.Frame();
  EXPECT_EQ(app.phase, run::kPhaseStreet);
  EXPECT_EQ(app.playerX, 0);
  EXPECT_EQ(app.playerSpeed, 0);
}

}  // namespace
}  // namespace vantor::testing
