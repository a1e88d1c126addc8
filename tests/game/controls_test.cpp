// Controls: the actions over every source, iCade letters, latches, the
// pointer and the hit tests, and the single use of a held press.
#include <string>
#include <vector>

#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

enum class Axis { kNone, kUp, kDown, kLeft, kRight };

struct Row {
  int action;
  std::vector<int> letters;  // keyboard, not in iCade mode
  std::vector<int> keys;     // keyboard, always
  int button;                // joystick 0
  Axis axis;
  std::vector<char> iCadePress;  // letters latching the action
};

const std::vector<Row> kRows = {
    {0, {'W'}, {38}, 9, Axis::kUp, {'W'}},
    {3, {'A'}, {37}, 8, Axis::kLeft, {'A'}},
    {5, {'D'}, {39}, 10, Axis::kRight, {'D'}},
    {8, {'S'}, {40}, 11, Axis::kDown, {'X'}},
    {10, {'Z', 'J'}, {32, 13}, 0, Axis::kNone, {'H'}},
    {11, {'X', 'K'}, {17}, 1, Axis::kNone, {'J'}},
    {12, {'C', 'L'}, {16}, 2, Axis::kNone, {'K'}},
    {13, {'V', 'I'}, {}, 3, Axis::kNone, {'Y'}},
    {99, {}, {27, 46, 8}, 7, Axis::kNone, {'O', 'L'}},
};

const int kActions[] = {0, 3, 5, 8, 10, 11, 12, 13, 99};

// The actions that are down, as a list.
std::vector<int> Down(MyApp& app) {
  std::vector<int> down;
  for (int action : kActions) {
    if (app.m_PlayKey(action)) down.push_back(action);
  }
  return down;
}

class Controls : public ::testing::Test {
 protected:
  MyApp& app() { return game.app(); }
  GameHarness game;
};

TEST_F(Controls, EveryKeyOfEveryRowAndNothingElse) {
  ASSERT_TRUE(Down(app()).empty());
  for (const Row& row : kRows) {
    std::vector<int> keys = row.letters;
    keys.insert(keys.end(), row.keys.begin(), row.keys.end());
    for (int key : keys) {
      game.KeyDown(key);
      game.Update();
      EXPECT_EQ(Down(app()), std::vector<int>{row.action}) << "key " << key;
      game.KeyUp(key);
      game.Update();
      EXPECT_TRUE(Down(app()).empty()) << "key " << key;
    }
  }
  EXPECT_FALSE(app().m_PlayKey(1));
  EXPECT_FALSE(app().m_PlayKey(14));
}

TEST_F(Controls, JoystickButtonsAndAxesWithStrictThresholds) {
  for (const Row& row : kRows) {
    game.SetJoystickButton(row.button, true);
    game.Update();
    EXPECT_EQ(Down(app()), std::vector<int>{row.action}) << "button " << row.button;
    game.SetJoystickButton(row.button, false);
    game.Update();
    EXPECT_TRUE(Down(app()).empty()) << "button " << row.button;
  }
  struct AxisCase {
    int axis;
    float value;
    std::vector<int> down;
  };
  for (const AxisCase& c : {AxisCase{0, -0.41f, {3}}, AxisCase{0, -0.4f, {}},
                            AxisCase{0, 0.4f, {}}, AxisCase{0, 0.41f, {5}},
                            AxisCase{1, -0.41f, {0}}, AxisCase{1, -0.4f, {}},
                            AxisCase{1, 0.4f, {}}, AxisCase{1, 0.41f, {8}}}) {
    game.SetJoystickAxis(c.axis, c.value);
    game.Update();
    EXPECT_EQ(Down(app()), c.down) << "axis " << c.axis << " at " << c.value;
    game.SetJoystickAxis(c.axis, 0);
  }
}

TEST_F(Controls, ICadeLettersPressAndReleaseInBothCases) {
  const std::string press = "WXADHJKYUIOL";
  const std::string release = "EZQCRNPTFMGV";
  const int latch[] = {0, 8, 3, 5, 10, 11, 12, 13, 14, 15, 16, 17};
  app().m_iCade(1);
  EXPECT_EQ(game::iCadeControls, 1);
  for (int i = 0; i < 12; ++i) {
    for (bool lower : {false, true}) {
      const char on = lower ? static_cast<char>(std::tolower(press[i])) : press[i];
      const char off = lower ? static_cast<char>(std::tolower(release[i])) : release[i];
      game.Type(std::string(1, on));
      game.Update(3);
      EXPECT_EQ(app().virtualKeys[latch[i]], 2) << on;
      game.Type(std::string(1, off));
      game.Update();
      EXPECT_EQ(app().virtualKeys[latch[i]], 0) << off;
    }
  }
  game.Type("?1 b");
  game.Update();
  EXPECT_EQ(Values(app().virtualKeys), std::vector<int>(20, 0));
  EXPECT_EQ(app().lastResult, 0);
}

