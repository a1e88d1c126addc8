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
