// The audio device on OpenAL Soft's null backend: buffers, channel states,
// suspension, deferred buffer deletion, the collector keeping sounding
// samples, and a device without any OpenAL context.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/audio.h"
#include "tests/host/al_test_device.h"
#include "tests/host/gc_cycles.h"
#include "tests/host/wav_fixture.h"

namespace vantor::test {
namespace {

gc_ref<gxtkAudio> rooted;
void MarkRooted() { rooted.queue_mark(); }

ALint SourceInt(ALuint source, ALenum what) {
  ALint value = 0;
  alGetSourcei(source, what, &value);
  return value;
}

float SourceFloat(ALuint source, ALenum what) {
  ALfloat value = 0;
  alGetSourcef(source, what, &value);
  return value;
}

bool Discarded(ALuint buffer) {
  return std::find(host::discarded.begin(), host::discarded.end(), buffer) !=
         host::discarded.end();
}

// A fresh collector world with one audio device as its root.
class AudioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(al_.Ready());
    gc_init();
    gc_clear_roots();
    gc_register_roots(MarkRooted);
    audio_ = rooted = gc_new<gxtkAudio>();
    gc_mark();
  }
  void TearDown() override {
    rooted = nullptr;
    gc_clear_roots();
    gc_init();
  }

  gxtkSample* Load(const std::string& name, double seconds) {
    return audio_->LoadSample(String(Put(name, ToneWav(seconds)).c_str()));
  }
  ALuint Source(int channel) const { return audio_->channels[channel].source; }
  ALint SourceState(int channel) const { return SourceInt(Source(channel), AL_SOURCE_STATE); }
  bool WaitForEnd(int channel) const { return WaitForSourceToStop(Source(channel)); }

  AlTestDevice al_;
  testing::ScopedWorkDir dir_;
  gxtkAudio* audio_ = nullptr;
};

// Each sample holds its whole file in one buffer of the file's shape.
TEST_F(AudioDeviceTest, SamplesLoadWholeIntoOneBuffer) {
  EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_NONE) << "pan must not fade with distance";
  WavLayout stereo;
  stereo.channels = 2;
  stereo.samples = Tone16(1000, 2, stereo.hertz);
  WavLayout silent;
  silent.channels = 0;
  const struct {
    std::string path;
    ALint size, channels, bits;
  } cases[] = {
      {Put("s.wav", BuildWav(stereo)), 4000, 2, 16},
      {std::string(VANTOR_SOURCE_DIR) + "/tests/fixtures/tone_stereo_0.5s.ogg", 11025 * 2 * 2, 2, 16},
      {Put("zero.wav", BuildWav(silent)), 0, 0, 0},
      {"missing.wav", 0, 0, 0},
  };
  for (const auto& c : cases) {
    gc_force_sweep = false;
    gxtkSample* sample = audio_->LoadSample(String(c.path.c_str()));
    EXPECT_EQ(sample != nullptr, c.size > 0) << c.path;
    if (!sample) continue;
    ALint got[3] = {};
    alGetBufferi(sample->buffer, AL_SIZE, &got[0]);
    alGetBufferi(sample->buffer, AL_CHANNELS, &got[1]);
    alGetBufferi(sample->buffer, AL_BITS, &got[2]);
    EXPECT_EQ(got[0], c.size) << c.path;
    EXPECT_EQ(got[1], c.channels) << c.path;
    EXPECT_EQ(got[2], c.bits) << c.path;
    EXPECT_TRUE(gc_force_sweep) << c.path << ": a fresh sound asks for an early sweep";
  }
}

TEST_F(AudioDeviceTest, PlaySampleStartsTheChannelAndAnyNonZeroFlagsLoop) {
  gxtkSample* sample = Load("tone.wav", 1.0);
  audio_->PlaySample(sample, 3, 2);
  EXPECT_EQ(audio_->channels[3].sample.get(), sample);
  EXPECT_EQ(audio_->channels[3].flags, 2);
  EXPECT_EQ(audio_->ChannelState(3), 1);
  EXPECT_EQ(SourceState(3), AL_PLAYING);
  EXPECT_EQ(SourceInt(Source(3), AL_LOOPING), AL_TRUE);
  EXPECT_EQ(SourceInt(Source(3), AL_BUFFER), static_cast<ALint>(sample->buffer));

  const ALuint source = Source(3);
  audio_->PlaySample(sample, 3, 0);
  EXPECT_EQ(Source(3), source) << "a channel keeps its source";
  EXPECT_EQ(SourceInt(source, AL_LOOPING), AL_FALSE);
  audio_->StopChannel(3);
  EXPECT_EQ(audio_->ChannelState(3), 0);
  EXPECT_EQ(SourceState(3), AL_STOPPED);
}

