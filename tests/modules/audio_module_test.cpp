// The audio module over a real device on OpenAL Soft's null backend: sounds
// load from the data folder (the game's own effects among them), empty
// sounds play nothing, the channel functions reach the device, and the
// module keeps its device alive.
#include <gtest/gtest.h>

#include <filesystem>

#include "modules/audio.h"
#include "tests/host/al_test_device.h"
#include "tests/host/gc_cycles.h"
#include "tests/host/temp_dir.h"
#include "tests/host/wav_fixture.h"

namespace vantor::test {
namespace {

class AudioModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(al_.Ready());
    gc_init();
    gc_clear_roots();
    audio::ModuleInit();
    audio::SetAudioDevice(gc_new<gxtkAudio>());
    gc_mark();
  }
  void TearDown() override {
    gc_clear_roots();
    gc_init();
    audio::device = nullptr;
  }
  const gxtkChannel& Channel(int channel) const { return audio::device->channels[channel]; }
  float Gain(int channel) const {
    ALfloat gain = 0;
    alGetSourcef(Channel(channel).source, AL_GAIN, &gain);
    return gain;
  }

  AlTestDevice al_;
  testing::ScopedWorkDir dir_;
};

TEST_F(AudioModuleTest, RelativeNamesLoadFromTheDataFolder) {
  Put("data/sfx/001.wav", ToneWav(0.1));
  Sound* sound = audio::LoadSound(T("sfx/001.wav"));
  ASSERT_NE(sound, nullptr);
  ASSERT_NE(sound->sample, nullptr);
  EXPECT_TRUE(alIsBuffer(sound->sample->buffer));
  // Explicit paths are taken as they are.
  EXPECT_NE(audio::LoadSound(T("./data/sfx/001.wav")), nullptr);
  EXPECT_EQ(audio::LoadSound(T("sfx/002.wav")), nullptr);
  EXPECT_EQ(audio::LoadSound(T("data/sfx/001.wav")), nullptr) << "looked up in data/data/";
}

TEST_F(AudioModuleTest, EmptySoundPlaysNothing) {
  EXPECT_EQ(audio::PlaySound(gc_new<Sound>(), 0, 0), 0);
  EXPECT_EQ(audio::PlaySound(nullptr, 1, 0), 0);
  EXPECT_EQ(Channel(0).state, 0);
  EXPECT_EQ(Channel(0).source, 0u) << "nothing was asked of OpenAL";
  EXPECT_EQ(Channel(1).source, 0u);
}

TEST_F(AudioModuleTest, ChannelFunctionsReachTheDevice) {
  Put("data/tone.wav", ToneWav(1.0));
  Sound* sound = audio::LoadSound(T("tone.wav"));
  ASSERT_NE(sound, nullptr);
  audio::SetChannelVolume(2, 0.25f);
  audio::SetChannelPan(2, 0.5f);
  audio::SetChannelRate(2, 2.0f);
  EXPECT_EQ(audio::PlaySound(sound, 2, 1), 0);
  EXPECT_EQ(Channel(2).state, 1);
  EXPECT_EQ(Channel(2).sample.get(), sound->sample.get());
  EXPECT_FLOAT_EQ(Gain(2), 0.25f);
  ALfloat x = 0, y = 0, z = 0, pitch = 0;
  alGetSource3f(Channel(2).source, AL_POSITION, &x, &y, &z);
  alGetSourcef(Channel(2).source, AL_PITCH, &pitch);
  EXPECT_FLOAT_EQ(x, 0.5f);
  EXPECT_FLOAT_EQ(pitch, 2.0f);
  audio::StopChannel(2);
  EXPECT_EQ(Channel(2).state, 0);
}

TEST_F(AudioModuleTest, EveryShippedEffectLoads) {
  const std::filesystem::path folder = std::filesystem::path(VANTOR_SOURCE_DIR) / "data/sfx";
  int effects = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    Sound* sound = audio::LoadSound(String(entry.path().c_str()));
    ASSERT_NE(sound, nullptr) << entry.path();
    ALint bytes = 0;
    alGetBufferi(sound->sample->buffer, AL_SIZE, &bytes);
    EXPECT_GT(bytes, 0) << entry.path();
    ++effects;
  }
  EXPECT_GT(effects, 0);
}

TEST_F(AudioModuleTest, TheModuleKeepsItsDeviceAlive) {
  gxtkAudio* device = audio::device;
  CollectEverything();
  EXPECT_TRUE(gc_is_live_object(device));
}

}  // namespace
}  // namespace vantor::test
