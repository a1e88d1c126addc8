// WebPlatform: the browser page behind the host's Platform seam.
//
// The same GLFW window as on the desktop (emscripten's GLFW draws into the
// page's canvas) with what a page changes: it cannot block, so sleeping and
// waiting return at once and the page's animation frames drive the loop
// (web/web_host.h); its window never closes; it is "iconified" while the page
// is hidden (another tab, a minimised browser) and active while it is
// visible, since a page has no focus that GLFW could report. The canvas
// follows the size of the browser window in device pixels, and the game's
// own resize rule lays its screens out in whatever size that is. Opened by
// WebHostMain after glfwInit; lives as long as the page. Main thread only.
#pragma once

#include <memory>

#include "host/glfw_platform.h"

namespace vantor {

class WebPlatform : public GlfwPlatform {
 public:
  // A window as large as the page; null when the canvas has no WebGL.
  static std::unique_ptr<WebPlatform> Open();

  explicit WebPlatform(GLFWwindow* window);

  void Sleep(double seconds) override;
  void WaitEvents() override;
  bool WindowOpen() override;
  bool Iconified() override;
  bool Active() override;

  // Gives the canvas the size of the browser window.
  void FitToPage();
};

}  // namespace vantor
