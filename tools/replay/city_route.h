// Route finding for the bot in the car chase: the city is a lattice of
// crossings 260 units apart; the getaway car drives from crossing to
// crossing, and a turn asked for on the way takes effect at the next
// crossing. Police cars stand on crossings. Used by the bot (autoplay.cpp).
#pragma once

#include <vector>

#include "game/game_view.h"

namespace vantor::replay {

enum class Turn { kStraight, kLeft, kRight };

struct Crossing {
  int x = 0, y = 0;  // in crossings; the car starts at (12, 12)
  bool operator==(const Crossing&) const = default;
};

// Crossings holding a police car still to ram (wrecks excluded).
std::vector<Crossing> PoliceCrossings(const GameView& game);

// The turn to take at `next`, the crossing the car is driving toward with
// `heading` (0 north, 1 east, 2 south, 3 west), so that it reaches the
// nearest police car by the fewest crossings; straight on when none is
// reachable. Crossings on the city's edge are avoided: the car bounces
// back there by itself.
Turn TurnAt(Crossing next, int heading, const std::vector<Crossing>& police);

}  // namespace vantor::replay
