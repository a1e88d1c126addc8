#include "modules/input.h"

#include "modules/roots.h"

namespace vantor::input {

gc_ref<gxtkInput> device;

namespace {

// Joystick unit u's sticks and buttons are numbered from 16 * u.
constexpr int kJoystickUnitStride = 16;

int UnitBase(int unit) { return kJoystickUnitStride * unit; }

}  // namespace

void ModuleInit() { InitModuleGlobal<device>(); }

int SetInputDevice(gxtkInput* dev) {
  device = dev;
  return 0;
}

int EnableKeyboard() { return device->SetKeyboardEnabled(1); }
int DisableKeyboard() { return device->SetKeyboardEnabled(0); }
int GetChar() { return device->GetChar(); }
int KeyDown(int key) { return device->KeyDown(key); }
int KeyHit(int key) { return device->KeyHit(key); }
float MouseX() { return device->MouseX(); }
float MouseY() { return device->MouseY(); }
int MouseDown(int button) { return device->KeyDown(kKeyMouseLeft + button); }
int MouseHit(int button) { return device->KeyHit(kKeyMouseLeft + button); }
int TouchDown(int index) { return device->KeyDown(kKeyTouch0 + index); }
float TouchX(int index) { return device->TouchX(index); }
float TouchY(int index) { return device->TouchY(index); }
float JoyX(int index, int unit) { return device->JoyX(index | UnitBase(unit)); }
float JoyY(int index, int unit) { return device->JoyY(index | UnitBase(unit)); }

int JoyDown(int button, int unit) {
  return device->KeyDown(kKeyJoyButton0 | button | UnitBase(unit));
}

float AccelX() { return device->AccelX(); }
float AccelY() { return device->AccelY(); }

}  // namespace vantor::input
