#include "host/gamepad.h"

#include <fstream>
#include <sstream>
#include <string>

namespace vantor {
#if VANTOR_GAMEPADS
namespace {

// Joystick button number for each gamepad button the game uses.
struct ButtonPlace {
  int gamepad;
  int joystick;
};
constexpr ButtonPlace kButtonPlaces[] = {
    {GLFW_GAMEPAD_BUTTON_A, 0},          {GLFW_GAMEPAD_BUTTON_B, 1},
    {GLFW_GAMEPAD_BUTTON_X, 2},          {GLFW_GAMEPAD_BUTTON_Y, 3},
    {GLFW_GAMEPAD_BUTTON_START, 7},      {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8},
    {GLFW_GAMEPAD_BUTTON_DPAD_UP, 9},    {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, 10},
    {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11},
};
// Joystick axis for each gamepad axis: the left stick first, then the left
// trigger, the right stick and the right trigger.
constexpr int kAxisPlaces[kGamepadAxes] = {
    GLFW_GAMEPAD_AXIS_LEFT_X,  GLFW_GAMEPAD_AXIS_LEFT_Y,  GLFW_GAMEPAD_AXIS_LEFT_TRIGGER,
    GLFW_GAMEPAD_AXIS_RIGHT_X, GLFW_GAMEPAD_AXIS_RIGHT_Y, GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER,
};

bool AddMappingsFrom(const fs::path& file) {
  std::ifstream in(file);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  return glfwUpdateGamepadMappings(text.str().c_str()) == GLFW_TRUE;
}

}  // namespace

int LoadGamepadMappings(const Environment& environment) {
  int sources = 0;
  if (const char* named = environment("SDL_GAMECONTROLLERCONFIG"); named && *named)
    sources += AddMappingsFrom(named);
  const fs::path config = ConfigHome(environment);
  if (!config.empty()) sources += AddMappingsFrom(config / "vantor" / "gamecontrollerdb.txt");
  return sources;
}

void GamepadToJoystick(const GLFWgamepadstate& pad, float axes[kGamepadAxes],
                       unsigned char buttons[kGamepadButtons]) {
  for (int i = 0; i < kGamepadAxes; ++i) axes[i] = pad.axes[kAxisPlaces[i]];
  for (int i = 0; i < kGamepadButtons; ++i) buttons[i] = GLFW_RELEASE;
  for (const ButtonPlace& place : kButtonPlaces)
    buttons[place.joystick] = pad.buttons[place.gamepad];
}

#else

int LoadGamepadMappings(const Environment&) { return 0; }

#endif

}  // namespace vantor
