// The state line: one JSON object on one line holding what a tester asks
// about the game after an update (mode, loader, the run and everything that
// moves in it, the input's bookkeeping, tables, settings and the random
// seed). Written by the replay session for `state` commands and
// at the end of an autoplayed run.
#pragma once

#include <string>

#include "game/game_view.h"

namespace vantor::replay {

// `update` is the number of updates run so far.
std::string StateLine(const GameView& game, int update);

}  // namespace vantor::replay