TEST_F(Controls, ICadeLatchesEveryRowAndMutesTheLetterKeys) {
  app().m_iCade(1);
  for (const Row& row : kRows) {
    for (char letter : row.iCadePress) {
      game.Type(std::string(1, letter));
      game.Update();
      EXPECT_EQ(Down(app()), std::vector<int>{row.action}) << letter;
      app().m_iCade(0);  // back to no latch
      app().m_iCade(1);
    }
    for (int key : row.letters) {
      game.KeyDown(key);
      game.Update();
      EXPECT_TRUE(Down(app()).empty()) << "letter key " << key << " in iCade mode";
      game.KeyUp(key);
    }
    for (int key : row.keys) {
      game.KeyDown(key);
      game.Update();
      EXPECT_EQ(Down(app()), std::vector<int>{row.action}) << "key " << key;
      game.KeyUp(key);
    }
  }
  game::iCadeControls = 2;
  game.KeyDown(38);
  game.Update();
  EXPECT_TRUE(Down(app()).empty());
  game.KeyUp(38);
  game::iCadeControls = 0;
}

TEST_F(Controls, SwitchingICadeOnDropsPendingCharactersAndOffClearsLatches) {
  app().m_iCade(1);
  game.Type("W");
  game.Update();
  ASSERT_EQ(app().virtualKeys[0], 2);
  game.Type("D");
  app().m_iCade(1);  // the D is discarded
  game.Update();
  EXPECT_EQ(app().virtualKeys[5], 0);
  EXPECT_EQ(app().virtualKeys[0], 2);
  app().m_iCade(0);
  EXPECT_EQ(game::iCadeControls, 0);
  EXPECT_EQ(Values(app().virtualKeys), std::vector<int>(20, 0));
  app().m_iCade(7);
  EXPECT_EQ(game::iCadeControls, 0);
}

TEST_F(Controls, SuspendAndResumeLeaveICadeOffAndPauseOnlyARun) {
  app().m_iCade(1);
  game.Type("H");
  game.Update();
  ASSERT_TRUE(app().m_PlayKey(10));
  game.Suspend();
  EXPECT_EQ(game::iCadeControls, 0);
  EXPECT_FALSE(app().m_PlayKey(10));
  EXPECT_EQ(app().paused, 0);
  EXPECT_EQ(app().pauseMenuOpen, 0);
  EXPECT_EQ(app().pauseSlide, 0);
  EXPECT_EQ(host::app->updateRate, kSuspendedUpdateRate);
  app().m_iCade(1);
  game.Resume();
  EXPECT_EQ(game::iCadeControls, 0);
  EXPECT_EQ(host::app->updateRate, kUpdateRate);

  app().gameMode = 10;
  game.Suspend();
  EXPECT_EQ(app().paused, 1);
  EXPECT_EQ(app().pauseMenuOpen, 1);
  EXPECT_EQ(app().pauseSlide, 240);
  game.Resume();
  EXPECT_EQ(app().paused, 1);
  EXPECT_EQ(app().pauseMenuOpen, 1);
}

TEST_F(Controls, OnScreenLatchesLiveOneUpdateICadeLatchesUntilReleased) {
  // The pad is off in this game; switched on, its arrows latch for one
  // update. Mode 6 is past the menus but runs no screen.
  game::OnScreenControls = 1;
  app().gameMode = 6;
  game.Update();
  game.Render();
  EXPECT_EQ(app().padX, 64);
  EXPECT_EQ(app().padY, 480 - 64);
  game.MoveTo(64 - 32, 416);  // the left arrow
  game.PressPointer();
  game.Update();
  EXPECT_EQ(app().virtualKeys[3], 1);
  EXPECT_TRUE(app().m_PlayKey(3));
  game.ReleasePointer();
  game.Update();
  EXPECT_EQ(app().virtualKeys[3], 0);
  EXPECT_FALSE(app().m_PlayKey(3));
  game::OnScreenControls = 0;

  app().m_iCade(1);
  game.Type("A");
  game.Update(5);
  EXPECT_EQ(app().virtualKeys[3], 2);
  game.Type("Q");
  game.Update();
  EXPECT_EQ(app().virtualKeys[3], 0);
}

