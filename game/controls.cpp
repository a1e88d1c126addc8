// Controls: the per-update sampling of the pointer and touch points into
// virtual units, the game's numbered actions over keyboard, joystick and
// control latches, the iCade letter protocol, the on-screen pad and tilt
// widget (switched off in this game), and the hit tests of buttons and
// touch zones. The update pass of modes.cpp calls the sampling and the
// controls pass; every screen asks m_PlayKey and m_Button.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "game/ids.h"
#include "game/myapp.h"
#include "modules/input.h"

namespace vantor {

using namespace palette;

namespace {

constexpr int kNone = -1;
constexpr float kAxisThreshold = 0.4f;
constexpr int kLatchOneUpdate = 1;
constexpr int kLatchHeld = 2;
constexpr int kMouseButtonLeft = 0;
constexpr int kJoystickUnit = 0;

enum class Axis { kNone, kUp, kDown, kLeft, kRight };

// Key codes of the input module.
constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyShift = 16;
constexpr int kKeyControl = 17;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyDelete = 46;

// Joystick buttons as the host numbers a standard gamepad's.
constexpr int kButtonA = 0;
constexpr int kButtonB = 1;
constexpr int kButtonX = 2;
constexpr int kButtonY = 3;
constexpr int kButtonStart = 7;
constexpr int kPadLeft = 8;
constexpr int kPadUp = 9;
constexpr int kPadRight = 10;
constexpr int kPadDown = 11;

// Where one action can come from: the game's one table of bindings. Letter
// keys are not read in iCade mode, where the controller types letters; its
// buttons set the latches instead. A pad's A, B and X buttons stand where
// the iCade's first three buttons do: A presses (starts, types, grabs,
// strides, shoots), B ducks and X reloads in a run.
struct ActionRow {
  int action;
  int letters[2];
  int keys[3];
  int joystickButtons[2];
  Axis axis;
  int latches[2];
};

// Digit d on the number row or on the numpad.
constexpr ActionRow DigitRow(int digit) {
  return {kActionDigit0 + digit, {kNone, kNone}, {'0' + digit, kKeyNumpad0 + digit, kNone},
          {kNone, kNone},        Axis::kNone,    {kNone, kNone}};
}

constexpr ActionRow kActionRows[] = {
    // The menus' actions, which the run reads too.
    {kActionUp,
     {'W', kNone},
     {kKeyUp, kNone, kNone},
     {kPadUp, kNone},
     Axis::kUp,
     {kActionUp, kNone}},
    {kActionLeft,
     {'A', kNone},
     {kKeyLeft, kNone, kNone},
     {kPadLeft, kNone},
     Axis::kLeft,
     {kActionLeft, kNone}},
    {kActionRight,
     {'D', kNone},
     {kKeyRight, kNone, kNone},
     {kPadRight, kNone},
     Axis::kRight,
     {kActionRight, kNone}},
    {kActionDown,
     {'S', kNone},
     {kKeyDown, kNone, kNone},
     {kPadDown, kNone},
     Axis::kDown,
     {kActionDown, kNone}},
    {kActionFire,
     {'Z', 'J'},
     {kKeySpace, kKeyEnter, kNone},
     {kButtonA, kNone},
     Axis::kNone,
     {kActionFire, kNone}},
    {kActionFire2,
     {'X', 'K'},
     {kKeyControl, kNone, kNone},
     {kButtonB, kNone},
     Axis::kNone,
     {kActionFire2, kNone}},
    {kActionFire3,
     {'C', 'L'},
     {kKeyShift, kNone, kNone},
     {kButtonX, kNone},
     Axis::kNone,
     {kActionFire3, kNone}},
    {kActionFire4,
     {'V', 'I'},
     {kNone, kNone, kNone},
     {kButtonY, kNone},
     Axis::kNone,
     {kActionFire4, kNone}},
    {kActionBack,
     {kNone, kNone},
     {kKeyEscape, kKeyDelete, kKeyBackspace},
     {kButtonStart, kNone},
     Axis::kNone,
     {kBackLatches[0], kBackLatches[1]}},
    // The run's own actions.
    {kActionReload,
     {'R', kNone},
     {kNone, kNone, kNone},
     {kButtonX, kNone},
     Axis::kNone,
     {kActionFire3, kNone}},
    {kActionDuck,
     {'S', kNone},
     {kKeyDown, kKeyShift, kNone},
     {kButtonB, kPadDown},
     Axis::kDown,
     {kActionFire2, kActionDown}},
    {kActionClear,
     {'C', kNone},
     {kNone, kNone, kNone},
     {kNone, kNone},
     Axis::kNone,
     {kNone, kNone}},
    DigitRow(0),
    DigitRow(1),
    DigitRow(2),
    DigitRow(3),
    DigitRow(4),
    DigitRow(5),
    DigitRow(6),
    DigitRow(7),
    DigitRow(8),
    DigitRow(9),
};

// The iCade controller reports each press and each release as a letter.
struct ICadeLetter {
  char press;
  char release;
  int latch;
};

// An iCade button latches its action's latch (game/ids.h); the fifth and
// sixth buttons latch these, which no action reads.
constexpr int kICadeSpareLatches[] = {14, 15};

constexpr ICadeLetter kICadeLetters[] = {
    {'W', 'E', kActionUp},
    {'X', 'Z', kActionDown},
    {'A', 'Q', kActionLeft},
    {'D', 'C', kActionRight},
    {'H', 'R', kActionFire},
    {'J', 'N', kActionFire2},
    {'K', 'P', kActionFire3},
    {'Y', 'T', kActionFire4},
    {'U', 'F', kICadeSpareLatches[0]},
    {'I', 'M', kICadeSpareLatches[1]},
    {'O', 'G', kBackLatches[0]},
    {'L', 'V', kBackLatches[1]},
};

// The frames the pad draws from its sheet, and the icon of the tilt widget.
constexpr int kPadFrameUp = 1;
constexpr int kPadFrameLeft = 4;
constexpr int kPadFrameCentre = 5;
constexpr int kPadFrameRight = 6;
constexpr int kPadFrameDown = 9;
constexpr int kPadFrameButton = 0;
constexpr int kIconFrameCalibrate = 7;
constexpr float kPadArm = 32;
constexpr float kPadButtonOffset = 24;
constexpr float kPadMargin = 32;
constexpr float kPadSizeUnit = 10;
constexpr float kPinchStepUnits = 16;
constexpr float kTiltSmoothing = 0.25f;
constexpr float kTiltSnap = 0.005f;
constexpr float kTiltIconInset = 24;
constexpr float kTiltReach = 20;
constexpr float kTiltMarkRadius = 4;

// Float to int truncating toward zero, saturating where the value does not
// fit (a pointer sampled before the first render has no scale yet).
int Truncate(float value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<float>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  if (value <= static_cast<float>(std::numeric_limits<int>::min())) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

bool AnyKeyDown(const int* keys, int count) {
  for (int i = 0; i < count; ++i) {
    if (keys[i] != kNone && input::KeyDown(keys[i])) return true;
  }
  return false;
}

bool AnyKeyHit(const int* keys, int count) {
  for (int i = 0; i < count; ++i) {
    if (keys[i] != kNone && input::KeyHit(keys[i]) > 0) return true;
  }
  return false;
}

bool AxisDown(Axis axis) {
  switch (axis) {
    case Axis::kUp:
      return input::JoyY(0, kJoystickUnit) < -kAxisThreshold;
    case Axis::kDown:
      return input::JoyY(0, kJoystickUnit) > kAxisThreshold;
    case Axis::kLeft:
      return input::JoyX(0, kJoystickUnit) < -kAxisThreshold;
    case Axis::kRight:
      return input::JoyX(0, kJoystickUnit) > kAxisThreshold;
    case Axis::kNone:
      break;
  }
  return false;
}

bool RowDown(const ActionRow& row, const Array<int>& latches) {
  if (game::iCadeControls == 0 && AnyKeyDown(row.letters, 2)) return true;
  if (AnyKeyDown(row.keys, 3)) return true;
  for (int button : row.joystickButtons) {
    if (button != kNone && input::JoyDown(button, kJoystickUnit)) return true;
  }
  if (AxisDown(row.axis)) return true;
  for (int latch : row.latches) {
    if (latch != kNone && latches[latch] != 0) return true;
  }
  return false;
}

bool StrictlyInside(int x, int y, float left, float top, float right, float bottom) {
  return left < x && x < right && top < y && y < bottom;
}

}  // namespace

bool MyApp::m_PlayKey(int action) {
  if (game::iCadeControls != 0 && game::iCadeControls != 1) return false;
  for (const ActionRow& row : kActionRows) {
    if (row.action == action) return RowDown(row, virtualKeys);
  }
  return false;
}

// Whether one of the action's keys was pressed since the last update: a
// key that acts by each of its own presses, even while another is held, as
// a typist presses the next digit before letting go of the last.
bool MyApp::ActionKeyHit(int action) {
  for (const ActionRow& row : kActionRows) {
    if (row.action == action)
      return AnyKeyHit(row.letters, game::iCadeControls == 0 ? 2 : 0) || AnyKeyHit(row.keys, 3);
  }
  return false;
}

// Any bound key, button or latch down keeps a key press counted as used.
bool MyApp::AnyActionDown() {
  for (const ActionRow& row : kActionRows) {
    if (m_PlayKey(row.action)) return true;
  }
  return false;
}

// First thing in every update: the pointer and the touch points in virtual
// units, and the end of a used press once nothing is held any more.
void MyApp::SampleInput() {
  prevMouseX = mouseX;
  prevMouseY = mouseY;
  mouseX = Truncate(input::MouseX() / scaleX);
  mouseY = Truncate(input::MouseY() / scaleY);
  const bool mouseDown = input::MouseDown(kMouseButtonLeft) != 0;
  if (mouseWasDown == 0 && mouseDown) {
    prevMouseX = mouseX;
    prevMouseY = mouseY;
  }
  touchDown = mouseDown ? 1 : 0;
  touchHit = input::MouseHit(kMouseButtonLeft) > 0 ? 1 : 0;
  for (int i = 0; i < kTouchPoints; ++i) {
    touchActive[i] = 0;
    touchXs[i] = static_cast<int>(kNotGiven);
    touchYs[i] = static_cast<int>(kNotGiven);
    if (!input::TouchDown(i)) continue;
    touchActive[i] = 1;
    touchXs[i] = Truncate(input::TouchX(i) / scaleX);
    touchYs[i] = Truncate(input::TouchY(i) / scaleY);
    touchDown = 1;
  }
  mouseWasDown = mouseDown ? 1 : 0;
  if (touchDown == 0) touchConsumed = 0;
  if (!AnyActionDown()) keyConsumed = 0;
}

// After the mode's work and the loader: iCade letters, the end of one-update
// latches, then the on-screen pad and the tilt widget where they are on.
void MyApp::ControlsPass() {
  if (game::iCadeControls == 1) DecodeICade();
  ClearLatches();
  if (game::OnScreenControls == 1 && gameMode > kModeNoScreen && game::iCadeControls == 0) {
    OnScreenPad();
  }
  if (game::AccelerometerControls == 1 && game::iCadeControls == 0) TiltWidget();
  if (game::iCadeControls == 1) {
    tiltRawX = 0;
    tiltRawY = 0;
    tiltX = 0;
    tiltY = 0;
  }
}

void MyApp::DecodeICade() {
  while ((lastResult = input::GetChar()) != 0) {
    if (lastResult <= 0 || lastResult > 0x7f) continue;
    const int letter = std::toupper(lastResult);
    for (const ICadeLetter& entry : kICadeLetters) {
      if (letter == entry.press) virtualKeys[entry.latch] = kLatchHeld;
      if (letter == entry.release) virtualKeys[entry.latch] = 0;
    }
  }
}

void MyApp::ClearLatches() {
  for (int& latch : virtualKeys) {
    if (latch == kLatchOneUpdate) latch = 0;
  }
}

int MyApp::m_iCade(int on) {
  if (on == 1) {
    input::EnableKeyboard();
    game::iCadeControls = 1;
    while (input::GetChar() != 0) {
    }
  } else if (on == 0) {
    input::DisableKeyboard();
    game::iCadeControls = 0;
    for (int& latch : virtualKeys) latch = 0;
  }
  return 0;
}

bool MyApp::TouchPointIn(int point, float left, float top, float right, float bottom) {
  return StrictlyInside(touchXs[point], touchYs[point], left, top, right, bottom);
}

// Whether one of the first `points` touch points lies on the frame of `slot`
// drawn at (x, y) in the current size, while the pointer is down.
bool MyApp::OverButton(int slot, float x, float y, int points) {
  const float halfWidth =
      static_cast<float>(imageFrameInfo[slot * 3]) * artScaleInverse * drawSizeX / 2;
  const float halfHeight =
      static_cast<float>(imageFrameInfo[slot * 3 + 1]) * artScaleInverse * drawSizeY / 2;
  bool over = false;
  for (int i = 0; i < points; ++i) {
    if (TouchPointIn(i, x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight)) {
      over = true;
    }
  }
  return over && touchDown > 0;
}

int MyApp::m_Button(int slot, float x, float y, int frame) {
  m_DrawImg(slot, x, y, frame);
  buttonHit = OverButton(slot, x, y, kTouchPoints) ? 1 : 0;
  return buttonHit;
}

bool MyApp::m_Button0(int slot, float x, float y, int frame) {
  m_DrawImg(slot, x, y, frame);
  return OverButton(slot, x, y, 1);
}

bool MyApp::m_MouseIn_Centered(float x, float y, float w, float h) {
  for (int i = 0; i < kTouchPoints; ++i) {
    if (touchActive[i] != 0 && TouchPointIn(i, x - w / 2, y - h / 2, x + w / 2, y + h / 2)) {
      return true;
    }
  }
  return false;
}

bool MyApp::m_Touch(float x, float y, float w, float h, String label) {
  const float left = x - w / 2;
  const float top = y - h / 2;
  m_Rect(left, top, w, h);
  bool inside = false;
  for (int i = 0; i < kTouchPoints; ++i) {
    if (touchActive[i] != 0 && TouchPointIn(i, left, top, left + w, top + h)) inside = true;
  }
  m_SetSize(4, 4);
  SetColour(kWhite, 1);
  m_Text(left + w / 2, top + h / 2, T(" ") + label, 1.0f, 1.0f);
  return inside;
}

// The on-screen d-pad with its two fire buttons, placed from the saved
// settings; while the game is paused the pad can be dragged and pinched.
// Kept for the game module's interface: OnScreenControls, its switch, is 0
// in this game, so nothing here runs.
void MyApp::OnScreenPad() {
  settings[kSettingPadX] = std::max(settings[kSettingPadX], static_cast<int>(kPadMargin));
  settings[kSettingPadX] = std::min(settings[kSettingPadX], Truncate(game::jscrw - kPadMargin));
  settings[kSettingPadY] = std::max(settings[kSettingPadY], static_cast<int>(kPadMargin));
  settings[kSettingPadY] = std::min(settings[kSettingPadY], Truncate(game::jscrh - kPadMargin));
  settings[kSettingPadSize] = std::clamp(settings[kSettingPadSize], kPadMinSize, kPadMaxSize);
  padX = settings[kSettingPadX];
  padY = Truncate(game::jscrh - static_cast<float>(settings[kSettingPadY]));
  padScale = static_cast<float>(settings[kSettingPadSize]) / kPadSizeUnit;
  m_ResetDraw();
  SetColour(kWhite, 0.6f);
  m_SetSize(padScale, padScale);
  const auto x = static_cast<float>(padX);
  const auto y = static_cast<float>(padY);
  const float arm = kPadArm * padScale;
  struct Arrow {
    float x, y;
    int frame;
    int latch;
  };
  const Arrow arrows[] = {{x - arm, y, kPadFrameLeft, kActionLeft},
                          {x, y - arm, kPadFrameUp, kActionUp},
                          {x, y + arm, kPadFrameDown, kActionDown},
                          {x + arm, y, kPadFrameRight, kActionRight}};
  for (const Arrow& arrow : arrows) {
    if (m_Button(kPadSheet, arrow.x, arrow.y, arrow.frame) && paused == 0) {
      virtualKeys[arrow.latch] = kLatchOneUpdate;
    }
  }
  m_DrawImg(kPadSheet, x, y, kPadFrameCentre);
  if (paused > 0) {
    m_SetSize(3, 3);
    const bool secondFinger = touchActive[1] != 0;
    if (m_Button0(kPadSheet, x, y, kPadFrameButton) && !secondFinger) {
      settings[kSettingPadX] = touchXs[0];
      settings[kSettingPadY] = Truncate(game::jscrh - static_cast<float>(touchYs[0]));
    }
    if (!secondFinger) {
      pinchActive = 0;
      freeSlot = 0;
    }
    if (touchActive[0] != 0 && secondFinger) {
      const int step = -static_cast<int>(static_cast<float>(std::abs(touchXs[0] - touchXs[1])) /
                                         kPinchStepUnits);
      if (pinchActive == 1) settings[kSettingPadSize] += freeSlot - step;
      freeSlot = step;
      pinchActive = 1;
    }
  }
  m_SetSize(1.5f * padScale, 1.5f * padScale);
  const float offset = kPadButtonOffset * padScale;
  const float mirroredX = game::jscrw - x;
  if (m_Button(kPadSheet, mirroredX + offset, y - offset, kPadFrameButton)) {
    virtualKeys[kActionFire] = kLatchOneUpdate;
  }
  if (m_Button(kPadSheet, mirroredX - offset, y + offset, kPadFrameButton)) {
    virtualKeys[kActionFire2] = kLatchOneUpdate;
  }
}

// Shows the smoothed tilt over a recalibration icon. Kept for the game
// module's interface: AccelerometerControls, its switch, is 0 in this game.
void MyApp::TiltWidget() {
  m_ResetDraw();
  m_SetSize(1.5f, 1.5f);
  SetColour(kWhite, 0.8f);
  tiltRawX = input::AccelX() - accelZeroX;
  tiltRawY = input::AccelY() - accelZeroY;
  tiltX -= (tiltX - tiltRawX) * kTiltSmoothing;
  tiltY -= (tiltY - tiltRawY) * kTiltSmoothing;
  if (std::fabs(tiltX - tiltRawX) < kTiltSnap) tiltX = tiltRawX;
  if (std::fabs(tiltY - tiltRawY) < kTiltSnap) tiltY = tiltRawY;
  const float iconY = game::jscrh - kTiltIconInset;
  if (m_Button(kIconSheet, kTiltIconInset, iconY, kIconFrameCalibrate)) {
    accelZeroX = input::AccelX();
    accelZeroY = input::AccelY();
  }
  SetColour(kCodeGreen, 0.6f);
  m_SetSize(1, 1);
  m_Oval(kTiltIconInset + kTiltReach * tiltX, iconY + kTiltReach * tiltY, kTiltMarkRadius,
         kTiltMarkRadius);
}

}  // namespace vantor
