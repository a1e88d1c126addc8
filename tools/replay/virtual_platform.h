// VirtualPlatform: the real window with a virtual clock, a scripted pointer
// and frame capture, for the replay tool (tools/replay/session.cpp).
//
// The clock is set by the replay loop, one update period per update, so a
// run depends on its inputs only and never on the machine's speed; Sleep
// returns at once. The pointer reports the position the script or the bot
// last gave; a gamepad is there only once the bot connects one, and then
// reports the buttons and stick it last set. When a capture is requested, the next swap first reads
// the finished frame back from the back buffer. Main thread only.
#pragma once

#include <vector>

#include "host/glfw_platform.h"

namespace vantor::replay {

// One captured frame: RGB bytes, top row first.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
};

class VirtualPlatform : public GlfwPlatform {
 public:
  using GlfwPlatform::GlfwPlatform;

  void SetTime(double seconds) { time_ = seconds; }
  void SetPointer(float x, float y) {
    pointerX_ = x;
    pointerY_ = y;
  }
  // A standard gamepad: its buttons in the host's order, its first stick.
  void ConnectPad() {
    padAxes_.assign(kPadAxes, 0);
    padButtons_.assign(kPadButtons, 0);
  }
  void SetPadButton(int button, bool down);
  void SetPadStick(float x, float y);
  // The next SwapBuffers reads the frame into captured() first.
  void RequestCapture() {
    captureRequested_ = true;
    captured_ = false;
  }
  // Whether the last swap captured a frame (cleared by RequestCapture).
  bool HasCapture() const { return captured_; }
  const Frame& captured() const { return frame_; }

  double Time() override { return time_; }
  void Sleep(double) override {}
  void MousePosition(float* x, float* y) override;
  // Only the scripted pad: a pad connected to the machine must not change
  // a replay.
  int JoystickAxes(float* axes, int max) override;
  int JoystickButtons(unsigned char* buttons, int max) override;
  void SwapBuffers() override;

 private:
  void ReadBackBuffer();

  double time_ = 0;
  float pointerX_ = 0, pointerY_ = 0;
  static constexpr int kPadAxes = 6, kPadButtons = 15;
  std::vector<float> padAxes_;  // empty: no pad
  std::vector<unsigned char> padButtons_;
  bool captureRequested_ = false;
  bool captured_ = false;
  Frame frame_;
};

}  // namespace vantor::replay
