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

struct WindowIdentity;

inline constexpr int kDefaultWindowWidth = 640;
inline constexpr int kDefaultWindowHeight = 480;
inline constexpr const char* kDefaultWindowTitle = "Vantor Game";

struct WindowOptions {
  int width = kDefaultWindowWidth;
  int height = kDefaultWindowHeight;
  const char* title = kDefaultWindowTitle;
  // Tools and tests that need a context but no window on screen pass false.
  bool visible = true;
  // Fullscreen on the primary monitor, the picture letterboxed at the
  // aspect of width x height (the window it returns to).
  bool fullscreen = false;
  // The class and icon the desktop knows the window by; none when null.
  const WindowIdentity* identity = nullptr;
};

// The largest rectangle of a `contentWidth` x `contentHeight` aspect that
// fits, centred, in a `width` x `height` drawable; x and y count from the
// bottom left, as OpenGL does.
struct ViewRect {
  int x, y, width, height;
};
ViewRect Letterbox(int width, int height, int contentWidth, int contentHeight);

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
  // OpenWindow wrapped in a platform (fullscreen when the options say so);
  // null when the window cannot be opened.
  static std::unique_ptr<GlfwPlatform> Open(const WindowOptions& options = {});

  // Takes ownership of `window` and installs the event callbacks on it.
  explicit GlfwPlatform(GLFWwindow* window);

  // Between the window and letterboxed fullscreen on the primary monitor
  // (F11). The game sees a resize and reloads its art for the new size.
  void ToggleFullscreen();
  // F11 fullscreen, F12 a screenshot of the next frame shown, F3 the frame
  // statistics overlay; true when `key` is one of them (press or release):
  // the window keeps these keys, the game never sees them.
  bool ComfortKey(int key, int action);
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
  // In fullscreen, the letterboxed part of the drawable.
  void WindowSize(int* width, int* height) override;
  void ViewOrigin(int* x, int* y) override;
  void SwapBuffers() override;
  void MousePosition(float* x, float* y) override;
  int JoystickAxes(float* axes, int max) override;
  int JoystickButtons(unsigned char* buttons, int max) override;

 private:
  // The part of the framebuffer the game draws into.
  ViewRect View();
  // Before a swap: the statistics (and their overlay) and a pending
  // screenshot.
  void FinishFrame();
  // A standard gamepad on joystick 1 laid out as the game reads joystick 0;
  // false when there is none (the raw joystick is read instead).
  bool ReadGamepad(float* axes, unsigned char* buttons);

  GLFWwindow* window_;
  bool fullscreen_ = false;
  // The windowed size and place, kept while fullscreen.
  int windowX_ = 0, windowY_ = 0, windowWidth_ = 0, windowHeight_ = 0;
  bool screenshotPending_ = false;
  bool statisticsShown_ = false;
};

}  // namespace vantor
