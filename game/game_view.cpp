#include "game/game_view.h"

#include "game/startup.h"

namespace vantor {

GameView GameView::Running() { return GameView(RunningGame()); }

}  // namespace vantor
