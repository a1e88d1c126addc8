#include "host/glfw_platform.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <cstdlib>
#include <iostream>

#include "host/app.h"
#include "host/frame_stats.h"
#include "host/gamepad.h"
#include "host/graphics.h"
#include "host/log.h"
#include "host/screenshot.h"
#include "host/window_identity.h"

namespace vantor {
namespace {

constexpr int kFullscreenKey = GLFW_KEY_F11;
constexpr int kScreenshotKey = GLFW_KEY_F12;
constexpr int kStatisticsKey = GLFW_KEY_F3;
// How long a wait for window events lasts at most.
constexpr double kStopCheckSeconds = 0.25;

// GLFW delivers these inside PollEvents/WaitEvents, on the main thread. With
// no application object yet (a window opened by a tool before start-up)
// there is nobody to tell.
void KeyCallback(GLFWwindow* window, int key, int, int action, int) {
  auto* platform = static_cast<GlfwPlatform*>(glfwGetWindowUserPointer(window));
  if (platform && platform->ComfortKey(key, action)) return;
  if (host::app) host::app->OnKey(key, action);
}

const char* ProcessEnvironment(const char* name) { return std::getenv(name); }

void CharCallback(GLFWwindow*, unsigned int character) {
  if (host::app) host::app->OnChar(static_cast<int>(character), GLFW_PRESS);
}

void MouseButtonCallback(GLFWwindow*, int button, int action, int) {
  if (host::app) host::app->OnMouseButton(button, action);
}

void WindowSizeCallback(GLFWwindow*, int width, int height) {
  if (host::app) host::app->OnWindowSize(width, height);
}

void WindowRefreshCallback(GLFWwindow*) {
  if (host::app) host::app->OnWindowRefresh();
}

}  // namespace

ViewRect Letterbox(int width, int height, int contentWidth, int contentHeight) {
  if (contentWidth < 1 || contentHeight < 1) return {0, 0, width, height};
  // Cross-multiplied in 64 bits so the aspect is compared exactly.
  const long long wide = static_cast<long long>(width) * contentHeight;
  const long long tall = static_cast<long long>(height) * contentWidth;
  ViewRect view{0, 0, width, height};
  if (wide > tall) view.width = static_cast<int>(tall / contentHeight);
  if (tall > wide) view.height = static_cast<int>(wide / contentWidth);
  view.x = (width - view.width) / 2;
  view.y = (height - view.height) / 2;
  return view;
}

float PointerToPixels(double pointer, int framebufferSize, int windowSize) {
  const double ratio = windowSize > 0 ? static_cast<double>(framebufferSize) / windowSize : 1.0;
  // Whole pixels, as the device has always reported the pointer.
  return static_cast<float>(static_cast<int>(pointer * ratio));
}

GLFWwindow* GlfwPlatform::OpenWindow(const WindowOptions& options) {
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DEPTH_BITS, 0);
  glfwWindowHint(GLFW_STENCIL_BITS, 0);
  // Shown only once centred, so the window never appears elsewhere first.
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  if (options.identity) HintWindowClass(*options.identity);
  GLFWwindow* window =
      glfwCreateWindow(options.width, options.height, options.title, nullptr, nullptr);
  if (!window) return nullptr;
  if (options.identity) SetWindowIcon(window, *options.identity);
  if (const GLFWvidmode* desktop = glfwGetVideoMode(glfwGetPrimaryMonitor())) {
    glfwSetWindowPos(window, (desktop->width - options.width) / 2,
                     (desktop->height - options.height) / 2);
  }
  if (options.visible) glfwShowWindow(window);
  glfwMakeContextCurrent(window);
  return window;
}

std::unique_ptr<GlfwPlatform> GlfwPlatform::Open(const WindowOptions& options) {
  GLFWwindow* window = OpenWindow(options);
  if (!window) return nullptr;
  LoadGamepadMappings(ProcessEnvironment);
  auto platform = std::make_unique<GlfwPlatform>(window);
  if (options.fullscreen) platform->ToggleFullscreen();
  return platform;
}

GlfwPlatform::GlfwPlatform(GLFWwindow* window) : window_(window) {
  glfwSetWindowUserPointer(window_, this);
  glfwSetKeyCallback(window_, KeyCallback);
  glfwSetCharCallback(window_, CharCallback);
  glfwSetMouseButtonCallback(window_, MouseButtonCallback);
  glfwSetWindowSizeCallback(window_, WindowSizeCallback);
  glfwSetWindowRefreshCallback(window_, WindowRefreshCallback);
}

GlfwPlatform::~GlfwPlatform() { glfwDestroyWindow(window_); }

