#include "modules/random.h"

#include <cstdint>

namespace vantor::random {

namespace {
constexpr int kInitialSeed = 1234;
constexpr uint32_t kMultiplier = 1664525u;
constexpr uint32_t kIncrement = 1013904223u;
// The result is the seed's top 24 bits as a fraction of 2^24.
constexpr int kDroppedBits = 8;
constexpr float kFractionScale = 1.0f / (1 << 24);
}  // namespace

int Seed = kInitialSeed;

void ModuleInit() { Seed = kInitialSeed; }

float Rnd() {
  // Unsigned arithmetic wraps modulo 2^32, as the generator is defined.
  const uint32_t next = static_cast<uint32_t>(Seed) * kMultiplier + kIncrement;
  Seed = static_cast<int>(next);
  return static_cast<float>(next >> kDroppedBits) * kFractionScale;
}

float Rnd2(float low, float high) { return Rnd() * (high - low) + low; }

float Rnd3(float range) { return Rnd() * range; }

}  // namespace vantor::random
