// The app module: the seam between the host application and script code.
//
// `App` is the script base class a game derives from; `AppDevice` is the
// host application object that forwards the host's callbacks to one App.
// Creating an App creates its AppDevice and publishes the host's graphics,
// input and audio devices to their modules. Also the host services the game
// calls directly: update rate, millisecond clock, saved state.
#pragma once

#include "host/app.h"
#include "runtime/gc.h"
#include "runtime/text.h"

namespace vantor {

class App : public Object {
 public:
  virtual int m_OnCreate() { return 0; }
  virtual int m_OnUpdate() { return 0; }
  virtual int m_OnSuspend() { return 0; }
  virtual int m_OnResume() { return 0; }
  virtual int m_OnRender() { return 0; }
  virtual int m_OnLoading() { return 0; }

  // Script constructor: creates the AppDevice serving this app.
  App* g_new();
};

class AppDevice : public gxtkApp {
 public:
  gc_ref<App> app;
  int appUpdateRate = 0;

  AppDevice* g_new(App* served);
  AppDevice* g_new2() { return this; }

  void mark() override;
  int SetUpdateRate(int hertz) override;
  int OnCreate() override;
  int OnSuspend() override;
  int OnResume() override;
  int OnUpdate() override;
  int OnRender() override;
  int OnLoading() override;
};

namespace app {

extern gc_ref<AppDevice> device;

void ModuleInit();  // globals to null; registers the collector roots
int SetUpdateRate(int hertz);
int Millisecs();
String LoadState();
int SaveState(String state);

}  // namespace app
}  // namespace vantor
