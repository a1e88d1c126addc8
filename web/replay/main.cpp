// vantor-web-replay: the replay tool's bot plays a whole won run in the
// browser, drawn by the page's WebGL, so that the browser test
// (tests/web/browser_test.mjs) can hold each phase next to the desktop's
// picture of it. The run is the desktop tool's `--autoplay win
// --phase-shots`: the same virtual clock, so the same run. Its shots go to
// /shots in the page's memory file system, where the test reads them, and
// the bot's report is the last line printed. The run is synchronous; the
// page shows nothing meanwhile.
#include <iostream>

#include "tools/replay/autoplay.h"
#include "tools/replay/options.h"
#include "tools/replay/session.h"

int main() {
  using namespace vantor::replay;
  SessionOptions options;
  options.outDir = "/shots";
  options.phaseShots = true;
  options.maxUpdates = kDefaultAutoplayBound;
  Autoplay bot(Goal::kWin);
  Session session(options, Script{}, &bot);
  const bool ran = session.Run();
  std::cout << bot.Report(session.updatesRun()) << std::endl;
  return ran && bot.Succeeded() ? 0 : 1;
}
