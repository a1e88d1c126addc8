// FakePlatform: a scripted window system for tests that run the host loop,
// the input device or a whole app without a window.
//
// The clock only moves when the code under test sleeps or when the test
// moves it (`now`). Window state, framebuffer size, mouse and joystick are
// plain fields. Events are scripted: each PollEvents runs every queued
// event, each WaitEvents runs the next one, and a
// WaitEvents with nothing queued closes the window, so a loop that would
// block forever ends instead. Used by tests/host, tests/modules,
// tests/record and the game harness (tools/testing/game_harness.h).
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include "host/platform.h"

namespace vantor::testing {

class FakePlatform : public Platform {
 public:
  double now = 0;
  bool open = true, iconified = false, active = true;
  int width = 640, height = 480;
  float mouseX = 0, mouseY = 0;
  std::vector<float> axes;  // joystick 0; empty: no joystick
  std::vector<unsigned char> buttons;
  std::deque<std::function<void()>> events;
  int sleeps = 0, waits = 0;

  double Time() override { return now; }
  void Sleep(double seconds) override {
    ++sleeps;
    now += seconds;
  }
  void PollEvents() override {
    while (!events.empty()) RunNextEvent();
  }
  void WaitEvents() override {
    ++waits;
    if (events.empty()) open = false;
    else RunNextEvent();
  }
  bool WindowOpen() override { return open; }
  bool Iconified() override { return iconified; }
  bool Active() override { return active; }
  void WindowSize(int* w, int* h) override {
    *w = iconified ? 0 : width;
    *h = iconified ? 0 : height;
  }
  void SwapBuffers() override {}
  void MousePosition(float* x, float* y) override {
    *x = mouseX;
    *y = mouseY;
  }
  int JoystickAxes(float* out, int max) override { return CopyOut(axes, out, max); }
  int JoystickButtons(unsigned char* out, int max) override { return CopyOut(buttons, out, max); }

 private:
  void RunNextEvent() {
    auto event = std::move(events.front());
    events.pop_front();
    event();
  }
  template <class T>
  static int CopyOut(const std::vector<T>& from, T* out, int max) {
    const int count = std::min(static_cast<int>(from.size()), max);
    std::copy(from.begin(), from.begin() + count, out);
    return count;
  }
};

}  // namespace vantor::testing
