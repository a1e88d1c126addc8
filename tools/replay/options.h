// The replay tool's command line. Parsed by the entry point
// (tools/vantor-replay.cpp) before anything else runs.
#pragma once

#include <string>
#include <vector>

#include "tools/replay/session.h"

namespace vantor::replay {

enum class Goal { kNone, kWin, kLose };

struct Options {
  SessionOptions session;
  std::string scriptPath;
  std::string workDir;  // empty: the current directory
  Goal autoplay = Goal::kNone;
  bool help = false;
};

// Fills `options`; returns the problems found (empty when all is well).
// Relative paths are made absolute here, before the tool changes directory.
std::vector<std::string> ParseOptions(int argc, char** argv, Options& options);

extern const char* const kUsage;

}  // namespace vantor::replay