TEST_F(Controls, PointerAndTouchPointsInVirtualUnits) {
  game.MoveTo(100, 50);
  game.Update();
  EXPECT_EQ(app().mouseX, 100);
  EXPECT_EQ(app().mouseY, 50);
  EXPECT_EQ(app().touchDown, 0);
  EXPECT_EQ(app().touchXs[0], -3717);
  game.MoveTo(120, 60);
  game.PressPointer();
  game.Update();
  EXPECT_EQ(app().touchDown, 1);
  EXPECT_EQ(app().touchHit, 1);
  EXPECT_EQ(app().prevMouseX, 120) << "a new press starts a drag where it is";
  EXPECT_EQ(app().touchActive[0], 1);
  EXPECT_EQ(app().touchXs[0], 120);
  EXPECT_EQ(app().touchYs[0], 60);
  EXPECT_EQ(app().touchXs[1], -3717);
  EXPECT_EQ(app().touchActive[1], 0);
  game.MoveTo(130, 61);
  game.Update();
  EXPECT_EQ(app().touchHit, 0);
  EXPECT_EQ(app().prevMouseX, 120);
  EXPECT_EQ(app().mouseX, 130);
}

TEST_F(Controls, ButtonsAndZonesTestStrictlyInside) {
  // Icons are 32 units square at size 1.
  game.MoveTo(115, 100);
  game.PressPointer();
  game.Update();
  EXPECT_EQ(app().m_Button(97, 100, 100, 0), 1);
  EXPECT_EQ(app().buttonHit, 1);
  EXPECT_TRUE(app().m_Button0(97, 100, 100, 0));
  EXPECT_EQ(app().m_Button(97, 99, 100, 0), 0) << "the edge is outside";
  app().m_SetSize(2, kNotGiven);
  EXPECT_EQ(app().m_Button(97, 84, 100, 0), 1);
  EXPECT_TRUE(app().m_MouseIn_Centered(100, 100, 31, 10));
  EXPECT_FALSE(app().m_MouseIn_Centered(100, 100, 30, 10));
  const int before = app().drawListLength;
  EXPECT_TRUE(app().m_Touch(110, 100, 20, 20, T("7")));
  EXPECT_FALSE(app().m_Touch(100, 100, 30, 30, T("8")));
  // The zone, its label " 7" (the space draws nothing) and the size and
  // colour it leaves behind.
  EXPECT_EQ(app().drawListLength - before, 4 * kRecordFloats);
  EXPECT_EQ(app().drawSizeX, 4);
  EXPECT_EQ(app().drawRed, 255);
  game.ReleasePointer();
  game.Update();
  EXPECT_EQ(app().m_Button(97, 100, 100, 0), 0);
  EXPECT_FALSE(app().m_MouseIn_Centered(100, 100, 31, 10));
}

TEST_F(Controls, AHeldPressReportsEveryUpdateAndActsOnce) {
  int actions = 0;
  // What a menu does with a button: act once per press.
  auto menuButton = [&] {
    if (app().m_Button(97, 100, 100, 0) == 1 && app().touchConsumed == 0) {
      ++actions;
      app().touchConsumed = 1;
    }
  };
  game.MoveTo(100, 100);
  game.PressPointer();
  for (int i = 0; i < 5; ++i) {
    game.Update();
    EXPECT_EQ(app().m_Button(97, 100, 100, 0), 1);
    menuButton();
  }
  EXPECT_EQ(actions, 1);
  EXPECT_EQ(app().touchConsumed, 1);
  game.ReleasePointer();
  game.Update();
  EXPECT_EQ(app().touchConsumed, 0);
  game.PressPointer();
  game.Update();
  menuButton();
  EXPECT_EQ(actions, 2);
  game.ReleasePointer();

  // Keys: the used press stays used while any game key is held.
  game.KeyDown(32);
  game.Update();
  app().keyConsumed = 1;
  game.KeyDown(38);
  game.KeyUp(32);
  game.Update();
  EXPECT_EQ(app().keyConsumed, 1);
  game.KeyUp(38);
  game.KeyDown('Q');  // not a game key
  game.Update();
  EXPECT_EQ(app().keyConsumed, 0);
}

TEST_F(Controls, BackClosesTheBoxesOverTheTitleMenu) {
  app().creditsOpen = 1;
  game.KeyDown(27);
  game.Update();
  EXPECT_EQ(app().creditsOpen, 0);
  EXPECT_EQ(app().keyConsumed, 1);
  EXPECT_EQ(app().touchConsumed, 1);
  game.KeyUp(27);
  game.Update();
  EXPECT_EQ(app().keyConsumed, 0);
}

}  // namespace
}  // namespace vantor::testing
