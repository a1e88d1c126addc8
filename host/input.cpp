#include "host/input.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <array>
#include <utility>

#include "host/platform.h"

namespace vantor {
namespace {

// Characters queued for the editing and cursor keys that GLFW does not
// report as characters.
constexpr int kCharSpecialBase = 0x10000;  // page up ... down, insert
constexpr int kCharDelete = 127;
constexpr int kKeyDelete = 46;
constexpr int kKeyInsert = 45;
constexpr int kKeyPageUp = 33;
constexpr int kKeyDown = 40;
constexpr int kKeyF1 = 112;
constexpr int kFunctionKeys = 12;

// Physical keys other than digits and letters, by GLFW 3 key code.
constexpr std::pair<int, int> kKeyPairs[] = {
    {GLFW_KEY_SPACE, 32},
    {GLFW_KEY_APOSTROPHE, 222},
    {GLFW_KEY_COMMA, 188},
    {GLFW_KEY_MINUS, 189},
    {GLFW_KEY_PERIOD, 190},
    {GLFW_KEY_SLASH, 191},
    {GLFW_KEY_SEMICOLON, 186},
    {GLFW_KEY_EQUAL, 187},
    {GLFW_KEY_LEFT_BRACKET, 219},
    {GLFW_KEY_BACKSLASH, 220},
    {GLFW_KEY_RIGHT_BRACKET, 221},
    {GLFW_KEY_GRAVE_ACCENT, 192},
    {GLFW_KEY_ESCAPE, 27},
    {GLFW_KEY_ENTER, 13},
    {GLFW_KEY_KP_ENTER, 13},
    {GLFW_KEY_TAB, 9},
    {GLFW_KEY_BACKSPACE, 8},
    {GLFW_KEY_INSERT, 45},
    {GLFW_KEY_DELETE, 46},
    {GLFW_KEY_RIGHT, 39},
    {GLFW_KEY_LEFT, 37},
    {GLFW_KEY_DOWN, 40},
    {GLFW_KEY_UP, 38},
    {GLFW_KEY_PAGE_UP, 33},
    {GLFW_KEY_PAGE_DOWN, 34},
    {GLFW_KEY_HOME, 36},
    {GLFW_KEY_END, 35},
    {GLFW_KEY_LEFT_SHIFT, kKeyLeftShift},
    {GLFW_KEY_RIGHT_SHIFT, kKeyRightShift},
    {GLFW_KEY_LEFT_CONTROL, kKeyLeftControl},
    {GLFW_KEY_RIGHT_CONTROL, kKeyRightControl},
};

using KeyTable = std::array<unsigned char, GLFW_KEY_LAST + 1>;

constexpr KeyTable MakeKeyTable() {
  KeyTable table{};
  for (int key = GLFW_KEY_0; key <= GLFW_KEY_9; ++key) table[key] = key;
  for (int key = GLFW_KEY_A; key <= GLFW_KEY_Z; ++key) table[key] = key;
  for (int n = 0; n < kNumpadDigits; ++n) table[GLFW_KEY_KP_0 + n] = kKeyNumpad0 + n;
  for (int n = 0; n < kFunctionKeys; ++n) table[GLFW_KEY_F1 + n] = kKeyF1 + n;
  for (const auto& [windowKey, key] : kKeyPairs) table[windowKey] = key;
  return table;
}

constexpr KeyTable kKeyTable = MakeKeyTable();

// Mouse buttons 0 to 2 of the window library are keys 1 to 3.
constexpr int kMouseButtons = kKeyMouseMiddle - kKeyMouseLeft + 1;

bool ValidKey(int key) { return key >= 1 && key < kKeyCount; }

// Shift and control are reported per side; each also drives a generic key
// that is down while either side is.
struct SidedKey {
  int left, right, generic;
};
constexpr SidedKey kSidedKeys[] = {
    {kKeyLeftShift, kKeyRightShift, kKeyShift},
    {kKeyLeftControl, kKeyRightControl, kKeyControl},
};

const SidedKey* FindSidedKey(int key) {
  for (const SidedKey& sided : kSidedKeys) {
    if (key == sided.left || key == sided.right) return &sided;
  }
  return nullptr;
}

}  // namespace

int TransKey(int windowKey) {
  if (windowKey < 0 || windowKey > GLFW_KEY_LAST) return 0;
  return kKeyTable[windowKey];
}

int KeyToChar(int key) {
  switch (key) {
    // Backspace, tab, enter and escape type their own code, as ASCII has it.
    case 8:
    case 9:
    case 13:
    case 27:
      return key;
    case kKeyDelete:
      return kCharDelete;
    case kKeyInsert:
      return key | kCharSpecialBase;
    default:
      return key >= kKeyPageUp && key <= kKeyDown ? key | kCharSpecialBase : 0;
  }
}

int gxtkInput::SetKeyboardEnabled(int) { return 0; }

int gxtkInput::KeyDown(int key) {
  if (key == kKeyTouch0) key = kKeyMouseLeft;
  if (!ValidKey(key)) return 0;
  return (keyStates[key] & (kKeyDownBit | kKeyTappedBit)) ? 1 : 0;
}

int gxtkInput::KeyHit(int key) {
  if (key == kKeyTouch0) key = kKeyMouseLeft;
  if (!ValidKey(key)) return 0;
  return keyStates[key] & kKeyHitMask;
}

int gxtkInput::GetChar() { return charGet < charPut ? charQueue[charGet++] : 0; }

float gxtkInput::MouseX() { return mousePosX; }
float gxtkInput::MouseY() { return mousePosY; }

// Stick 0 is axes 0-2; stick 1 is axes 3-5 with its vertical axis turned
// round.
float gxtkInput::JoyX(int index) {
  if (index == 0) return joyAxes[0];
  return index == 1 ? joyAxes[3] : 0;
}

float gxtkInput::JoyY(int index) {
  if (index == 0) return joyAxes[1];
  return index == 1 ? -joyAxes[4] : 0;
}

float gxtkInput::JoyZ(int index) {
  if (index == 0) return joyAxes[2];
  return index == 1 ? joyAxes[5] : 0;
}

float gxtkInput::TouchX(int) { return mousePosX; }
float gxtkInput::TouchY(int) { return mousePosY; }
float gxtkInput::AccelX() { return 0; }
float gxtkInput::AccelY() { return 0; }
float gxtkInput::AccelZ() { return 0; }

void gxtkInput::BeginUpdate() {
  // Keys pressed and let go since the last update; the joystick's buttons
  // below are sampled, never tapped.
  for (int& state : keyStates) {
    if (!(state & kKeyDownBit) && (state & kKeyHitMask)) state |= kKeyTappedBit;
  }
  Platform* platform = CurrentPlatform();
  platform->MousePosition(&mousePosX, &mousePosY);

  std::fill(std::begin(joyAxes), std::end(joyAxes), 0.0f);
  const int axes = platform->JoystickAxes(joyAxes, kJoyAxisCount);
  unsigned char buttons[kJoyButtonCount] = {};
  const int buttonCount = platform->JoystickButtons(buttons, kJoyButtonCount);

  // Pads with four axes carry the right stick's vertical axis third, those
  // with five carry the two right-stick axes the other way round.
  if (axes == 4) {
    joyAxes[4] = joyAxes[2];
    joyAxes[2] = 0;
  } else if (axes == 5) {
    std::swap(joyAxes[3], joyAxes[4]);
  }
  for (int n = 0; n < buttonCount; ++n) {
    if (buttons[n] == GLFW_PRESS) {
      OnKeyDown(kKeyJoyButton0 + n);
    } else {
      OnKeyUp(kKeyJoyButton0 + n);
    }
  }
}

void gxtkInput::EndUpdate() {
  for (int& state : keyStates) state &= kKeyDownBit;
  charPut = charGet = 0;
}

void gxtkInput::OnKeyDown(int key) {
  if (keyStates[key] & kKeyDownBit) return;
  keyStates[key] = kKeyDownBit | ((keyStates[key] + 1) & kKeyHitMask);
  if (const SidedKey* sided = FindSidedKey(key)) OnKeyDown(sided->generic);
}

void gxtkInput::OnKeyUp(int key) {
  if (!(keyStates[key] & kKeyDownBit)) return;
  keyStates[key] &= ~kKeyDownBit;
  const SidedKey* sided = FindSidedKey(key);
  if (sided && !KeyDown(sided->left) && !KeyDown(sided->right)) OnKeyUp(sided->generic);
}

void gxtkInput::PutChar(int character) {
  if (charPut < kCharQueueSize) charQueue[charPut++] = character;
}

void gxtkInput::KeyEvent(int windowKey, int action) {
  const int key = TransKey(windowKey);
  if (!key) return;
  if (action == GLFW_PRESS || action == GLFW_REPEAT) {
    OnKeyDown(key);
    if (const int character = KeyToChar(key)) PutChar(character);
  } else if (action == GLFW_RELEASE) {
    OnKeyUp(key);
  }
}

void gxtkInput::CharEvent(int character, int action) {
  if (action == GLFW_PRESS) PutChar(character);
}

void gxtkInput::MouseButtonEvent(int button, int action) {
  if (button < 0 || button >= kMouseButtons) return;
  const int key = kKeyMouseLeft + button;
  if (action == GLFW_PRESS) {
    OnKeyDown(key);
  } else if (action == GLFW_RELEASE) {
    OnKeyUp(key);
  }
}

}  // namespace vantor
