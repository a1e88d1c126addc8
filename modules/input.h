// The input module: script-facing forwarders to the host input device,
// mapping mice, touches and joysticks onto key codes (mouse button b is key
// 1 + b, touch i key 384 + i, joystick unit u button b key 256 + 16u + b).
#pragma once

#include "host/input.h"
#include "runtime/gc.h"

namespace vantor::input {

extern gc_ref<gxtkInput> device;

void ModuleInit();
int SetInputDevice(gxtkInput* dev);
int EnableKeyboard();
int DisableKeyboard();
int GetChar();
int KeyDown(int key);
int KeyHit(int key);
float MouseX();
float MouseY();
int MouseDown(int button);
int MouseHit(int button);
int TouchDown(int index);
float TouchX(int index);
float TouchY(int index);
float JoyX(int index, int unit);
float JoyY(int index, int unit);
int JoyDown(int button, int unit);
float AccelX();
float AccelY();

}  // namespace vantor::input
