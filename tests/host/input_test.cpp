// The input device: key translation, key states, characters, mouse and
// joystick, and its bracket around each update of the loop.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "host/input.h"
#include "tests/host/loop_app.h"

namespace vantor::testing {
namespace {

constexpr int kSpecialChar = 0x10000;

class InputTest : public LoopTest {
 protected:
  gxtkInput& in() { return *app->input; }
  void Key(int windowKey, int action) { app->OnKey(windowKey, action); }
  void Tap(int windowKey) {
    Key(windowKey, GLFW_PRESS);
    Key(windowKey, GLFW_RELEASE);
  }
  std::vector<int> DrainChars() {
    std::vector<int> chars;
    while (const int c = in().GetChar()) chars.push_back(c);
    return chars;
  }
};

// The codes the game, the replay scripts and saved key settings are written
// in: the usual virtual-key numbers.
TEST(KeyTranslation, KeysGiveTheirVirtualKeyCodesOnceEachAndOthersZero) {
  const std::pair<int, int> kNamed[] = {
      {GLFW_KEY_BACKSPACE, 8}, {GLFW_KEY_TAB, 9},     {GLFW_KEY_ENTER, 13},       {GLFW_KEY_ESCAPE, 27},
      {GLFW_KEY_SPACE, 32},    {GLFW_KEY_PAGE_UP, 33}, {GLFW_KEY_END, 35},        {GLFW_KEY_LEFT, 37},
      {GLFW_KEY_UP, 38},       {GLFW_KEY_RIGHT, 39},  {GLFW_KEY_DOWN, 40},        {GLFW_KEY_DELETE, 46},
      {GLFW_KEY_F1, 112},      {GLFW_KEY_F12, 123},   {GLFW_KEY_LEFT_SHIFT, 160}, {GLFW_KEY_RIGHT_CONTROL, 163},
      {GLFW_KEY_COMMA, 188},   {GLFW_KEY_GRAVE_ACCENT, 192}, {GLFW_KEY_APOSTROPHE, 222}};
  for (const auto& [windowKey, code] : kNamed) EXPECT_EQ(TransKey(windowKey), code) << "GLFW key " << windowKey;
  for (int c = '0'; c <= '9'; ++c) EXPECT_EQ(TransKey(c), c);
  for (int c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(TransKey(c), c);
  // No two keys share a code; the main block, the cursor block and the
  // function row have codes (78 keys), Alt, F13 and the keypad do not.
  std::map<int, int> owner;
  for (int key = GLFW_KEY_UNKNOWN - 1; key <= GLFW_KEY_LAST + 1; ++key) {
    const int code = TransKey(key);
    if (code != 0) {
      EXPECT_TRUE(owner.emplace(code, key).second) << "code " << code << " of keys " << owner[code] << " and " << key;
    }
  }
  EXPECT_EQ(owner.size(), 78u);
  for (int key : {GLFW_KEY_LEFT_ALT, GLFW_KEY_F13, GLFW_KEY_KP_5}) EXPECT_EQ(TransKey(key), 0) << key;
}

TEST(KeyTranslation, EditingAndCursorKeysQueueCharacters) {
  const std::pair<int, int> kChars[] = {{8, 8},   {9, 9},   {13, 13},  {27, 27}, {33, 33 + kSpecialChar}, {40, 40 + kSpecialChar},
                                        {45, 45 + kSpecialChar}, {46, 127}, {32, 0},   {41, 0},  {65, 0},  {112, 0}, {160, 0}};
  for (const auto& [key, character] : kChars) EXPECT_EQ(KeyToChar(key), character) << key;
}

// Shift and control: the generic key is pressed once and held while
// either side is down.
TEST_F(InputTest, GenericShiftAndControlFollowBothSides) {
  struct Sided {
    int leftWindowKey, rightWindowKey, left, generic;
  };
  for (const Sided& k : {Sided{GLFW_KEY_LEFT_SHIFT, GLFW_KEY_RIGHT_SHIFT, 160, 16},
                         Sided{GLFW_KEY_LEFT_CONTROL, GLFW_KEY_RIGHT_CONTROL, 162, 17}}) {
    SCOPED_TRACE(k.generic);
    Key(k.leftWindowKey, GLFW_PRESS);
    EXPECT_EQ(in().KeyDown(k.left), 1);
    EXPECT_EQ(in().KeyDown(k.generic), 1);
    Key(k.rightWindowKey, GLFW_PRESS);
    EXPECT_EQ(in().KeyDown(k.left + 1), 1);
    EXPECT_EQ(in().KeyHit(k.generic), 1);
    Key(k.leftWindowKey, GLFW_RELEASE);
    EXPECT_EQ(in().KeyDown(k.generic), 1);
    Key(k.rightWindowKey, GLFW_RELEASE);
    EXPECT_EQ(in().KeyDown(k.generic), 0);
    EXPECT_EQ(in().KeyHit(k.generic), 1);  // the count stays until the update ends
  }
}

TEST_F(InputTest, HitsAreCountedPerUpdateAndHoldsSurviveIt) {
  app->SetUpdateRate(kRate);
  int hitsSeen = -1, downSeen = -1;
  app->onUpdate = [&] {
    hitsSeen = in().KeyHit('A');
    downSeen = in().KeyDown('A');
  };
  Tap('A');
  Tap('A');
  Key('A', GLFW_PRESS);
  app->InvokeOnUpdate();
  EXPECT_EQ(hitsSeen, 3);
  EXPECT_EQ(downSeen, 1);
  app->InvokeOnUpdate();
  EXPECT_EQ(hitsSeen, 0);
  EXPECT_EQ(downSeen, 1);
}

TEST_F(InputTest, CharactersAreReadableOnlyDuringTheNextUpdate) {
  app->SetUpdateRate(kRate);
  std::vector<int> seen;
  app->onUpdate = [&] { seen = DrainChars(); };
  app->OnChar('x', GLFW_PRESS);
  Key(GLFW_KEY_UP, GLFW_PRESS);
  app->InvokeOnUpdate();
  EXPECT_EQ(seen, (std::vector<int>{'x', 38 + kSpecialChar}));
  app->OnChar('y', GLFW_PRESS);
  app->onUpdate = nullptr;  // nobody reads them
  app->InvokeOnUpdate();
  app->onUpdate = [&] { seen = DrainChars(); };
  app->InvokeOnUpdate();
  EXPECT_TRUE(seen.empty());
}

TEST_F(InputTest, LettersQueueOnlyTheirCharacterAndDeleteQueues127) {
  Key('Q', GLFW_PRESS);
  app->OnChar('q', GLFW_PRESS);
  Key(GLFW_KEY_DELETE, GLFW_PRESS);
  EXPECT_EQ(DrainChars(), (std::vector<int>{'q', 127}));
  EXPECT_EQ(in().KeyDown('Q'), 1);
  EXPECT_EQ(in().KeyDown(46), 1);
}

TEST_F(InputTest, RepeatQueuesTheCharacterAgainButCountsOnePress) {
  Key(GLFW_KEY_BACKSPACE, GLFW_PRESS);
  for (int i = 0; i < 3; ++i) Key(GLFW_KEY_BACKSPACE, GLFW_REPEAT);
  EXPECT_EQ(in().KeyHit(8), 1);
  EXPECT_EQ(DrainChars(), (std::vector<int>(4, 8)));
}

TEST_F(InputTest, TheCharacterQueueHoldsThirtyTwo) {
  for (int i = 0; i < kCharQueueSize + 5; ++i) app->OnChar('a' + i % 26, GLFW_PRESS);
  const std::vector<int> chars = DrainChars();
  ASSERT_EQ(chars.size(), static_cast<size_t>(kCharQueueSize));
  EXPECT_EQ(chars.front(), 'a');
  EXPECT_EQ(chars.back(), 'a' + (kCharQueueSize - 1) % 26);
}

TEST_F(InputTest, IgnoredKeysAndOutOfRangeCodesChangeNothing) {
  Key(GLFW_KEY_LEFT_ALT, GLFW_PRESS);
  Key(GLFW_KEY_KP_ENTER, GLFW_PRESS);
  for (int key = 0; key < kKeyCount; ++key) EXPECT_EQ(in().keyStates[key], 0) << key;
  EXPECT_TRUE(DrainChars().empty());
  in().keyStates[0] = kKeyDownBit | 1;
  for (int key : {-1, 0, kKeyCount, 100000}) {
    EXPECT_EQ(in().KeyDown(key), 0) << key;
    EXPECT_EQ(in().KeyHit(key), 0) << key;
  }
}

TEST_F(InputTest, MouseButtonsAreKeysOneToThreeAndTouchZeroIsTheLeftButton) {
  for (int button = 0; button < 3; ++button) {
    app->OnMouseButton(button, GLFW_PRESS);
    EXPECT_EQ(in().KeyDown(1 + button), 1) << button;
    EXPECT_EQ(in().KeyHit(1 + button), 1) << button;
  }
  app->OnMouseButton(3, GLFW_PRESS);
  EXPECT_EQ(in().KeyDown(4), 0);
  EXPECT_EQ(in().KeyDown(kKeyTouch0), 1);
  EXPECT_EQ(in().KeyHit(kKeyTouch0), 1);
  EXPECT_EQ(in().KeyDown(kKeyTouch0 + 1), 0);
  app->OnMouseButton(0, GLFW_RELEASE);
  EXPECT_EQ(in().KeyDown(kKeyTouch0), 0);
  EXPECT_EQ(in().KeyDown(2), 1);
}

// Pads differ in how many axes they report; the second stick is found
// where each layout puts it, and its vertical axis turned to point up.
TEST_F(InputTest, JoystickAxesFollowTheLayoutOfEachAxisCount) {
  const struct {
    std::vector<float> axes;
    float want[7];  // X, Y, Z of stick 0, X, Y, Z of stick 1, X of stick 2
  } cases[] = {
      {{0.1f, 0.2f, 0.3f, 0.4f}, {0.1f, 0.2f, 0, 0.4f, -0.3f, 0, 0}},
      {{0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, {0.1f, 0.2f, 0.3f, 0.5f, -0.4f, 0, 0}},
      // Up and left stay negative, so the game's up action follows the stick.
      {{-0.25f, -1.0f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f}, {-0.25f, -1.0f, 0.3f, 0.4f, -0.5f, 0.6f, 0}},
      {{}, {0, 0, 0, 0, 0, 0, 0}},  // axes vanish with the joystick
  };
  for (const auto& c : cases) {
    platform.axes = c.axes;
    in().BeginUpdate();
    const float got[7] = {in().JoyX(0), in().JoyY(0), in().JoyZ(0), in().JoyX(1), in().JoyY(1), in().JoyZ(1), in().JoyX(2)};
    for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(got[i], c.want[i]) << c.axes.size() << " axes, value " << i;
  }
}

TEST_F(InputTest, JoystickButtonsAreKeysFrom256) {
  platform.buttons.assign(40, GLFW_PRESS);
  platform.buttons[2] = GLFW_RELEASE;
  in().BeginUpdate();
  EXPECT_EQ(in().KeyDown(kKeyJoyButton0), 1);
  EXPECT_EQ(in().KeyDown(kKeyJoyButton0 + 2), 0);
  EXPECT_EQ(in().KeyDown(kKeyJoyButton0 + 31), 1);
  EXPECT_EQ(in().KeyDown(kKeyJoyButton0 + 32), 0);  // beyond 32 buttons
  in().BeginUpdate();
  EXPECT_EQ(in().KeyHit(kKeyJoyButton0), 1);  // held, not pressed again
  platform.buttons[0] = GLFW_RELEASE;
  in().BeginUpdate();
  EXPECT_EQ(in().KeyDown(kKeyJoyButton0), 0);
}

}  // namespace
}  // namespace vantor::testing