void GlfwPlatform::ToggleFullscreen() {
  if (fullscreen_) {
    glfwSetWindowMonitor(window_, nullptr, windowX_, windowY_, windowWidth_, windowHeight_,
                         GLFW_DONT_CARE);
    fullscreen_ = false;
    return;
  }
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
  if (!mode) return;
  glfwGetWindowPos(window_, &windowX_, &windowY_);
  glfwGetWindowSize(window_, &windowWidth_, &windowHeight_);
  glfwSetWindowMonitor(window_, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
  fullscreen_ = true;
}

bool GlfwPlatform::ComfortKey(int key, int action) {
  if (key != kFullscreenKey && key != kScreenshotKey && key != kStatisticsKey) return false;
  if (action != GLFW_PRESS) return true;
  if (key == kFullscreenKey) ToggleFullscreen();
  if (key == kScreenshotKey) screenshotPending_ = true;
  if (key == kStatisticsKey) statisticsShown_ = !statisticsShown_;
  return true;
}

void GlfwPlatform::FinishFrame() {
  int width = 0, height = 0;
  glfwGetFramebufferSize(window_, &width, &height);
  if (host::app && host::app->graphics)
    frame_stats::FrameShown(host::app->graphics->drawCalls, host::app->graphics->quadsDrawn);
  if (statisticsShown_)
    frame_stats::DrawOverlay(frame_stats::Lines(frame_stats::Last()), width, height);
  if (!screenshotPending_) return;
  screenshotPending_ = false;
  const std::filesystem::path shot = SaveScreenshot(ScreenshotDirectory(), width, height);
  // Where the picture went is news on standard output; a failure is a problem.
  if (shot.empty()) {
    LogProblem("screenshot", "cannot save a screenshot in " + ScreenshotDirectory().string());
  } else {
    std::cout << "Screenshot saved to " << shot.string() << std::endl;
  }
}

ViewRect GlfwPlatform::View() {
  int width = 0, height = 0;
  glfwGetFramebufferSize(window_, &width, &height);
  if (!fullscreen_) return {0, 0, width, height};
  // The windowed size in framebuffer pixels fixes the aspect.
  return Letterbox(width, height, windowWidth_, windowHeight_);
}

double GlfwPlatform::Time() { return glfwGetTime(); }

void GlfwPlatform::Sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void GlfwPlatform::PollEvents() { glfwPollEvents(); }

// A signal does not end GLFW's wait, so the wait ends by itself now and then
// for the loop to see a stop asked for meanwhile.
void GlfwPlatform::WaitEvents() { glfwWaitEventsTimeout(kStopCheckSeconds); }

bool GlfwPlatform::WindowOpen() { return !glfwWindowShouldClose(window_); }

bool GlfwPlatform::Iconified() { return glfwGetWindowAttrib(window_, GLFW_ICONIFIED) != 0; }

bool GlfwPlatform::Active() { return glfwGetWindowAttrib(window_, GLFW_FOCUSED) != 0; }

void GlfwPlatform::WindowSize(int* width, int* height) {
  const ViewRect view = View();
  *width = view.width;
  *height = view.height;
}

void GlfwPlatform::ViewOrigin(int* x, int* y) {
  const ViewRect view = View();
  *x = view.x;
  *y = view.y;
}

void GlfwPlatform::SwapBuffers() {
  FinishFrame();
  glfwSwapBuffers(window_);
}

void GlfwPlatform::MousePosition(float* x, float* y) {
  double cursorX = 0, cursorY = 0;
  glfwGetCursorPos(window_, &cursorX, &cursorY);
  int windowWidth = 0, windowHeight = 0, pixelWidth = 0, pixelHeight = 0;
  glfwGetWindowSize(window_, &windowWidth, &windowHeight);
  glfwGetFramebufferSize(window_, &pixelWidth, &pixelHeight);
  // Relative to the letterboxed picture's top left corner.
  const ViewRect view = View();
  *x = PointerToPixels(cursorX, pixelWidth, windowWidth) - view.x;
  *y = PointerToPixels(cursorY, pixelHeight, windowHeight) - (pixelHeight - view.y - view.height);
}

bool GlfwPlatform::ReadGamepad(float* axes, unsigned char* buttons) {
#if VANTOR_GAMEPADS
  GLFWgamepadstate pad;
  if (!glfwJoystickIsGamepad(GLFW_JOYSTICK_1) || !glfwGetGamepadState(GLFW_JOYSTICK_1, &pad))
    return false;
  float padAxes[kGamepadAxes];
  unsigned char padButtons[kGamepadButtons];
  GamepadToJoystick(pad, padAxes, padButtons);
  if (axes) std::copy(padAxes, padAxes + kGamepadAxes, axes);
  if (buttons) std::copy(padButtons, padButtons + kGamepadButtons, buttons);
  return true;
#else
  (void)axes;
  (void)buttons;
  return false;
#endif
}

int GlfwPlatform::JoystickAxes(float* axes, int max) {
  if (max >= kGamepadAxes && ReadGamepad(axes, nullptr)) return kGamepadAxes;
  int count = 0;
  const float* reported = glfwGetJoystickAxes(GLFW_JOYSTICK_1, &count);
  if (!reported) return 0;
  count = std::min(count, max);
  std::copy(reported, reported + count, axes);
  return count;
}

int GlfwPlatform::JoystickButtons(unsigned char* buttons, int max) {
  if (max >= kGamepadButtons && ReadGamepad(nullptr, buttons)) return kGamepadButtons;
  int count = 0;
  const unsigned char* reported = glfwGetJoystickButtons(GLFW_JOYSTICK_1, &count);
  if (!reported) return 0;
  count = std::min(count, max);
  std::copy(reported, reported + count, buttons);
  return count;
}

}  // namespace vantor
