// The input device: key translation, the bracket it keeps around each
// update (hits and taps), the joystick, where standard gamepads reach
// joystick 0, and which finger of a touch screen is the pointer.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "host/gamepad.h"
#include "host/input.h"
#include "host/touch_pointer.h"
#include "tools/testing/fake_platform.h"

namespace vantor::testing {
namespace {

// The game, its replay scripts and saved key settings use the usual
// virtual-key numbers.
TEST(KeyTranslation, WindowKeysGiveTheVirtualKeyNumbers) {
  const std::pair<int, int> kKnown[] = {
      {GLFW_KEY_ENTER, 13},       {GLFW_KEY_ESCAPE, 27}, {GLFW_KEY_SPACE, 32},
      {GLFW_KEY_LEFT, 37},        {GLFW_KEY_A, 65},      {GLFW_KEY_F1, 112},
      {GLFW_KEY_LEFT_SHIFT, 160}, {GLFW_KEY_COMMA, 188}, {GLFW_KEY_LEFT_ALT, 0}};
  for (const auto& [windowKey, code] : kKnown)
    EXPECT_EQ(TransKey(windowKey), code) << "GLFW key " << windowKey;
}

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform);
    input = gc_new<gxtkInput>();
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  // What the next update sees: KeyDown of each of `keys`, then KeyHit of the first.
  std::vector<int> SeenByNextUpdate(const std::vector<int>& keys) {
    in().BeginUpdate();
    std::vector<int> seen;
    seen.reserve(keys.size() + 1);
    for (const int key : keys) seen.push_back(in().KeyDown(key));
    seen.push_back(in().KeyHit(keys[0]));
    in().EndUpdate();
    return seen;
  }

  gxtkInput& in() { return *input; }

  FakePlatform platform;
  gxtkInput* input = nullptr;
};

// A press that begins and ends between two updates is held for exactly the
// next update; presses are counted per update; a press the updates have
// seen is up as soon as it is let go. Shift drives its generic key too,
// the left button the first touch.
TEST_F(InputTest, ATapIsHeldForExactlyOneUpdate) {
  const struct {
    void (gxtkInput::*event)(int, int);
    int button;
    std::vector<int> keys;  // every key code the press drives
  } cases[] = {{&gxtkInput::KeyEvent, GLFW_KEY_ENTER, {13}},
               {&gxtkInput::KeyEvent, GLFW_KEY_LEFT_SHIFT, {160, 16}},
               {&gxtkInput::MouseButtonEvent, GLFW_MOUSE_BUTTON_LEFT, {1, kKeyTouch0}},
               {&gxtkInput::MouseButtonEvent, GLFW_MOUSE_BUTTON_RIGHT, {2}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys[0]);
    const auto press = [&](int action) { (in().*c.event)(c.button, action); };
    const auto seen = [&](int down, int hits) {
      std::vector<int> expected(c.keys.size(), down);
      expected.push_back(hits);
      return expected;
    };
    for (const int action : {GLFW_PRESS, GLFW_RELEASE, GLFW_PRESS, GLFW_RELEASE}) press(action);
    EXPECT_EQ(SeenByNextUpdate(c.keys), seen(1, 2));
    EXPECT_EQ(SeenByNextUpdate(c.keys), seen(0, 0));
    press(GLFW_PRESS);
    EXPECT_EQ(SeenByNextUpdate(c.keys), seen(1, 1));
    EXPECT_EQ(SeenByNextUpdate(c.keys), seen(1, 0)) << "still held: no new hit";
    press(GLFW_RELEASE);
    EXPECT_EQ(SeenByNextUpdate(c.keys), seen(0, 0));
  }
}

// Joystick buttons are the keys from 256 on, 32 of them; a pad with four
// axes has its second stick's vertical axis at 2, turned to point up.
TEST_F(InputTest, JoystickButtonsAreKeysFrom256AndTheSecondStickPointsUp) {
  platform.buttons.assign(40, GLFW_PRESS);
  platform.buttons[2] = GLFW_RELEASE;
  platform.axes = {0.1f, 0.2f, 0.3f, 0.4f};
  in().BeginUpdate();
  EXPECT_EQ((std::vector<int>{in().KeyDown(256), in().KeyDown(258), in().KeyDown(287),
                              in().KeyDown(288)}),
            (std::vector<int>{1, 0, 1, 0}));
  EXPECT_EQ((std::vector<float>{in().JoyX(0), in().JoyY(0), in().JoyX(1), in().JoyY(1)}),
            (std::vector<float>{0.1f, 0.2f, 0.4f, -0.3f}));
}

// The game's controls read joystick 0: buttons 0-3, 7 start, 8-11 the d-pad.
TEST(Gamepad, NamedButtonsLandWhereTheGameReadsThem) {
  const std::pair<int, int> cases[] = {
      {GLFW_GAMEPAD_BUTTON_A, 0},         {GLFW_GAMEPAD_BUTTON_B, 1},
      {GLFW_GAMEPAD_BUTTON_X, 2},         {GLFW_GAMEPAD_BUTTON_Y, 3},
      {GLFW_GAMEPAD_BUTTON_START, 7},     {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8},
      {GLFW_GAMEPAD_BUTTON_DPAD_UP, 9},   {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, 10},
      {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11}};
  float axes[kGamepadAxes];
  unsigned char buttons[kGamepadButtons];
  for (const auto& [gamepadButton, joystickButton] : cases) {
    GLFWgamepadstate pad{};
    pad.buttons[gamepadButton] = GLFW_PRESS;
    GamepadToJoystick(pad, axes, buttons);
    for (int b = 0; b < kGamepadButtons; ++b)
      EXPECT_EQ(buttons[b] == GLFW_PRESS, b == joystickButton)
          << "gamepad " << gamepadButton << " lit " << b;
  }
}

// The first finger down presses and moves the pointer; other fingers,
// landing, moving or lifting meanwhile, change nothing; once it lifts the
// next finger down is the pointer, and the pointer stays where it lifted.
// The page's reports land in whole pixels.
TEST(TouchPointer, TheFirstFingerDownIsThePointerUntilItLifts) {
  using Change = TouchPointer::Change;
  using Phase = TouchPointer::Phase;
  TouchPointer pointer;
  EXPECT_EQ(pointer.Report(Phase::kStart, 7, 10.9f, 20.5f), Change::kPress);
  EXPECT_EQ(std::pair(pointer.X(), pointer.Y()), std::pair(10.0f, 20.0f));
  EXPECT_EQ(pointer.Start(8, 300, 400), Change::kNone) << "a second finger pressed again";
  pointer.Move(8, 310, 410);
  pointer.Report(Phase::kMove, 7, 12.2f, 22.7f);
  EXPECT_EQ(std::pair(pointer.X(), pointer.Y()), std::pair(12.0f, 22.0f));
  EXPECT_EQ(pointer.End(8), Change::kNone) << "a second finger released the pointer";
  EXPECT_TRUE(pointer.Down());
  EXPECT_EQ(pointer.Report(Phase::kEnd, 7, 0, 0), Change::kRelease);
  EXPECT_FALSE(pointer.Down());
  EXPECT_EQ(pointer.End(7), Change::kNone) << "a finger lifted twice";
  pointer.Move(7, 50, 50);
  EXPECT_EQ(std::pair(pointer.X(), pointer.Y()), std::pair(12.0f, 22.0f));
  EXPECT_EQ(pointer.Start(9, 100, 200), Change::kPress);
  EXPECT_EQ(std::pair(pointer.X(), pointer.Y()), std::pair(100.0f, 200.0f));
}

}  // namespace
}  // namespace vantor::testing
