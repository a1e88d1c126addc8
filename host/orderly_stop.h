// Orderly stops: SIGTERM (a log-out), SIGINT (Ctrl+C) and SIGHUP (the
// terminal closing) end the desktop process the way closing its window
// does. The handler only notes which signal came; the main loop
// (gxtkApp::Run) reads the note between passes and ends, the app is
// suspended so that it keeps its state, and the process exits with 128 plus
// the signal's number. RunHost installs the handler; the crash signals keep
// their runtime-error handler (runtime/debug.h). Main thread only, but for
// the handler itself.
#pragma once

namespace vantor {

void InstallStopHandlers();
// The signal that asked for a stop, or 0 while none has.
int StopSignal();
// The process's exit status after the loop: 0, or 128 + the stop signal.
int StopExitStatus();
// Forgets a stop asked for (for tests, which raise the signals themselves).
void ClearStopRequest();

}  // namespace vantor
