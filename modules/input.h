// The input module: what the game reads of keys, pointer, touches and pads.
//
// Every function forwards to the host input device (host/input.h) that the
// app bridge publishes in `device` before the game's OnCreate. Mouse
// buttons, touches and joystick buttons are read as key codes: mouse button
// b is key 1 + b, touch i key 384 + i (touch 0 is the mouse's left button),
// joystick unit u's button b key 256 + 16u + b. The state is the one the
// device sampled at the start of the current update and stays the same
// until the update ends; hit counts and typed characters are cleared then.
// Called by the game from its update callback, on the main thread only.
#pragma once

#include "host/input.h"
#include "runtime/gc.h"

namespace vantor::input {

extern gc_ref<gxtkInput> device;  // set by the app bridge; a collector root

void ModuleInit();                   // start-up: device to null, registered as a root
int SetInputDevice(gxtkInput* dev);  // the app bridge publishes the host's device; 0
int EnableKeyboard();                // asks for a keyboard (desktop: nothing to do); 0
int DisableKeyboard();               // lets the keyboard go again; 0
int GetChar();                       // next character typed this update, 0 when none
int KeyDown(int key);                // 1 while key is held (or was tapped since last update)
int KeyHit(int key);                 // presses of key since the last update (modulo 256)
float MouseX();                      // pointer x in the picture's pixels, at the update's start
float MouseY();                      // pointer y in the picture's pixels, at the update's start
int MouseDown(int button);           // KeyDown of mouse button (0 left, 1 right, 2 middle)
int MouseHit(int button);            // KeyHit of mouse button
int TouchDown(int index);            // KeyDown of touch index (touch 0: the left button)
float TouchX(int index);             // x of touch index (the pointer on the desktop)
float TouchY(int index);             // y of touch index (the pointer on the desktop)
float JoyX(int index, int unit);     // x of pad unit's stick index (0 or 1), -1 to 1; 0 if none
float JoyY(int index, int unit);     // y of pad unit's stick index (0 or 1), -1 to 1; 0 if none
int JoyDown(int button, int unit);   // KeyDown of pad unit's button
float AccelX();                      // tilt x; 0 where there is no accelerometer
float AccelY();                      // tilt y; 0 where there is no accelerometer

}  // namespace vantor::input