TEST_F(AudioDeviceTest, PauseAndResumeOnlyFromTheMatchingState) {
  gxtkSample* sample = Load("tone.wav", 2.0);
  audio_->ResumeChannel(0);
  EXPECT_EQ(audio_->ChannelState(0), 0) << "resuming a stopped channel does nothing";
  audio_->PlaySample(sample, 0, 0);
  audio_->ResumeChannel(0);
  EXPECT_EQ(audio_->ChannelState(0), 1);
  audio_->PauseChannel(0);
  EXPECT_EQ(audio_->ChannelState(0), 2);
  EXPECT_EQ(SourceState(0), AL_PAUSED);
  audio_->PauseChannel(0);
  EXPECT_EQ(audio_->ChannelState(0), 2);
  audio_->ResumeChannel(0);
  EXPECT_EQ(audio_->ChannelState(0), 1);
  EXPECT_EQ(SourceState(0), AL_PLAYING);
}

TEST_F(AudioDeviceTest, AnEndedSoundIsNoticedLazilyAndCannotBePaused) {
  gxtkSample* sample = Load("blip.wav", 0.05);
  audio_->PlaySample(sample, 1, 0);
  audio_->PlaySample(sample, 2, 0);
  ASSERT_TRUE(WaitForEnd(1));
  ASSERT_TRUE(WaitForEnd(2));
  EXPECT_EQ(audio_->channels[1].state, 1) << "nothing has looked at the channel yet";
  audio_->PauseChannel(1);
  EXPECT_EQ(audio_->channels[1].state, 0);
  EXPECT_EQ(SourceState(1), AL_STOPPED);
  EXPECT_EQ(audio_->ChannelState(2), 0);
}

TEST_F(AudioDeviceTest, SuspendPausesPlayingChannelsAndResumeLeavesGamePausedOnes) {
  gxtkSample* sample = Load("tone.wav", 2.0);
  audio_->PlaySample(sample, 0, 0);
  audio_->PlaySample(sample, 1, 1);
  audio_->PauseChannel(1);
  audio_->OnSuspend();
  EXPECT_EQ(SourceState(0), AL_PAUSED);
  EXPECT_EQ(audio_->channels[0].state, 1);
  EXPECT_EQ(audio_->channels[1].state, 2);
  audio_->OnResume();
  EXPECT_EQ(SourceState(0), AL_PLAYING);
  EXPECT_EQ(SourceState(1), AL_PAUSED);
  EXPECT_EQ(audio_->ChannelState(1), 2);
  audio_->ResumeChannel(1);
  EXPECT_EQ(SourceState(1), AL_PLAYING);
}

TEST_F(AudioDeviceTest, VolumePanAndRateMakeTheSourceAndOutlastPlaySample) {
  audio_->SetVolume(5, 0.5f);
  ASSERT_NE(Source(5), 0u);
  audio_->SetPan(6, -1.0f);
  audio_->SetRate(7, 1.5f);
  gxtkSample* sample = Load("tone.wav", 1.0);
  for (int channel : {5, 6, 7}) audio_->PlaySample(sample, channel, 0);
  EXPECT_FLOAT_EQ(SourceFloat(Source(5), AL_GAIN), 0.5f);
  ALfloat x = 0, y = 1, z = 1;
  alGetSource3f(Source(6), AL_POSITION, &x, &y, &z);
  EXPECT_FLOAT_EQ(x, -1.0f);
  EXPECT_FLOAT_EQ(y, 0.0f);
  EXPECT_FLOAT_EQ(z, 0.0f);
  EXPECT_FLOAT_EQ(SourceFloat(Source(7), AL_PITCH), 1.5f);
}

TEST_F(AudioDeviceTest, MusicIsChannel32) {
  const std::string path = Put("music.wav", ToneWav(1.0));
  EXPECT_EQ(audio_->PlayMusic(T("none.wav"), 1), -1);
  EXPECT_EQ(audio_->PlayMusic(String(path.c_str()), 1), 0);
  EXPECT_EQ(audio_->MusicState(), 1);
  EXPECT_EQ(SourceInt(Source(kMusicChannel), AL_LOOPING), AL_TRUE);
  audio_->SetMusicVolume(0.25f);
  EXPECT_FLOAT_EQ(SourceFloat(Source(kMusicChannel), AL_GAIN), 0.25f);
  audio_->PauseMusic();
  EXPECT_EQ(audio_->MusicState(), 2);
  audio_->ResumeMusic();
  EXPECT_EQ(audio_->MusicState(), 1);
  audio_->StopMusic();
  EXPECT_EQ(audio_->MusicState(), 0);
  for (int channel = 0; channel < kMusicChannel; ++channel) EXPECT_EQ(Source(channel), 0u);
}

