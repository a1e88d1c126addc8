// Standard gamepads: their named buttons and sticks land where the game
// reads joystick 0, and mapping files named by the environment are read.
#include <gtest/gtest.h>

#include <map>

#include "host/gamepad.h"
#include "tests/host/temp_dir.h"

namespace vantor {
namespace {

using testing::ScopedWorkDir;
using testing::WriteFile;

TEST(Gamepad, NamedButtonsLandOnTheJoystickButtonsTheGameReads) {
  struct Case {
    const char* name;
    int gamepadButton;
    int joystickButton;  // the game's controls table: 0-3 buttons, 7 back, 8-11 the d-pad
  };
  const Case cases[] = {
      {"A", GLFW_GAMEPAD_BUTTON_A, 0},
      {"B", GLFW_GAMEPAD_BUTTON_B, 1},
      {"X", GLFW_GAMEPAD_BUTTON_X, 2},
      {"Y", GLFW_GAMEPAD_BUTTON_Y, 3},
      {"start", GLFW_GAMEPAD_BUTTON_START, 7},
      {"d-pad left", GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8},
      {"d-pad up", GLFW_GAMEPAD_BUTTON_DPAD_UP, 9},
      {"d-pad right", GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, 10},
      {"d-pad down", GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11},
  };
  for (const Case& c : cases) {
    GLFWgamepadstate pad{};
    pad.buttons[c.gamepadButton] = GLFW_PRESS;
    float axes[kGamepadAxes];
    unsigned char buttons[kGamepadButtons];
    GamepadToJoystick(pad, axes, buttons);
    for (int b = 0; b < kGamepadButtons; ++b)
      EXPECT_EQ(buttons[b], b == c.joystickButton ? GLFW_PRESS : GLFW_RELEASE)
          << c.name << " lit joystick button " << b;
  }
  GLFWgamepadstate pad{};
  pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = -0.9f;
  pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = 0.5f;
  pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = 0.25f;
  float axes[kGamepadAxes];
  unsigned char buttons[kGamepadButtons];
  GamepadToJoystick(pad, axes, buttons);
  EXPECT_EQ(axes[0], -0.9f) << "left stick horizontal";
  EXPECT_EQ(axes[1], 0.5f) << "left stick vertical, down positive";
  EXPECT_EQ(axes[3], 0.25f) << "right stick horizontal";
}

TEST(Gamepad, ReadsTheMappingFilesTheEnvironmentNames) {
  ASSERT_TRUE(glfwInit()) << "GLFW takes mappings once initialised";
  ScopedWorkDir work;
  // One pad in the database's line format.
  const std::string mapping =
      "03000000aaaa0000bbbb000000000000,Test Pad,a:b0,b:b1,x:b2,y:b3,start:b7,"
      "leftx:a0,lefty:a1,platform:Linux,\n";
  WriteFile("named.txt", mapping);
  WriteFile("config/vantor/gamecontrollerdb.txt", mapping);
  const std::string root = work.Path().string();
  const auto environment = [&](std::map<std::string, std::string> values) {
    return [values](const char* name) -> const char* {
      const auto found = values.find(name);
      return found == values.end() ? nullptr : found->second.c_str();
    };
  };
  EXPECT_EQ(LoadGamepadMappings(environment({{"SDL_GAMECONTROLLERCONFIG", root + "/named.txt"},
                                             {"XDG_CONFIG_HOME", root + "/config"}})),
            2);
  EXPECT_EQ(LoadGamepadMappings(environment({{"HOME", root}})), 0) << "no ~/.config/vantor file";
  EXPECT_EQ(LoadGamepadMappings(environment({{"SDL_GAMECONTROLLERCONFIG", root + "/none"}})), 0);
  glfwTerminate();
}

}  // namespace
}  // namespace vantor
