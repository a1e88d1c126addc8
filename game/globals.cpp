// The game module's globals and their start-up values.
#include "game/myapp.h"

namespace vantor::game {

int OnScreenControls = 0;
int AccelerometerControls = 0;
int iCadeControls = 0;
int HasMusic = 0;
int DebugMode = 0;
float rawscrw = kDesignWidth;
float rawscrh = kDesignHeight;
float jscrw = kDesignWidth;
float jscrh = kDesignHeight;

void ModuleInit() {
  DebugMode = 0;
  rawscrw = kDesignWidth;
  rawscrh = kDesignHeight;
  jscrw = kDesignWidth;
  jscrh = kDesignHeight;
  iCadeControls = 0;
  HasMusic = 0;
  OnScreenControls = 0;
  AccelerometerControls = 0;
}

}  // namespace vantor::game
