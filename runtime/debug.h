// Diagnostic output, runtime errors and the debugger line protocol.
//
// Owns the line printers script code uses (`Print`, `DebugLog`), the
// runtime-error path every fatal condition ends in (`dbg_error`), the signal
// handler that turns crashes into runtime errors, the script-level `Error`,
// and the small protocol on standard input and standard error through which
// an attached debugger can inspect objects and step. Called from everywhere;
// main thread only. Nothing here is shown in the window.
#pragma once

#include "runtime/gc.h"
#include "runtime/text.h"

namespace vantor {

// Base of script exceptions; one that nothing catches reaches the top level.
class ThrowableObject : public Object {};

// The text of an uncaught plain runtime error thrown by `dbg_throw`.
struct RuntimeErrorMessage {
  const char* message;
};

extern const char* dbg_info;  // current debug location; nothing sets it here
extern String dbg_exstack;
extern int dbg_suspend;
extern int dbg_stepmode;

int Print(const String& text);       // low 8 bits of each unit, newline, flush
int DebugLog(const String& text);    // the same as Print
void dbg_print(const String& text);  // to standard error in one write
void warn(const char* text);
[[noreturn]] void fail(const char* text);  // prints and exits with status -1
int Error(const String& text);             // empty: exit 0; otherwise a runtime error
[[noreturn]] void dbg_error(const char* message);
// Heap exhaustion: the runtime error "Out of memory", reported without
// allocating anything.
[[noreturn]] void dbg_out_of_memory();
String dbg_stacktrace();
[[noreturn]] void dbg_throw(const char* message);
void dbg_stop();
int DebugStop();
void sighandler(int signal_number);
// Installs `sighandler` for SIGSEGV, SIGILL and SIGFPE.
void install_signal_handlers();

}  // namespace vantor
