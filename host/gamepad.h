// Standard gamepads: GLFW's gamepad mappings (its built-in database, plus
// mappings from a file named by SDL_GAMECONTROLLERCONFIG or from
// $XDG_CONFIG_HOME/vantor/gamecontrollerdb.txt) and the layout that puts a
// pad's named buttons and sticks where the game reads joystick 0: A, B, X,
// Y as buttons 0 to 3, Start as button 7 (back), the d-pad as buttons 8 to
// 11 (left, up, right, down), the left stick as axes 0 and 1. Used by the
// window platform (host/glfw_platform.cpp); main thread only.
#pragma once

#include <GLFW/glfw3.h>

#include "host/places.h"

// GLFW 3.3 brought the gamepad layer; the browser build's GLFW has only raw
// joysticks, which are then read as they report themselves.
#ifdef GLFW_GAMEPAD_BUTTON_A
#define VANTOR_GAMEPADS 1
#else
#define VANTOR_GAMEPADS 0
#endif

namespace vantor {

// The joystick report the game reads: 6 axes, 12 buttons.
inline constexpr int kGamepadAxes = 6;
inline constexpr int kGamepadButtons = 12;

// Adds the mappings the environment names to GLFW's database (after
// glfwInit). Returns how many sources were read.
int LoadGamepadMappings(const Environment& environment);

#if VANTOR_GAMEPADS
// Lays `pad` out as joystick 0's axes and buttons (GLFW_PRESS or
// GLFW_RELEASE).
void GamepadToJoystick(const GLFWgamepadstate& pad, float axes[kGamepadAxes],
                       unsigned char buttons[kGamepadButtons]);
#endif

}  // namespace vantor
