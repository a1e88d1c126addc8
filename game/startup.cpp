#include "game/startup.h"

#include "game/myapp.h"
#include "modules/app.h"
#include "modules/audio.h"
#include "modules/graphics.h"
#include "modules/input.h"
#include "modules/random.h"

namespace vantor {
namespace {

void ModuleInit() {
  graphics::ModuleInit();
  input::ModuleInit();
  audio::ModuleInit();
  app::ModuleInit();
  game::ModuleInit();
  random::ModuleInit();
}

void ModuleMain() { gc_new<MyApp>()->g_new(); }

}  // namespace

StartupHooks GameStartupHooks() { return {ModuleInit, ModuleMain}; }

// ModuleMain makes the application object a MyApp.
MyApp& RunningGame() { return static_cast<MyApp&>(*app::device->app); }

}  // namespace vantor
