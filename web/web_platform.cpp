#include "web/web_platform.h"

#include <GLFW/glfw3.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

namespace vantor {
namespace {

// The browser window's inner size in device pixels, at least one pixel each
// way (GLFW refuses an empty window).
void PageSize(int* width, int* height) {
  double cssWidth = 0, cssHeight = 0;
  emscripten_get_element_css_size("#canvas", &cssWidth, &cssHeight);
  const double ratio = emscripten_get_device_pixel_ratio();
  *width = std::max(1, static_cast<int>(std::lround(cssWidth * ratio)));
  *height = std::max(1, static_cast<int>(std::lround(cssHeight * ratio)));
}

bool PageHidden() {
  EmscriptenVisibilityChangeEvent status{};
  emscripten_get_visibility_status(&status);
  return status.hidden != 0;
}

EM_BOOL OnPageResize(int, const EmscriptenUiEvent*, void* platform) {
  static_cast<WebPlatform*>(platform)->FitToPage();
  return EM_FALSE;
}

}  // namespace

std::unique_ptr<WebPlatform> WebPlatform::Open() {
  WindowOptions options;
  PageSize(&options.width, &options.height);
  GLFWwindow* window = OpenWindow(options);
  if (!window) return nullptr;
  return std::make_unique<WebPlatform>(window);
}

WebPlatform::WebPlatform(GLFWwindow* window) : GlfwPlatform(window) {
  emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, OnPageResize);
}

// The page's next animation frame is the only wait there is.
void WebPlatform::Sleep(double) {}
void WebPlatform::WaitEvents() {}

bool WebPlatform::WindowOpen() { return true; }
bool WebPlatform::Iconified() { return PageHidden(); }
bool WebPlatform::Active() { return !PageHidden(); }

void WebPlatform::FitToPage() {
  int width = 0, height = 0;
  PageSize(&width, &height);
  glfwSetWindowSize(Window(), width, height);
}

}  // namespace vantor
