// The browser build's process start-up and main loop.
//
// A page cannot block, so where HostMain (host/app.h) runs gxtkApp::Run,
// WebHostMain starts the app and returns, leaving the browser to call the
// loop's non-blocking passes once per animation frame. The schedule inside a
// pass (fixed-rate updates with bounded catch-up, one render) is the
// desktop's. The page's visibility drives suspension: hiding the page runs a
// pass at once, which suspends the app (and the game saves), since a hidden
// page gets no animation frames; showing it again resumes. Before the passes
// of a frame the canvas takes the size the page is ready for; after them
// the saved record is kept (web/saved_record.h). The page's touch listener
// reports fingers through vantor_touch. Main thread only.
#pragma once

#include "host/app.h"

namespace vantor {

// Window (the page's canvas), sound device, the kept record, the framework
// start-up, the app's creation and first render; then the passes run from
// the browser's animation frames. Returns 0 once the loop is scheduled.
int WebHostMain(int argc, char** argv, const StartupHooks& hooks);

}  // namespace vantor
