#include "tools/replay/virtual_platform.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace vantor::replay {
namespace {

constexpr int kRgbBytes = 3;

}  // namespace

void VirtualPlatform::MousePosition(float* x, float* y) {
  *x = pointerX_;
  *y = pointerY_;
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
// files store it.
void VirtualPlatform::ReadBackBuffer() {
  int width = 0, height = 0;
  WindowSize(&width, &height);
  const size_t rowBytes = static_cast<size_t>(width) * kRgbBytes;
  std::vector<unsigned char> bottomUp(rowBytes * height);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  frame_.width = width;
  frame_.height = height;
  frame_.rgb.resize(bottomUp.size());
  for (int row = 0; row < height; ++row) {
    std::copy_n(&bottomUp[rowBytes * (height - 1 - row)], rowBytes, &frame_.rgb[rowBytes * row]);
  }
}

}  // namespace vantor::replay
