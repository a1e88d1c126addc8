// Sound effects: the files of the slots and the rotation over the channels.
#include <string>
#include <vector>

#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

using Call = SpyAudio::Call;

class SoundEffects : public ::testing::Test {
 protected:
  MyApp& app() { return game.app(); }
  SpyAudio& audio() { return game.audio(); }
  std::vector<int> StoppedChannels() {
    std::vector<int> channels;
    for (const auto& request : audio().Of(Call::kStop)) channels.push_back(request.channel);
    return channels;
  }
  GameHarness game;
};

TEST_F(SoundEffects, SlotsLoadTheirThreeDigitFiles) {
  audio().loads.clear();
  app().m_LoadSFX(5);
  app().m_LoadSFX(19);
  app().m_LoadSFX(0);
  app().m_LoadSFX(100);  // not a slot
  EXPECT_EQ(audio().loads, (std::vector<std::string>{"vantor://data/sfx/005.wav",
                                                      "vantor://data/sfx/019.wav",
                                                      "vantor://data/sfx/000.wav"}));
  EXPECT_EQ(game.SoundSlotOf("vantor://data/sfx/005.wav"), 5);
  EXPECT_EQ(game.SoundSlotOf("vantor://data/sfx/019.wav"), 19);
}

TEST_F(SoundEffects, TheFirstEffectUsesChannelOneWithRateVolumeAndPanAfterStarting) {
  audio().requests.clear();
  app().m_PlaySFX(2, 1.5f, 0.7f, -0.5f);
  const auto& r = audio().requests;
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0].call, Call::kStop);
  EXPECT_EQ(r[0].channel, 1);
  EXPECT_EQ(r[1].call, Call::kPlay);
  EXPECT_EQ(r[1].channel, 1);
  EXPECT_EQ(r[1].flags, 0);
  EXPECT_EQ(r[1].path, "vantor://data/sfx/002.wav");
  EXPECT_EQ(r[2].call, Call::kRate);
  EXPECT_EQ(r[2].value, 1.5f);
  EXPECT_EQ(r[3].call, Call::kVolume);
  EXPECT_EQ(r[3].value, 0.7f);
  EXPECT_EQ(r[4].call, Call::kPan);
  EXPECT_EQ(r[4].value, -0.5f);
  EXPECT_EQ(app().lastChannel, 1);
}

TEST_F(SoundEffects, TheTwentyFifthEffectCutsTheOldest) {
  audio().requests.clear();
  for (int i = 0; i < 25; ++i) app().m_PlaySFX(1 + i % 19, 1, 1, 0);
  std::vector<int> expected;
  for (int i = 1; i <= 23; ++i) expected.push_back(i);
  expected.push_back(0);
  expected.push_back(1);
  EXPECT_EQ(StoppedChannels(), expected);
  const auto plays = audio().Of(Call::kPlay);
  ASSERT_EQ(plays.size(), 25u);
  EXPECT_EQ(plays.back().channel, 1);
  EXPECT_EQ(plays.back().path, "vantor://data/sfx/006.wav");
}

TEST_F(SoundEffects, SoundSettingZeroTouchesNoChannel) {
  app().settings[5] = 0;
  audio().requests.clear();
  app().m_PlaySFX(1, 1, 1, 0);
  EXPECT_TRUE(audio().requests.empty());
  EXPECT_EQ(app().lastChannel, 0);
  app().settings[5] = 3;
  app().m_PlaySFX(1, 1, 1, 0);
  EXPECT_TRUE(audio().requests.empty());
  app().settings[5] = 2;
  app().m_PlaySFX(1, 1, 1, 0);
  EXPECT_EQ(audio().Of(Call::kPlay).size(), 1u);
}

TEST_F(SoundEffects, AnEmptySlotStillTakesAChannel) {
  audio().requests.clear();
  app().m_PlaySFX(50, 1, 1, 0);
  EXPECT_TRUE(audio().Of(Call::kPlay).empty());
  EXPECT_EQ(StoppedChannels(), std::vector<int>{1});
  EXPECT_EQ(audio().Of(Call::kRate).size(), 1u);
  app().m_PlaySFX(3, 1, 1, 0);
  ASSERT_EQ(audio().Of(Call::kPlay).size(), 1u);
  EXPECT_EQ(audio().Of(Call::kPlay)[0].channel, 2);
}

}  // namespace
}  // namespace vantor::testing
