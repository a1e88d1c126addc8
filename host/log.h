// The one way the program reports what went wrong outside the runtime-error
// path: a line on standard error that names the program and the part that
// speaks ("Vantor: files: cannot load ..."), flushed at once so that it is
// there even if the process ends next. Fatal adds the line that says why
// before the process ends, so nothing stops silently. The texts the game
// fixes elsewhere keep their own paths: the runtime error and its debugger
// lines (runtime/debug.h), Print, the record's load messages and the start-up
// lines on standard output. Callable from any thread but not from a signal
// handler (it writes through stdio). It depends on nothing (a library of its
// own, vantor_log), so the runtime below the host reports through it too.
#pragma once

#include <string_view>

namespace vantor {

// Names the program in every line from now on; the game is "Vantor" unless a
// tool that links the game (the replay tool) names itself at start-up. The
// name is kept by reference: pass a literal.
void SetLogProgram(std::string_view program);

// Writes "PROGRAM: PART: MESSAGE" and a newline to standard error.
void LogProblem(std::string_view part, std::string_view message);

// Logs like LogProblem, then ends the process with std::abort (a core and a
// failure status: this is a broken promise, not a player's mistake).
[[noreturn]] void Fatal(std::string_view part, std::string_view message);

}  // namespace vantor
