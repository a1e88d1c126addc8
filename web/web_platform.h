// WebPlatform: the browser page behind the host's Platform seam.
//
// The same GLFW window as on the desktop (emscripten's GLFW draws into the
// page's canvas) with what a page changes: it cannot block, so sleeping and
// waiting return at once and the page's animation frames drive the loop
// (web/web_host.h); its window never closes; it is "iconified" while the page
// is hidden (another tab, a minimised browser) and active while it is
// visible, since a page has no focus that GLFW could report.
//
// The page (web/page.js) keeps the picture 4:3 in any window shape and says
// which canvas size, in device pixels, it is ready for: one that has been
// still for a moment and whose art variant is in the file system. The
// canvas takes that size, so the game always sees a 4:3 device and lays
// every screen out as at 640 x 480. Touch comes from the page's listener:
// the first finger is the pointer (host/touch_pointer.h) and presses the
// left button where it is. Opened by WebHostMain after glfwInit; lives as
// long as the page. Main thread only.
#pragma once

#include <memory>

#include "host/glfw_platform.h"
#include "host/touch_pointer.h"

namespace vantor {

class WebPlatform : public GlfwPlatform {
 public:
  // A window of the size the page is ready for; null when the canvas has no
  // WebGL.
  static std::unique_ptr<WebPlatform> Open();

  explicit WebPlatform(GLFWwindow* window);

  void Sleep(double seconds) override;
  void WaitEvents() override;
  bool WindowOpen() override;
  bool Iconified() override;
  bool Active() override;
  // The pointer: the finger's place after a touch, the mouse's once the
  // mouse has moved since.
  void MousePosition(float* x, float* y) override;

  // Gives the canvas the size the page is ready for, when that changed.
  void FitToPage();
  // A finger's start, move or end at (x, y) in canvas pixels.
  void Touch(TouchPointer::Phase phase, int finger, float x, float y);

 private:
  TouchPointer touch_;
  bool touchedLast_ = false;
  // The mouse's place when the last touch began: it moving means the mouse
  // is the pointer again.
  double cursorAtTouchX_ = 0, cursorAtTouchY_ = 0;
};

}  // namespace vantor
