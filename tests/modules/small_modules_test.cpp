// The random, math and data modules.
#include <gtest/gtest.h>

#include <climits>

#include "modules/data.h"
#include "modules/math.h"
#include "modules/random.h"

namespace vantor {
namespace {

// The generator is seed * 1664525 + 1013904223 modulo 2^32, and a value is
// the new seed's top 24 bits as a fraction: from the start seed 1234 the
// next seed is 3067928073, whose top 24 bits are 11984094.
TEST(RandomModule, ValuesFollowTheGeneratorFromTheStartSeed) {
  random::ModuleInit();
  EXPECT_EQ(random::Rnd(), 11984094 / 16777216.0f);
  EXPECT_EQ(static_cast<unsigned>(random::Seed), 3067928073u);
  random::ModuleInit();
  EXPECT_FLOAT_EQ(random::Rnd2(-2, 2), 11984094 / 16777216.0f * 4 - 2);
  random::Seed = 653637408;  // makes the next seed all ones, the largest value there is
  EXPECT_EQ(random::Rnd(), 16777215 / 16777216.0f);
}

TEST(MathModule, AbsoluteValues) {
  EXPECT_TRUE(math::Abs(-7) == 7 && math::Abs(7) == 7 && math::Abs2(-2.5f) == 2.5f);
  EXPECT_EQ(math::Abs(INT_MIN), INT_MIN);  // wraps instead of overflowing
}

// Relative names become data addresses; addresses (a colon right before the
// first slash) and explicit paths stay.
TEST(DataModule, RelativeNamesBecomeDataAddresses) {
  for (const auto& [path, fixed] : {std::pair{u"a.png", u"vantor://data/a.png"}, {u"a:b/c:/d", u"vantor://data/a:b/c:/d"},
                                    {u"vantor://internal/a", u"vantor://internal/a"}, {u"file://x", u"file://x"},
                                    {u"./a.png", u"./a.png"}, {u"/tmp/a.png", u"/tmp/a.png"}}) {
    EXPECT_TRUE(data::FixDataPath(path) == String(fixed)) << String(path).ToCString<char>();
  }
}

}  // namespace
}  // namespace vantor
