#include "web/web_host.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <memory>

#include "host/startup.h"
#include "runtime/debug.h"
#include "web/saved_record.h"
#include "web/web_platform.h"

namespace vantor {
namespace {

// A frame runs passes until one would wait. A pass that suspends or resumes
// asks for another at once, and a pass that renders may find the next update
// already due after a slow render; this bound keeps the second render in one
// frame the last, since the browser shows only one of them.
constexpr int kMaxPassesPerFrame = 2;

// The page's window; lives as long as the page.
std::unique_ptr<WebPlatform> page;

void RunPasses() {
  page->FitToPage();
  for (int n = 0; n < kMaxPassesPerFrame; ++n) {
    if (host::app->Pass(*page).kind != LoopWait::kNothing) break;
  }
  KeepSavedRecord();
}

EM_BOOL OnVisibilityChange(int, const EmscriptenVisibilityChangeEvent*, void*) {
  RunPasses();
  return EM_FALSE;
}

}  // namespace

// The page's touch listener (web/page.js) reports each finger here.
extern "C" EMSCRIPTEN_KEEPALIVE void vantor_touch(int phase, int finger, float x, float y) {
  if (page) page->Touch(static_cast<TouchPointer::Phase>(phase), finger, x, y);
}

int WebHostMain(int argc, char** argv, const StartupHooks& hooks) {
  if (!glfwInit()) fail("glfwInit failed");
  page = WebPlatform::Open();
  if (!page) fail("glfwOpenWindow failed");
  SetCurrentPlatform(page.get());
  OpenAudioDevice();
  RestoreSavedRecord();
  StartFramework(argc, argv, hooks);
  if (!host::app) return 0;
  host::app->Start();
  emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibilityChange);
  // Zero frames per second: the browser's animation frames set the pace.
  emscripten_set_main_loop(RunPasses, 0, EM_FALSE);
  return 0;
}

}  // namespace vantor
