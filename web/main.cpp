// vantor-web: the game's entry point in the browser build, and the state
// line the page hands to its tests (window.vantorState in web/page.js).
#include <emscripten/emscripten.h>

#include <string>

#include "game/game_view.h"
#include "game/startup.h"
#include "host/frame_stats.h"
#include "modules/app.h"
#include "tools/replay/state_line.h"
#include "web/web_host.h"

namespace {

int updatesRun = 0;

void CountUpdates(vantor::frame_stats::Span span, double) {
  if (span == vantor::frame_stats::Span::kUpdate) ++updatesRun;
}

}  // namespace

// The replay tool's state line of the game as it is now; empty before the
// game exists. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vantor_state_line() {
  static std::string line;
  const bool running = vantor::app::device && vantor::app::device->app.get();
  line =
      running ? vantor::replay::StateLine(vantor::GameView::Running(), updatesRun) : std::string();
  return line.c_str();
}

int main(int argc, char** argv) {
  vantor::frame_stats::Listen(CountUpdates);
  return vantor::WebHostMain(argc, argv, vantor::GameStartupHooks());
}
