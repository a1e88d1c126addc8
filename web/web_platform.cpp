#include "web/web_platform.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "host/app.h"

namespace vantor {
namespace {

// The canvas size the page is ready for (web/page.js); false before the
// page has one.
EM_JS(bool, PageCanvasSize, (int* width, int* height), {
  const size = Module['vantorCanvasSize'];
  if (!size) return false;
  HEAP32[width >> 2] = size.width;
  HEAP32[height >> 2] = size.height;
  return true;
});

bool PageHidden() {
  EmscriptenVisibilityChangeEvent status{};
  emscripten_get_visibility_status(&status);
  return status.hidden != 0;
}

}  // namespace

std::unique_ptr<WebPlatform> WebPlatform::Open() {
  WindowOptions options;
  PageCanvasSize(&options.width, &options.height);
  GLFWwindow* window = OpenWindow(options);
  if (!window) return nullptr;
  return std::make_unique<WebPlatform>(window);
}

WebPlatform::WebPlatform(GLFWwindow* window) : GlfwPlatform(window) {}

// The page's next animation frame is the only wait there is.
void WebPlatform::Sleep(double) {}
void WebPlatform::WaitEvents() {}

bool WebPlatform::WindowOpen() { return true; }
bool WebPlatform::Iconified() { return PageHidden(); }
bool WebPlatform::Active() { return !PageHidden(); }

void WebPlatform::MousePosition(float* x, float* y) {
  double cursorX = 0, cursorY = 0;
  glfwGetCursorPos(Window(), &cursorX, &cursorY);
  if (touchedLast_ && (cursorX != cursorAtTouchX_ || cursorY != cursorAtTouchY_))
    touchedLast_ = false;
  if (!touchedLast_) return GlfwPlatform::MousePosition(x, y);
  *x = touch_.X();
  *y = touch_.Y();
}

void WebPlatform::FitToPage() {
  int width = 0, height = 0, currentWidth = 0, currentHeight = 0;
  if (!PageCanvasSize(&width, &height)) return;
  glfwGetWindowSize(Window(), &currentWidth, &currentHeight);
  if (width != currentWidth || height != currentHeight) glfwSetWindowSize(Window(), width, height);
}

void WebPlatform::Touch(TouchPointer::Phase phase, int finger, float x, float y) {
  const TouchPointer::Change change = touch_.Report(phase, finger, x, y);
  if (change == TouchPointer::Change::kNone || !host::app) return;
  if (change == TouchPointer::Change::kPress) {
    touchedLast_ = true;
    glfwGetCursorPos(Window(), &cursorAtTouchX_, &cursorAtTouchY_);
  }
  host::app->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT,
                           change == TouchPointer::Change::kPress ? GLFW_PRESS : GLFW_RELEASE);
}

}  // namespace vantor
