// vantor-web-replay: a won run played by touch in the browser, for the
// browser test (tests/web/browser_test.mjs). The replay tool's bot only
// advises: before each update it says where it would press, and the pointer
// is the page's touches (web/touch.js, the game page's own touch handling),
// which the test lays where the bot advised. The test steps the virtual
// clock itself (vantor_step), so a run never races the machine and is the
// desktop tool's `--autoplay win --phase-shots` run, drawn by the page's
// WebGL. Its shots (phase-N, early in each phase N) go to /shots in the
// page's memory file system, where the test reads them.
#include <emscripten/emscripten.h>

#include <memory>
#include <sstream>
#include <string>

#include "host/touch_pointer.h"
#include "tools/replay/autoplay.h"
#include "tools/replay/options.h"
#include "tools/replay/session.h"
#include "tools/replay/state_line.h"

namespace {

using namespace vantor;
using namespace vantor::replay;

// Where a finger is, or where the bot would have it.
struct Pointer {
  float x = 0, y = 0;
  bool down = false;
  bool operator==(const Pointer&) const = default;
};

// A session whose pointer the page's touches move; the bot's pointer
// becomes the advice and moves nothing.
class TouchSession : public Session {
 public:
  explicit TouchSession(SessionOptions options) : Session(std::move(options), Script{}, nullptr) {}

  void PointerTo(float x, float y) override {
    advice_.x = x;
    advice_.y = y;
  }
  void PointerDown() override { advice_.down = true; }
  void PointerUp() override { advice_.down = false; }

  void Touch(TouchPointer::Phase phase, int finger, float x, float y) {
    const TouchPointer::Change change = touch_.Report(phase, finger, x, y);
    Session::PointerTo(touch_.X(), touch_.Y());
    if (change == TouchPointer::Change::kPress) Session::PointerDown();
    if (change == TouchPointer::Change::kRelease) Session::PointerUp();
  }

  const Pointer& advice() const { return advice_; }
  Pointer touched() const { return {touch_.X(), touch_.Y(), touch_.Down()}; }

 private:
  Pointer advice_;
  TouchPointer touch_;
};

SessionOptions RunOptions() {
  SessionOptions options;
  options.outDir = "/shots";
  options.phaseShots = true;
  options.maxUpdates = kDefaultAutoplayBound;
  return options;
}

// The bot and the session it advises in; live as long as the page.
struct TouchRun {
  Autoplay bot{Goal::kWin};
  TouchSession session{RunOptions()};

  // The bot's say for the coming update, asked as the session would ask it
  // just before that update.
  void Consult() { bot.BeforeUpdate(session, session.updatesRun() + 1); }
};

std::unique_ptr<TouchRun> touchRun;

std::string PointerJson(const Pointer& pointer) {
  std::ostringstream json;
  json << R"({"x":)" << pointer.x << R"(,"y":)" << pointer.y << R"(,"down":)"
       << (pointer.down ? "true" : "false") << '}';
  return json.str();
}

}  // namespace

// The page's touch listener (web/touch.js) reports each finger here, in
// canvas pixels.
extern "C" EMSCRIPTEN_KEEPALIVE void vantor_touch(int phase, int finger, float x, float y) {
  if (touchRun) touchRun->session.Touch(static_cast<TouchPointer::Phase>(phase), finger, x, y);
}

// Runs up to `updates` updates, stopping early after one that changed the
// bot's advice or the phase, or ended the bot's run. Answers in JSON: how
// many ran, the pointer as the touches left it before them, the advice for
// the next update, whether the bot is done, its report and the game's state
// line; empty when the game did not start. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vantor_step(int updates) {
  static std::string answer;
  if (!touchRun) return "";
  TouchSession& session = touchRun->session;
  const Pointer touched = session.touched();
  int ran = 0;
  while (ran < updates && !touchRun->bot.Finished()) {
    const int phase = session.game().phase();
    const Pointer advice = session.advice();
    if (!session.Step()) break;
    ++ran;
    touchRun->Consult();
    if (session.advice() != advice || session.game().phase() != phase) break;
  }
  std::ostringstream json;
  json << R"({"updates":)" << ran << R"(,"touched":)" << PointerJson(touched) << R"(,"advice":)"
       << PointerJson(session.advice()) << R"(,"botDone":)"
       << (touchRun->bot.Finished() ? "true" : "false") << R"(,"report":")"
       << touchRun->bot.Report(session.updatesRun()) << R"(","state":)"
       << StateLine(session.game(), session.updatesRun()) << '}';
  answer = json.str();
  return answer.c_str();
}

int main() {
  touchRun = std::make_unique<TouchRun>();
  if (!touchRun->session.Start()) {
    touchRun.reset();
    return 1;
  }
  touchRun->Consult();
  return 0;
}
