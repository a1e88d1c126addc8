// The vantor-game process: its command line (help, version, window
// options; anything else refused), the search for the game's data and the
// place of its saved record (host/places.h), then the host's start-up and
// loop in the window the options ask for. Called by game/main.cpp only.
#pragma once

#include <iosfwd>
#include <optional>

#include "host/glfw_platform.h"

namespace vantor {

// Exit statuses of the process besides the loop's own 0.
inline constexpr int kExitNoData = 1;
inline constexpr int kExitUsage = 2;

// The largest --scale: a 6 x 640 x 480 window is already wider than the
// widest common display.
inline constexpr int kMaxWindowScale = 6;

// The window the command line asks for; an exit status instead when the
// process should end at once (0 after --help or --version, kExitUsage for a
// refused command line, with its message on `err`).
struct LaunchRequest {
  WindowOptions window;
  std::optional<int> exitStatus;
};
LaunchRequest ParseCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

// The whole process; returns its exit status.
int GameMain(int argc, char** argv);

}  // namespace vantor
