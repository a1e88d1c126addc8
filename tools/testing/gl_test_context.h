// A real OpenGL context for tests that draw: one hidden 640 x 480 window of
// the host's own GLFW platform per test process, made current on the main
// thread and published as the current Platform, so that the graphics
// device reads its size and swaps through it. Used by the host and module
// graphics tests (and any test that needs a drawable); run them under
// ./scripts/with-display.
#pragma once

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "host/glfw_platform.h"
#include "tools/testing/display_lock.h"

namespace vantor::testing {

inline constexpr int kTestWindowWidth = 640;
inline constexpr int kTestWindowHeight = 480;

// Opens the window on first use; every call makes its context and platform
// current again. Fails the calling test when no display is available, or
// when ctest runs it without the display lock (display_lock.h). GLFW is
// never terminated: that would unload the OpenGL driver before the leak
// checker runs at exit, leaving it with driver allocations it cannot
// attribute.
inline Platform* UseGlTestContext() {
  EXPECT_TRUE(MayOpenWindow());
  static GlfwPlatform* platform = []() -> GlfwPlatform* {
    if (!glfwInit()) return nullptr;
    return GlfwPlatform::Open({kTestWindowWidth, kTestWindowHeight, "Vantor test", false})
        .release();
  }();
  EXPECT_NE(platform, nullptr) << "no OpenGL window: run under ./scripts/with-display";
  if (!platform) return nullptr;
  glfwMakeContextCurrent(platform->Window());
  SetCurrentPlatform(platform);
  return platform;
}

}  // namespace vantor::testing
