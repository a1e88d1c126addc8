#include "tools/replay/virtual_platform.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace vantor::replay {
namespace {

constexpr int kRgbBytes = 3;
constexpr int kRgbaBytes = 4;

}  // namespace

void VirtualPlatform::MousePosition(float* x, float* y) {
  *x = pointerX_;
  *y = pointerY_;
}

void VirtualPlatform::SetPadButton(int button, bool down) {
  if (button >= 0 && button < static_cast<int>(padButtons_.size()))
    padButtons_[button] = down ? GLFW_PRESS : GLFW_RELEASE;
}

void VirtualPlatform::SetPadStick(float x, float y) {
  if (padAxes_.empty()) return;
  padAxes_[0] = x;
  padAxes_[1] = y;
}

int VirtualPlatform::JoystickAxes(float* axes, int max) {
  const int count = std::min(static_cast<int>(padAxes_.size()), max);
  std::copy_n(padAxes_.begin(), count, axes);
  return count;
}

int VirtualPlatform::JoystickButtons(unsigned char* buttons, int max) {
  const int count = std::min(static_cast<int>(padButtons_.size()), max);
  std::copy_n(padButtons_.begin(), count, buttons);
  return count;
}

void VirtualPlatform::SwapBuffers() {
  if (captureRequested_) {
    ReadBackBuffer();
    captureRequested_ = false;
    captured_ = true;
  }
  GlfwPlatform::SwapBuffers();
}

// OpenGL reads bottom row first; the frame is kept top row first as image
// files store it. RGBA is the one layout every GL, WebGL included, must read
// back; the alpha is dropped.
void VirtualPlatform::ReadBackBuffer() {
  int width = 0, height = 0;
  WindowSize(&width, &height);
  const size_t pixels = static_cast<size_t>(width) * height;
  std::vector<unsigned char> bottomUp(pixels * kRgbaBytes);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
#ifndef __EMSCRIPTEN__
  // WebGL reads the one buffer it draws into and has no such call.
  glReadBuffer(GL_BACK);
#endif
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  frame_.width = width;
  frame_.height = height;
  frame_.rgb.resize(pixels * kRgbBytes);
  for (int row = 0; row < height; ++row) {
    const unsigned char* from =
        &bottomUp[static_cast<size_t>(width) * (height - 1 - row) * kRgbaBytes];
    unsigned char* to = &frame_.rgb[static_cast<size_t>(width) * row * kRgbBytes];
    for (int x = 0; x < width; ++x, from += kRgbaBytes, to += kRgbBytes)
      std::copy_n(from, kRgbBytes, to);
  }
}

}  // namespace vantor::replay
