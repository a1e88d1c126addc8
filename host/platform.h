// The host's window system seam: the main loop's clock and event source and
// the window it draws into.
//
// `gxtkApp::Run`, the graphics device and the input device reach the window
// system only through the current `Platform`. The real one wraps GLFW
// (host/glfw_platform.h); tests substitute a scripted one so that the loop's
// schedule runs without a window, and the replay tool substitutes a virtual
// clock. Main thread only.
#pragma once

namespace vantor {

class Platform {
 public:
  virtual ~Platform() = default;

  // Clock: seconds since the platform started, and sleeping without
  // processing events.
  virtual double Time() = 0;
  virtual void Sleep(double seconds) = 0;

  // Events: deliver pending window, key, character and mouse events to the
  // registered handlers; WaitEvents blocks until at least one arrives (or,
  // on the desktop, a short while has passed, so that the loop sees a stop
  // signal, host/orderly_stop.h).
  virtual void PollEvents() = 0;
  virtual void WaitEvents() = 0;

  // Window state.
  virtual bool WindowOpen() = 0;
  virtual bool Iconified() = 0;
  virtual bool Active() = 0;  // has the input focus
  // Drawable size in pixels (the framebuffer, or the part of it the game
  // draws into) and that part's bottom-left corner in the framebuffer (0, 0
  // unless the picture is letterboxed).
  virtual void WindowSize(int* width, int* height) = 0;
  virtual void ViewOrigin(int* x, int* y) { *x = *y = 0; }
  virtual void SwapBuffers() = 0;

  // Input sampled at the start of each update: the mouse in framebuffer
  // pixels, and joystick 0 (returns the number of axes / buttons written,
  // at most `max`; 0 when no joystick is present).
  virtual void MousePosition(float* x, float* y) = 0;
  virtual int JoystickAxes(float* axes, int max) = 0;
  virtual int JoystickButtons(unsigned char* buttons, int max) = 0;
};

// The platform in use; null until start-up (or a test) sets one.
Platform* CurrentPlatform();
void SetCurrentPlatform(Platform* platform);

}  // namespace vantor
