// The working directory of a replayed game: the game reads data/ and writes
// its saved record there. Used by the replay tool's entry point
// (tools/vantor-replay.cpp) and the frame-cost benchmark (bench/).
#pragma once

#include <string>

namespace vantor::replay {

// Creates `directory` if needed, links the repository's data/ into it when
// it has none and makes it the current directory. An empty name keeps the
// current one. False (with a message on stderr) when that fails.
bool EnterWorkDirectory(const std::string& directory);

}  // namespace vantor::replay