TEST_F(AudioDeviceTest, ChannelNumbersOutsideTheTableAreIgnored) {
  gxtkSample* sample = Load("tone.wav", 0.1);
  for (int channel : {-1, kChannelCount, 1000}) {
    audio_->PlaySample(sample, channel, 0);
    audio_->SetVolume(channel, 0.5f);
    audio_->ResumeChannel(channel);
    EXPECT_EQ(audio_->ChannelState(channel), 0);
  }
  for (const gxtkChannel& channel : audio_->channels) EXPECT_EQ(channel.state, 0);
}

TEST_F(AudioDeviceTest, DiscardedBufferLivesUntilItsSoundStops) {
  gxtkSample* sample = Load("tone.wav", 0.3);
  const ALuint buffer = sample->buffer;
  audio_->PlaySample(sample, 4, 0);
  sample->Discard();
  EXPECT_EQ(sample->buffer, 0u);
  EXPECT_TRUE(Discarded(buffer));
  sample->Discard();
  EXPECT_EQ(std::count(host::discarded.begin(), host::discarded.end(), buffer), 1);

  gxtkSample* other = Load("other.wav", 0.01);  // flushes while the sound still plays
  EXPECT_TRUE(alIsBuffer(buffer));
  EXPECT_TRUE(Discarded(buffer));
  EXPECT_EQ(SourceState(4), AL_PLAYING);

  ASSERT_TRUE(WaitForEnd(4));
  // Flushed by playing (loading could hand the freed name out again).
  audio_->PlaySample(other, 5, 0);
  EXPECT_FALSE(alIsBuffer(buffer));
  EXPECT_FALSE(Discarded(buffer));
}

TEST_F(AudioDeviceTest, CollectorKeepsASoundingSampleAndFreesItAfterTheEnd) {
  gxtkSample* next = Load("next.wav", 0.01);
  audio_->PlaySample(next, 1, 1);  // looping keeps `next` alive through its channel
  gxtkSample* sample = Load("tone.wav", 0.3);
  const ALuint buffer = sample->buffer;
  audio_->PlaySample(sample, 0, 0);
  CollectEverything();
  ASSERT_TRUE(gc_is_live_object(sample));
  EXPECT_EQ(sample->buffer, buffer);
  EXPECT_FALSE(Discarded(buffer));

  ASSERT_TRUE(WaitForEnd(0));
  CollectEverything();
  // Destroyed by the collector: its buffer waits for the next flush.
  EXPECT_TRUE(Discarded(buffer));
  audio_->PlaySample(next, 1, 0);
  EXPECT_FALSE(alIsBuffer(buffer));
  EXPECT_TRUE(host::discarded.empty());
}

// Without a context (no sound device at start-up) everything answers and
// nothing sounds.
class SilentAudioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(alcGetCurrentContext(), nullptr);
    gc_init();
    gc_clear_roots();
    gc_register_roots(MarkRooted);
    audio_ = rooted = gc_new<gxtkAudio>();
  }
  void TearDown() override {
    rooted = nullptr;
    gc_clear_roots();
    gc_init();
  }
  testing::ScopedWorkDir dir_;
  gxtkAudio* audio_ = nullptr;
};

TEST_F(SilentAudioDeviceTest, SamplesLoadWithoutBuffersAndChannelsFallStill) {
  const std::string path = Put("tone.wav", ToneWav(1.0));
  gxtkSample* sample = audio_->LoadSample(String(path.c_str()));
  ASSERT_NE(sample, nullptr) << "a readable file still loads, so the game runs on";
  EXPECT_EQ(sample->buffer, 0u);
  EXPECT_EQ(audio_->LoadSample(T("none.wav")), nullptr);

  audio_->SetVolume(0, 0.5f);
  audio_->SetPan(0, 1.0f);
  audio_->SetRate(0, 2.0f);
  audio_->PlaySample(sample, 0, 1);
  audio_->PauseChannel(0);
  audio_->OnSuspend();
  audio_->OnResume();
  audio_->ResumeChannel(0);
  EXPECT_EQ(audio_->ChannelState(0), 0);
  EXPECT_EQ(audio_->channels[0].source, 0u);
  EXPECT_EQ(audio_->PlayMusic(String(path.c_str()), 0), 0);
  audio_->StopMusic();
  sample->Discard();
  CollectEverything();
  EXPECT_TRUE(host::discarded.empty());
}

}  // namespace
}  // namespace vantor::test
