// The game module's globals and their start-up values.
#include "game/myapp.h"

namespace vantor::game {

int OnScreenControls = 0;
int AccelerometerControls = 0;
int iCadeControls = 0;
int HasMusic = 0;
int DebugMode = 0;
float rawscrw = 640;
float rawscrh = 480;
float jscrw = 640;
float jscrh = 480;

void ModuleInit() {
  DebugMode = 0;
  rawscrw = 640;
  rawscrh = 480;
  jscrw = 640;
  jscrh = 480;
  iCadeControls = 0;
  HasMusic = 0;
  OnScreenControls = 0;
  AccelerometerControls = 0;
}

}  // namespace vantor::game
