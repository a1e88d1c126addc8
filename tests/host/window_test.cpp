// The real window GlfwPlatform opens under X, windowed and fullscreen, and
// the letterbox fullscreen draws into.
// Needs a display with a window manager (scripts/with-display provides
// Xvfb and openbox).
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "host/glfw_platform.h"
#include "tools/testing/display_lock.h"

namespace vantor::testing {
namespace {

TEST(Window, LetterboxKeepsTheAspectCentredWithBarsOnTheLongSide) {
  const struct {
    int width, height;
    std::vector<int> view;  // x, y, width, height
  } cases[] = {{1920, 1080, {240, 0, 1440, 1080}},
               {1280, 1024, {0, 32, 1280, 960}},
               {1280, 960, {0, 0, 1280, 960}},
               {1921, 1080, {240, 0, 1440, 1080}}};
  for (const auto& c : cases) {
    const ViewRect view = Letterbox(c.width, c.height, 640, 480);
    EXPECT_EQ((std::vector<int>{view.x, view.y, view.width, view.height}), c.view)
        << c.width << "x" << c.height;
  }
}

// Polls events until `done` holds: the X server and window manager apply
// sizes and places in their own time, which on a busy machine can be long.
// The bound is only for when it never happens.
bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    glfwPollEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

// GLFW stays initialised for the rest of the process: terminating it
// unloads Mesa's driver, whose one-time allocations would then count as
// leaks in a sanitizer build.
TEST(Window, TheWindowIsCentredFixedSizeAndFullscreenLetterboxesIt) {
  ASSERT_TRUE(MayOpenWindow());
  ASSERT_TRUE(glfwInit()) << "run under ./scripts/with-display";
  std::unique_ptr<GlfwPlatform> platform = GlfwPlatform::Open();
  ASSERT_NE(platform, nullptr);
  const GLFWvidmode* desktop = glfwGetVideoMode(glfwGetPrimaryMonitor());
  int x = 0, y = 0, width = 0, height = 0, originX = -1, originY = -1;
  glfwGetWindowPos(platform->Window(), &x, &y);
  EXPECT_EQ(std::pair(x, y), std::pair((desktop->width - 640) / 2, (desktop->height - 480) / 2))
      << "centred";
  EXPECT_EQ(glfwGetWindowAttrib(platform->Window(), GLFW_RESIZABLE), GLFW_FALSE);
  platform->WindowSize(&width, &height);
  EXPECT_EQ(std::pair(width, height), std::pair(640, 480));

  const ViewRect view = Letterbox(desktop->width, desktop->height, 640, 480);
  platform->ToggleFullscreen();
  ASSERT_TRUE(WaitFor([&] {
    platform->WindowSize(&width, &height);
    return width == view.width && height == view.height;
  })) << "waited two minutes for the letterboxed fullscreen view; it is "
      << width << "x" << height;
  platform->ViewOrigin(&originX, &originY);
  EXPECT_EQ(std::pair(originX, originY), std::pair(view.x, view.y));
}

}  // namespace
}  // namespace vantor::testing
