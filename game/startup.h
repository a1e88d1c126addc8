// The framework start-up of the game: every module's initialisation (which
// also registers the module's collector roots) and the creation of the one
// MyApp. Used by vantor-game and by the tools that run the same game.
#pragma once

#include "host/app.h"

namespace vantor {

StartupHooks GameStartupHooks();

// The one MyApp the start-up made; only once it has run.
class MyApp;
MyApp& RunningGame();

}  // namespace vantor
