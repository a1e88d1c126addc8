// The random module's ranges: Rnd2(low, high) and Rnd3(range) scale the
// generator's next value, each advancing the seed once, as Rnd() does.
#include <gtest/gtest.h>

#include <functional>

#include "modules/random.h"

namespace vantor::testing {
namespace {

// From the start seed 1234 the next seed is 3067928073, whose top 24 bits
// are 11984094: the value is 11984094 / 2^24.
constexpr float kFirstValue = 11984094 / 16777216.0f;
constexpr unsigned kSeedAfterOne = 3067928073u;

TEST(RandomModule, RangesScaleTheNextValueFromLowToHighAndAdvanceTheSeedOnce) {
  const struct {
    const char* call;
    std::function<float()> draw;
    float wanted;
  } cases[] = {
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
        << c.call << " is low plus the next value times (high - low)";
    EXPECT_EQ(static_cast<unsigned>(random::Seed), kSeedAfterOne)
        << c.call << " advances the seed once";
  }
}

}  // namespace
}  // namespace vantor::testing
