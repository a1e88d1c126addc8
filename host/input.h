// gxtkInput: the host's input device.
//
// Turns window-library key, character, mouse and joystick reports into one
// table of 512 key states in the system's own key codes (keyboard, mouse
// buttons 1-3, joystick buttons from 256, touches from 384), a queue of up to
// 32 typed characters, the mouse position and six joystick axes. The host
// application feeds it from its event handlers and brackets every update with
// BeginUpdate and the end-of-update clearing; the input module is its only
// reader. Main thread only.
#pragma once

#include "host/object.h"

namespace vantor {

inline constexpr int kKeyCount = 512;
inline constexpr int kKeyDownBit = 0x100;
inline constexpr int kKeyHitMask = 0xFF;
// Set for one update on a key pressed and let go again before it: the
// update reads it as held, so no quick tap is lost between two updates.
inline constexpr int kKeyTappedBit = 0x200;
inline constexpr int kCharQueueSize = 32;
inline constexpr int kJoyAxisCount = 6;
inline constexpr int kJoyButtonCount = 32;
inline constexpr int kKeyJoyButton0 = 256;
inline constexpr int kKeyTouch0 = 384;
inline constexpr int kKeyMouseLeft = 1;
inline constexpr int kKeyMouseMiddle = 3;
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyLeftShift = 160;
inline constexpr int kKeyRightShift = 161;
inline constexpr int kKeyLeftControl = 162;
inline constexpr int kKeyRightControl = 163;
// The numpad's digits 0 to 9 are keys 96 to 105, apart from the number row's.
inline constexpr int kKeyNumpad0 = 96;
inline constexpr int kNumpadDigits = 10;

class gxtkInput : public gxtkObject {
 public:
  int keyStates[kKeyCount] = {};
  int charQueue[kCharQueueSize] = {};
  int charPut = 0;
  int charGet = 0;
  float mousePosX = 0;
  float mousePosY = 0;
  float joyAxes[kJoyAxisCount] = {};

  virtual int SetKeyboardEnabled(int enabled);
  virtual int KeyDown(int key);
  virtual int KeyHit(int key);
  virtual int GetChar();
  virtual float MouseX();
  virtual float MouseY();
  virtual float JoyX(int index);
  virtual float JoyY(int index);
  virtual float JoyZ(int index);  // kept for the framework's API; nothing calls it
  virtual float TouchX(int index);
  virtual float TouchY(int index);
  virtual float AccelX();
  virtual float AccelY();
  virtual float AccelZ();  // kept for the framework's API; nothing calls it

  // Samples the mouse and joystick 0 from the current platform, and holds
  // each key tapped since the last update down for this update.
  void BeginUpdate();
  // Drops every press count and tap and empties the character queue.
  void EndUpdate();
  void OnKeyDown(int key);
  void OnKeyUp(int key);
  void PutChar(int character);

  // The window library's reports, as the host application's event handlers
  // receive them (window-library key codes and actions). A key repeat counts
  // as a press: the held key keeps its single hit but queues its character
  // again.
  void KeyEvent(int windowKey, int action);
  void CharEvent(int character, int action);
  void MouseButtonEvent(int button, int action);
};

// Window-library key code to the system's key code (0: ignored key).
int TransKey(int windowKey);
// The character a key queues when it goes down (0: none).
int KeyToChar(int key);

}  // namespace vantor
