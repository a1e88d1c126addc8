// The vantor-game process: its command line (help, version, window
// options; anything else refused), the search for the game's data and the
// place of its saved record (host/places.h), then the host's start-up and
// loop in the window the options ask for, made smaller when it would not fit
// the screen. Called by game/main.cpp only.
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

// The window the command line asks for (`scale` times 640 x 480); an exit
// status instead when the process should end at once (0 after --help or
// --version, kExitUsage for a refused command line, with its message on
// `err`).
struct LaunchRequest {
  WindowOptions window;
  int scale = 1;
  std::optional<int> exitStatus;
};
LaunchRequest ParseCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

// A screen's work area in pixels: the screen less the desktop's panels.
struct WorkArea {
  int width, height;
};
// The requested window, its scale lowered to the largest whose window fits
// `area` (scale 1 stays whatever the area), with one line on `err` when it
// was lowered. Without an area the window is left as asked.
WindowOptions FitWindow(const LaunchRequest& request, std::optional<WorkArea> area,
                        std::ostream& err);

// The whole process; returns its exit status.
int GameMain(int argc, char** argv);

}  // namespace vantor
