// The random module: one global linear congruential generator whose seed the
// game may set (the run's vault code and police grid follow from it), so a
// run replays the same from the same seed. Called by the game from its
// update callback; main thread only (the seed is a plain global).
#pragma once

namespace vantor::random {

extern int Seed;  // the generator's state; 1234 at start-up, any value may be stored

void ModuleInit();                  // start-up: Seed back to 1234
float Rnd();                        // [0, 1); advances Seed once
float Rnd2(float low, float high);  // Rnd() * (high - low) + low
float Rnd3(float range);            // Rnd() * range

}  // namespace vantor::random
