// The random module: the generator is seed * 1664525 + 1013904223 modulo
// 2^32, and a value is the new seed's top 24 bits as a fraction; Rnd2(low,
// high) and Rnd3(range) scale that value, each advancing the seed once, as
// Rnd() does.
#include <gtest/gtest.h>

#include <functional>

#include "modules/random.h"

namespace vantor::testing {
namespace {

// From the start seed 1234 the next seed is 3067928073, whose top 24 bits
// are 11984094: the value is 11984094 / 2^24.
constexpr float kFirstValue = 11984094 / 16777216.0f;
constexpr unsigned kSeedAfterOne = 3067928073u;
// The seed whose next seed is all ones, and that next value, the largest
// there is: (2^24 - 1) / 2^24.
constexpr int kSeedBeforeAllOnes = 653637408;
constexpr float kLargestValue = 16777215 / 16777216.0f;

TEST(RandomModule, ValuesFollowTheGeneratorAndRangesScaleThemAdvancingTheSeedOnce) {
  const struct {
    const char* call;
    std::function<float()> draw;
    float wanted;
  } cases[] = {
      {"Rnd()", [] { return random::Rnd(); }, kFirstValue},
      {"Rnd2(5, 5)", [] { return random::Rnd2(5, 5); }, 5},
      {"Rnd2(10, 20)", [] { return random::Rnd2(10, 20); }, 10 + 10 * kFirstValue},
      {"Rnd2(-12, 12)", [] { return random::Rnd2(-12, 12); }, -12 + 24 * kFirstValue},
      {"Rnd2(20, 10)", [] { return random::Rnd2(20, 10); }, 20 - 10 * kFirstValue},
      {"Rnd3(100)", [] { return random::Rnd3(100); }, 100 * kFirstValue},
      {"Rnd3(-4)", [] { return random::Rnd3(-4); }, -4 * kFirstValue},
  };
  for (const auto& c : cases) {
    random::ModuleInit();
    EXPECT_FLOAT_EQ(c.draw(), c.wanted)
        << c.call << " is not the generator's next value scaled from low to high";
    EXPECT_EQ(static_cast<unsigned>(random::Seed), kSeedAfterOne)
        << c.call << " advances the seed once by the generator";
  }
  random::Seed = kSeedBeforeAllOnes;
  EXPECT_EQ(random::Rnd(), kLargestValue) << "the largest value is not the top 24 bits, all ones";
}

}  // namespace
}  // namespace vantor::testing
