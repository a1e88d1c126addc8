// The random module: one global linear congruential generator whose seed the
// game may set (the run's vault code and police grid follow from it).
#pragma once

namespace vantor::random {

extern int Seed;  // 1234 at start-up

void ModuleInit();
float Rnd();                       // [0, 1); advances Seed once
float Rnd2(float low, float high);  // Rnd() * (high - low) + low
float Rnd3(float range);           // Rnd() * range

}  // namespace vantor::random
