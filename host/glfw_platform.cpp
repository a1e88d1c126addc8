#include "host/glfw_platform.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "host/app.h"

namespace vantor {
namespace {

// GLFW delivers these inside PollEvents/WaitEvents, on the main thread. With
// no application object yet (a window opened by a tool before start-up)
// there is nobody to tell.
void KeyCallback(GLFWwindow*, int key, int, int action, int) {
  if (host::app) host::app->OnKey(key, action);
}

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

float PointerToPixels(double pointer, int framebufferSize, int windowSize) {
  const double ratio =
      windowSize > 0 ? static_cast<double>(framebufferSize) / windowSize : 1.0;
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
  GLFWwindow* window =
      glfwCreateWindow(options.width, options.height, options.title, nullptr, nullptr);
  if (!window) return nullptr;
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
  return std::make_unique<GlfwPlatform>(window);
}

GlfwPlatform::GlfwPlatform(GLFWwindow* window) : window_(window) {
  glfwSetKeyCallback(window_, KeyCallback);
  glfwSetCharCallback(window_, CharCallback);
  glfwSetMouseButtonCallback(window_, MouseButtonCallback);
  glfwSetWindowSizeCallback(window_, WindowSizeCallback);
  glfwSetWindowRefreshCallback(window_, WindowRefreshCallback);
}

GlfwPlatform::~GlfwPlatform() { glfwDestroyWindow(window_); }

double GlfwPlatform::Time() { return glfwGetTime(); }

void GlfwPlatform::Sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void GlfwPlatform::PollEvents() { glfwPollEvents(); }

void GlfwPlatform::WaitEvents() { glfwWaitEvents(); }

bool GlfwPlatform::WindowOpen() { return !glfwWindowShouldClose(window_); }

bool GlfwPlatform::Iconified() { return glfwGetWindowAttrib(window_, GLFW_ICONIFIED) != 0; }

bool GlfwPlatform::Active() { return glfwGetWindowAttrib(window_, GLFW_FOCUSED) != 0; }

void GlfwPlatform::WindowSize(int* width, int* height) {
  glfwGetFramebufferSize(window_, width, height);
}

void GlfwPlatform::SwapBuffers() { glfwSwapBuffers(window_); }

void GlfwPlatform::MousePosition(float* x, float* y) {
  double cursorX = 0, cursorY = 0;
  glfwGetCursorPos(window_, &cursorX, &cursorY);
  int windowWidth = 0, windowHeight = 0, pixelWidth = 0, pixelHeight = 0;
  glfwGetWindowSize(window_, &windowWidth, &windowHeight);
  glfwGetFramebufferSize(window_, &pixelWidth, &pixelHeight);
  *x = PointerToPixels(cursorX, pixelWidth, windowWidth);
  *y = PointerToPixels(cursorY, pixelHeight, windowHeight);
}

int GlfwPlatform::JoystickAxes(float* axes, int max) {
  int count = 0;
  const float* reported = glfwGetJoystickAxes(GLFW_JOYSTICK_1, &count);
  if (!reported) return 0;
  count = std::min(count, max);
  std::copy(reported, reported + count, axes);
  return count;
}

int GlfwPlatform::JoystickButtons(unsigned char* buttons, int max) {
  int count = 0;
  const unsigned char* reported = glfwGetJoystickButtons(GLFW_JOYSTICK_1, &count);
  if (!reported) return 0;
  count = std::min(count, max);
  std::copy(reported, reported + count, buttons);
  return count;
}

}  // namespace vantor
