// The app module: the seam between the host application and script code.
//
// `App` is the script base class a game derives from; `AppDevice` is the
// host application object that forwards the host's callbacks to one App.
// Creating an App creates its AppDevice and publishes the host's graphics,
// input and audio devices to their modules. Also the host services the game
// calls directly: update rate, millisecond clock, saved state.
//
// The host loop (host/app.h) calls the AppDevice's callbacks, which call the
// game's, all on the main thread; the game calls the app:: functions from
// them. The App and its AppDevice live for the whole process.
#pragma once

#include "host/app.h"
#include "runtime/gc.h"
#include "runtime/text.h"

namespace vantor {

// The game derives from App and overrides the callbacks it needs; each
// returns 0 and does nothing here.
class App : public Object {
 public:
  virtual int m_OnCreate() { return 0; }   // once, after start-up, before any update
  virtual int m_OnUpdate() { return 0; }   // at the update rate: input read, state moved
  virtual int m_OnSuspend() { return 0; }  // the window was iconified (the game saves)
  virtual int m_OnResume() { return 0; }   // the window is back
  virtual int m_OnRender() { return 0; }   // once per loop pass, between Begin/EndRender
  virtual int m_OnLoading() { return 0; }  // kept for the framework's API; never called

  // Script constructor: creates the AppDevice serving this app.
  App* g_new();
};

// The host application object serving one App: the host loop calls these
// overrides, and each forwards to the App's callback of the same name.
class AppDevice : public gxtkApp {
 public:
  gc_ref<App> app;
  int appUpdateRate = 0;  // follows every SetUpdateRate, the host's own too

  AppDevice* g_new(App* served);        // serves `served`; publishes the devices
  AppDevice* g_new2() { return this; }  // kept for the framework's API; nothing calls it

  void mark() override;
  int SetUpdateRate(int hertz) override;  // the host's, then remembers it; 0
  int OnCreate() override;                // selects the default font, then app->m_OnCreate()
  int OnSuspend() override;               // app->m_OnSuspend()
  int OnResume() override;                // app->m_OnResume()
  int OnUpdate() override;                // app->m_OnUpdate()
  int OnRender() override;                // app->m_OnRender() between BeginRender and EndRender
  int OnLoading() override;               // as OnRender with m_OnLoading; the loop never calls it
};

namespace app {

extern gc_ref<AppDevice> device;  // the one AppDevice, from App::g_new on; a root

void ModuleInit();             // start-up: device to null, made a collector root
int SetUpdateRate(int hertz);  // updates per second from now on (0: only on events); 0
int Millisecs();               // milliseconds on the host's clock since it started
String LoadState();            // the saved record's text; "" when there is none
int SaveState(String state);   // replaces the record: 0, -1 cannot open, -2 write failed

}  // namespace app
}  // namespace vantor
