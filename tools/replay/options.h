// The replay tool's command line. Parsed by the entry point
// (tools/vantor-replay.cpp) before anything else runs.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "tools/replay/session.h"

namespace vantor::replay {

enum class Goal { kNone, kWin, kLose };
// What the bot plays with: pointer presses, keys, or a gamepad's state.
enum class InputKind { kPointer, kKeys, kPad };

struct Options {
  SessionOptions session;
  std::string scriptPath;
  std::string workDir;  // empty: the current directory
  Goal autoplay = Goal::kNone;
  InputKind input = InputKind::kPointer;
};

// Exit status for a refused command line (or script).
inline constexpr int kRefused = 2;
// The bot's default bound: a won run takes a few thousand updates.
inline constexpr int kDefaultAutoplayBound = 20000;

// Fills `options`. Returns the exit status when the tool should stop at
// once: 0 after --help (the help written to `out`), kRefused for a command
// line it refuses (why, and a hint, written to `err`). Relative paths are
// made absolute here, before the tool changes directory.
std::optional<int> ParseOptions(int argc, char** argv, Options& options, std::ostream& out,
                                std::ostream& err);

}  // namespace vantor::replay
