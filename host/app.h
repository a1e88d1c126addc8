// gxtkApp: the host application object, the process start-up and the main
// loop.
//
// Owns the three devices (graphics, input, audio), the fixed-rate update
// clock with bounded catch-up, suspension while the window is iconified, and
// the guarded calls into the app after each of which the collector runs.
// `HostMain` is the process entry used by every executable built on the
// framework: it opens the window and the sound device, runs the framework
// start-up given to it (module initialisation and creation of the app) and
// then the loop; its pieces, and a start-up without the loop for tests and
// tools, are in host/startup.h. Main thread only.
#pragma once

#include <AL/alc.h>

#include "host/object.h"
#include "runtime/text.h"

namespace vantor {

class gxtkGraphics;
class gxtkInput;
class gxtkAudio;
class gxtkApp;
class Platform;

// The catch-up bound: at most this many updates run in one pass of the loop
// before the backlog is dropped and the schedule restarts from now. Seven
// (about 0.12 s of play at 60 Hz) is enough to work off a hiccup unseen,
// and few enough that a machine too slow for the update rate still renders
// between bursts instead of falling ever further behind.
inline constexpr int kMaxCatchUpUpdates = 7;

// What one pass of the main loop leaves the loop to wait for before the
// next pass. The desktop loop blocks on it; a browser, which cannot block,
// runs the next pass at its next animation frame whatever it is.
struct LoopWait {
  enum Kind {
    kNothing,  // the next pass may run at once
    kEvents,   // until a window event arrives
    kTime,     // for `seconds`, until the next update is due
  };
  Kind kind = kNothing;
  double seconds = 0;
};

namespace host {
extern gxtkApp* app;     // the one application object
extern int (*runner)();  // RunApp once an application object exists
extern int argc;
extern char** argv;
extern ALCdevice* alcDevice;    // null when opening failed
extern ALCcontext* alcContext;  // null when creating it failed
}  // namespace host

class gxtkApp : public gxtkObject {
 public:
  gc_ref<gxtkGraphics> graphics;
  gc_ref<gxtkInput> input;
  gc_ref<gxtkAudio> audio;
  int updateRate = 0;
  double nextUpdate = 0;
  double updatePeriod = 0;
  bool suspended = false;

  gxtkApp();
  void mark() override;

  virtual gxtkGraphics* GraphicsDevice();
  virtual gxtkInput* InputDevice();
  virtual gxtkAudio* AudioDevice();
  virtual String AppTitle();  // "<TODO>", kept for the framework's API; nothing calls it
  virtual String LoadState();
  virtual int SaveState(String state);
  virtual String LoadString(String path);  // kept for the framework's API; nothing calls it
  virtual int SetUpdateRate(int hertz);
  virtual int MilliSecs();
  virtual int Loading();
  virtual int OnCreate();
  virtual int OnSuspend();
  virtual int OnResume();
  virtual int OnUpdate();
  virtual int OnRender();
  virtual int OnLoading();

  // The main loop; returns when the window has been closed or a stop
  // signal came (host/orderly_stop.h), with the app suspended. It is Start
  // and then Pass after Pass on the current platform, blocking in between
  // on what each pass asks for.
  void Run();
  // The loop's pieces, for a host that runs the passes itself (the browser
  // build runs one or more per animation frame). Start: OnCreate and the
  // first render. Pass: one non-blocking pass: suspend, resume, or run the
  // schedule of the current update rate; it never sleeps or waits.
  void Start();
  LoopWait Pass(Platform& platform);

  void InvokeOnCreate();
  void InvokeOnUpdate();
  void InvokeOnRender();
  void InvokeOnSuspend();
  void InvokeOnResume();

  // Event handlers the platform calls from inside PollEvents/WaitEvents.
  // Key codes are the window library's; the input device translates them.
  void OnKey(int key, int action);
  void OnChar(int character, int action);
  void OnMouseButton(int button, int action);
  void OnWindowSize(int width, int height);
  void OnWindowRefresh();

 private:
  // One pass of the fixed-rate schedule: the time until the next update
  // is due, or poll, catch up and render.
  LoopWait RunFixedRatePass(Platform& platform);
  // Up to kMaxCatchUpUpdates updates; true when the clock is still behind.
  bool CatchUp(Platform& platform);
  // Begin, the app's render callback, flush and swap, collect.
  void RenderFrame();
};

// Calls Run() on host::app; returns 0.
int RunApp();

// The framework start-up that HostMain runs inside its exception guard:
// `module_init` gives every module its initial globals (and registers the
// collector roots), `module_main` creates the app.
struct StartupHooks {
  void (*module_init)();
  void (*module_main)();
};

// Runs the framework start-up and then the runner: argc/argv, signal
// handlers, collector lists, module init, one marking pass, module main.
void StdMain(int argc, char** argv, const StartupHooks& hooks);

// The whole process: window, sound device, StdMain, the loop, clean-up.
// Returns the process exit status.
int HostMain(int argc, char** argv, const StartupHooks& hooks);

}  // namespace vantor
