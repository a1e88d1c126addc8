// GlfwPlatform: the real window system behind the host's Platform seam.
//
// Owns the one GLFW 3 window with its OpenGL context and forwards GLFW's
// key, character, mouse-button, size and refresh callbacks to the host
// application object (`host::app`). `HostMain` opens it after glfwInit and
// destroys it before glfwTerminate; tools and tests open it hidden or at
// another size. Every operation is virtual so that a tool can subclass it,
// for example to replace the clock or script the mouse while keeping the
// real window. Main thread only.
#pragma once

#include <memory>

#include "host/platform.h"

struct GLFWwindow;

namespace vantor {

inline constexpr int kDefaultWindowWidth = 640;
inline constexpr int kDefaultWindowHeight = 480;
inline constexpr const char* kDefaultWindowTitle = "Vantor Game";

struct WindowOptions {
  int width = kDefaultWindowWidth;
  int height = kDefaultWindowHeight;
  const char* title = kDefaultWindowTitle;
  // Tools and tests that need a context but no window on screen pass false.
  bool visible = true;
};

// A pointer coordinate in window units as a whole framebuffer pixel: scaled
// by framebuffer / window size (more than 1 on high-density displays, 1
// while the window has no size) and truncated.
float PointerToPixels(double pointer, int framebufferSize, int windowSize);

class GlfwPlatform : public Platform {
 public:
  // Opens a window (not resizable, no depth or stencil buffer, centred on
  // the primary monitor) and makes its context current. glfwInit must have
  // succeeded. Returns null when the window cannot be opened.
  static GLFWwindow* OpenWindow(const WindowOptions& options);
  // OpenWindow wrapped in a platform; null when the window cannot be opened.
  static std::unique_ptr<GlfwPlatform> Open(const WindowOptions& options = {});

  // Takes ownership of `window` and installs the event callbacks on it.
  explicit GlfwPlatform(GLFWwindow* window);
  ~GlfwPlatform() override;
  GlfwPlatform(const GlfwPlatform&) = delete;
  GlfwPlatform& operator=(const GlfwPlatform&) = delete;

  GLFWwindow* Window() const { return window_; }

  double Time() override;
  void Sleep(double seconds) override;
  void PollEvents() override;
  void WaitEvents() override;
  bool WindowOpen() override;
  bool Iconified() override;
  bool Active() override;
  void WindowSize(int* width, int* height) override;
  void SwapBuffers() override;
  void MousePosition(float* x, float* y) override;
  int JoystickAxes(float* axes, int max) override;
  int JoystickButtons(unsigned char* buttons, int max) override;

 private:
  GLFWwindow* window_;
};

}  // namespace vantor
