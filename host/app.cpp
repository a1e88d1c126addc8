#include "host/app.h"

#include "host/audio.h"
#include "host/files.h"
#include "host/frame_stats.h"
#include "host/graphics.h"
#include "host/input.h"
#include "host/log.h"
#include "host/orderly_stop.h"
#include "host/platform.h"

namespace vantor {

namespace host {
gxtkApp* app = nullptr;
int (*runner)() = nullptr;
int argc = 0;
char** argv = nullptr;
ALCdevice* alcDevice = nullptr;
ALCcontext* alcContext = nullptr;
}  // namespace host

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

Platform& CurrentHostPlatform() { return *CurrentPlatform(); }

}  // namespace

gxtkApp::gxtkApp() {
  host::app = this;
  // host::app is a root the collector may already have marked this cycle.
  gc_barrier(this);
  graphics = gc_new<gxtkGraphics>();
  input = gc_new<gxtkInput>();
  audio = gc_new<gxtkAudio>();
  host::runner = RunApp;
}

void gxtkApp::mark() {
  graphics.queue_mark();
  input.queue_mark();
  audio.queue_mark();
}

gxtkGraphics* gxtkApp::GraphicsDevice() { return graphics; }
gxtkInput* gxtkApp::InputDevice() { return input; }
gxtkAudio* gxtkApp::AudioDevice() { return audio; }
// Kept for the framework's API (nothing calls it); the window's title is set at start-up.
String gxtkApp::AppTitle() { return T("<TODO>"); }
String gxtkApp::LoadState() { return LoadStateFile(); }
int gxtkApp::SaveState(String state) { return SaveStateFile(state); }
String gxtkApp::LoadString(String path) { return LoadStringFile(path); }

int gxtkApp::SetUpdateRate(int hertz) {
  updateRate = hertz;
  if (hertz) {
    updatePeriod = 1.0 / hertz;
    nextUpdate = CurrentHostPlatform().Time() + updatePeriod;
  }
  return 0;
}

int gxtkApp::MilliSecs() {
  return static_cast<int>(CurrentHostPlatform().Time() * kMillisecondsPerSecond);
}

int gxtkApp::Loading() { return 0; }
int gxtkApp::OnCreate() { return 0; }
int gxtkApp::OnSuspend() { return 0; }
int gxtkApp::OnResume() { return 0; }
int gxtkApp::OnUpdate() { return 0; }
int gxtkApp::OnRender() { return 0; }
int gxtkApp::OnLoading() { return 0; }

void gxtkApp::InvokeOnCreate() {
  // The app is written for a window it can draw into from the start.
  if (!graphics->Validate()) Fatal("app", "the window has no size to draw into at start-up");
  OnCreate();
  gc_collect();
}

void gxtkApp::InvokeOnUpdate() {
  if (suspended || !updateRate || !graphics->Validate()) return;
  {
    const frame_stats::Timer timer(frame_stats::Span::kUpdate);
    input->BeginUpdate();
    OnUpdate();
    input->EndUpdate();
  }
  const frame_stats::Timer timer(frame_stats::Span::kCollect);
  gc_collect();
}

void gxtkApp::InvokeOnRender() {
  if (suspended || !graphics->Validate()) return;
  RenderFrame();
}

void gxtkApp::RenderFrame() {
  {
    const frame_stats::Timer timer(frame_stats::Span::kRender);
    graphics->BeginRender();
    OnRender();
    graphics->EndRender();
  }
  const frame_stats::Timer timer(frame_stats::Span::kCollect);
  gc_collect();
}

void gxtkApp::InvokeOnSuspend() {
  if (suspended) return;
  suspended = true;
  OnSuspend();
  audio->OnSuspend();
  // Stop the clock through the virtual setter (so the app sees rate 0) but
  // remember the rate, which the resume restarts.
  if (const int rate = updateRate) {
    SetUpdateRate(0);
    updateRate = rate;
  }
  gc_collect();
}

void gxtkApp::InvokeOnResume() {
  if (!suspended) return;
  // Restarting the clock at now + one period avoids a burst of catch-up
  // updates for the time spent suspended.
  if (const int rate = updateRate) {
    updateRate = 0;
    SetUpdateRate(rate);
  }
  audio->OnResume();
  OnResume();
  suspended = false;
  gc_collect();
}

void gxtkApp::Run() {
  Platform& platform = CurrentHostPlatform();
  Start();
  while (platform.WindowOpen() && StopSignal() == 0) {
    const LoopWait wait = Pass(platform);
    if (wait.kind == LoopWait::kEvents) platform.WaitEvents();
    if (wait.kind == LoopWait::kTime) platform.Sleep(wait.seconds);
  }
  // However it ends, the app is suspended as when iconified: whatever it
  // keeps then (the game saves its record) it keeps at the end too.
  InvokeOnSuspend();
}

void gxtkApp::Start() {
  InvokeOnCreate();
  InvokeOnRender();
}

LoopWait gxtkApp::Pass(Platform& platform) {
  if (platform.Iconified()) {
    if (suspended) return {LoopWait::kEvents};
    InvokeOnSuspend();
    return {};
  }
  if (suspended) {
    // Only the focused window resumes; a restored one in the background
    // stays suspended until it is clicked.
    if (!platform.Active()) return {LoopWait::kEvents};
    InvokeOnResume();
    return {};
  }
  if (!updateRate) {
    if (graphics->Validate()) RenderFrame();
    return {LoopWait::kEvents};
  }
  return RunFixedRatePass(platform);
}

LoopWait gxtkApp::RunFixedRatePass(Platform& platform) {
  // The due test uses the clock at single precision, the catch-up test at
  // full precision.
  const auto now = static_cast<float>(platform.Time());
  if (nextUpdate > now) return {LoopWait::kTime, nextUpdate - now};
  platform.PollEvents();
  if (CatchUp(platform)) nextUpdate = platform.Time();
  InvokeOnRender();
  return {};
}

bool gxtkApp::CatchUp(Platform& platform) {
  for (int n = 0; n < kMaxCatchUpUpdates; ++n) {
    nextUpdate += updatePeriod;
    InvokeOnUpdate();
    if (!updateRate || nextUpdate > platform.Time()) return false;
  }
  return true;
}

void gxtkApp::OnKey(int key, int action) { input->KeyEvent(key, action); }
void gxtkApp::OnChar(int character, int action) { input->CharEvent(character, action); }
void gxtkApp::OnMouseButton(int button, int action) { input->MouseButtonEvent(button, action); }
void gxtkApp::OnWindowSize(int, int) {}
void gxtkApp::OnWindowRefresh() {}

int RunApp() {
  host::app->Run();
  return 0;
}

}  // namespace vantor
