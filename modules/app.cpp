#include "modules/app.h"

#include "modules/audio.h"
#include "modules/graphics.h"
#include "modules/input.h"
#include "modules/roots.h"

namespace vantor {

App* App::g_new() {
  app::device = gc_new<AppDevice>()->g_new(this);
  return this;
}

AppDevice* AppDevice::g_new(App* served) {
  app = served;
  graphics::SetGraphicsDevice(GraphicsDevice());
  input::SetInputDevice(InputDevice());
  audio::SetAudioDevice(AudioDevice());
  return this;
}

void AppDevice::mark() {
  gxtkApp::mark();
  app.queue_mark();
}

int AppDevice::SetUpdateRate(int hertz) {
  gxtkApp::SetUpdateRate(hertz);
  appUpdateRate = hertz;
  return 0;
}

int AppDevice::OnCreate() {
  graphics::SetFont(nullptr, graphics::kDefaultFontFirstChar);
  return app->m_OnCreate();
}

int AppDevice::OnUpdate() { return app->m_OnUpdate(); }
int AppDevice::OnSuspend() { return app->m_OnSuspend(); }
int AppDevice::OnResume() { return app->m_OnResume(); }

int AppDevice::OnRender() {
  graphics::BeginRender();
  const int result = app->m_OnRender();
  graphics::EndRender();
  return result;
}

int AppDevice::OnLoading() {
  graphics::BeginRender();
  const int result = app->m_OnLoading();
  graphics::EndRender();
  return result;
}

namespace app {

gc_ref<AppDevice> device;

void ModuleInit() { InitModuleGlobal<device>(); }

int SetUpdateRate(int hertz) { return device->SetUpdateRate(hertz); }
int Millisecs() { return device->MilliSecs(); }
String LoadState() { return device->LoadState(); }
int SaveState(String state) { return device->SaveState(state); }

}  // namespace app
}  // namespace vantor
