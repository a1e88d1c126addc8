// The random, math and data modules.
#include <gtest/gtest.h>

#include <climits>

#include "modules/data.h"
#include "modules/math.h"
#include "modules/random.h"

namespace vantor {
namespace {

class RandomTest : public ::testing::Test {
 protected:
  void SetUp() override { random::ModuleInit(); }
};

TEST_F(RandomTest, FirstValueFromTheStartSeed) {
  EXPECT_EQ(random::Seed, 1234);
  EXPECT_FLOAT_EQ(random::Rnd(), 0.71430767f);
  EXPECT_EQ(static_cast<unsigned>(random::Seed), 3067928073u);
  EXPECT_EQ(random::Seed, -1227039223);
}

TEST_F(RandomTest, EveryCallAdvancesTheSeedOnce) {
  const float first = random::Rnd();
  random::ModuleInit();
  EXPECT_FLOAT_EQ(random::Rnd2(5, 5), 5.0f);
  EXPECT_EQ(random::Seed, -1227039223);
  random::ModuleInit();
  EXPECT_FLOAT_EQ(random::Rnd3(10), first * 10);
  random::ModuleInit();
  EXPECT_FLOAT_EQ(random::Rnd2(-2, 2), first * 4 - 2);
}

TEST_F(RandomTest, ValuesStayBelowOne) {
  // This seed makes the next one all ones, the largest value there is.
  random::Seed = 653637408;
  const float top = random::Rnd();
  EXPECT_EQ(random::Seed, -1);
  EXPECT_LT(top, 1.0f);
  EXPECT_FLOAT_EQ(top, 16777215.0f / 16777216.0f);
  for (int i = 0; i < 10000; ++i) {
    const float value = random::Rnd();
    ASSERT_GE(value, 0.0f);
    ASSERT_LT(value, 1.0f);
  }
}

TEST(MathModule, AbsoluteValues) {
  EXPECT_EQ(math::Abs(-7), 7);
  EXPECT_EQ(math::Abs(7), 7);
  EXPECT_EQ(math::Abs(INT_MIN), INT_MIN);  // wraps instead of overflowing
  EXPECT_FLOAT_EQ(math::Abs2(-2.5f), 2.5f);
  EXPECT_FLOAT_EQ(math::Abs2(0.25f), 0.25f);
}

TEST(DataModule, RelativeNamesBecomeDataAddresses) {
  EXPECT_TRUE(data::FixDataPath(u"title.png") == String(u"vantor://data/title.png"));
  EXPECT_TRUE(data::FixDataPath(u"images/a.png") == String(u"vantor://data/images/a.png"));
  // The first slash is not right behind the colon: not a scheme.
  EXPECT_TRUE(data::FixDataPath(u"a:b/c:/d") == String(u"vantor://data/a:b/c:/d"));
}

TEST(DataModule, AddressesAndExplicitPathsStay) {
  for (const char16_t* path : {u"vantor://data/title.png", u"vantor://internal/a", u"./title.png",
                               u"/tmp/a.png", u"file://x"}) {
    EXPECT_TRUE(data::FixDataPath(path) == String(path));
  }
}

}  // namespace
}  // namespace vantor
