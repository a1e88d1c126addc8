// A real OpenGL context for tests that draw: one hidden 640 x 480 GLFW
// window per test process, current on the main thread, published as the
// current Platform so that the graphics device reads its size and swaps
// through it. Used by the host and module graphics tests (and any test that
// needs a drawable); run them under ./scripts/with-display.
#pragma once

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "host/platform.h"

namespace vantor::testing {

inline constexpr int kTestWindowWidth = 640;
inline constexpr int kTestWindowHeight = 480;

// Only the window-facing operations do anything real; the clock and input
// answer as an idle desktop would.
class GlTestPlatform : public Platform {
 public:
  explicit GlTestPlatform(GLFWwindow* window) : window_(window) {}

  double Time() override { return glfwGetTime(); }
  void Sleep(double) override {}
  void PollEvents() override { glfwPollEvents(); }
  void WaitEvents() override { glfwPollEvents(); }
  bool WindowOpen() override { return !glfwWindowShouldClose(window_); }
  bool Iconified() override { return false; }
  bool Active() override { return true; }
  void WindowSize(int* width, int* height) override {
    glfwGetFramebufferSize(window_, width, height);
  }
  void SwapBuffers() override { glfwSwapBuffers(window_); }
  void MousePosition(float* x, float* y) override { *x = *y = 0; }
  int JoystickAxes(float*, int) override { return 0; }
  int JoystickButtons(unsigned char*, int) override { return 0; }

  GLFWwindow* window() const { return window_; }

 private:
  GLFWwindow* window_;
};

// Creates the window and context on first use and makes the platform
// current; later calls only make sure it is still the current platform.
// Fails the calling test when no display is available. GLFW is never
// terminated: that would unload the OpenGL driver before the leak checker
// runs at exit, leaving it with driver allocations it cannot attribute.
inline GlTestPlatform* UseGlTestContext() {
  static GlTestPlatform* platform = [] () -> GlTestPlatform* {
    if (!glfwInit()) return nullptr;
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window =
        glfwCreateWindow(kTestWindowWidth, kTestWindowHeight, "Vantor test", nullptr, nullptr);
    if (!window) return nullptr;
    glfwMakeContextCurrent(window);
    return new GlTestPlatform(window);
  }();
  EXPECT_NE(platform, nullptr) << "no OpenGL window: run under ./scripts/with-display";
  if (platform) SetCurrentPlatform(platform);
  return platform;
}

}  // namespace vantor::testing
