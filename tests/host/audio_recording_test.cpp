// What the audio device plays, heard through a recording of the mix: a
// played sound, and suspension around a channel the game paused itself.
// (Channel states, looping and deferred deletion are checked on the silent
// device by audio_device_test.)
#include <gtest/gtest.h>

#include "tests/host/audio_recording.h"

namespace vantor::test {
namespace {

// Every pause in these scenarios lasts this long; measured stretches may be
// shorter by scheduling jitter, hence the slack.
constexpr int kStepMs = 400;
constexpr int kSlackMs = 150;
// Silence recorded after a sound, so that its end is inside the file.
constexpr int kTailMs = 100;
// A sound's recorded length is exact up to the measuring windows at its ends.
constexpr int kEdgeMs = 3 * kWindowMs;

void ExpectOneSoundOf(const std::vector<Stretch>& stretches, int ms) {
  const auto loud = LoudStretches(stretches);
  ASSERT_EQ(loud.size(), 1u) << Describe(stretches);
  EXPECT_NEAR(loud[0].ms, ms, kEdgeMs) << Describe(stretches);
}

// Two stretches of sound, each at least a step long, with silence between.
void ExpectTwoSoundsOfAStepEach(const std::vector<Stretch>& stretches) {
  const auto loud = LoudStretches(stretches);
  ASSERT_EQ(loud.size(), 2u) << Describe(stretches);
  for (const Stretch& s : loud) EXPECT_GT(s.ms, kStepMs - kSlackMs) << Describe(stretches);
}

TEST(AudioRecordingTest, PlayedSoundIsHeardForItsLength) {
  const auto stretches = Record("played", 0.5, [](Stage stage) {
    stage.audio->PlaySample(stage.tone, 0, 0);
    Require(WaitForSourceToStop(stage.audio->channels[0].source), "the sound did not end");
    Require(stage.audio->ChannelState(0) == 0, "the channel did not notice the end");
    Wait(kTailMs);
  });
  ExpectOneSoundOf(stretches, 500);
}

TEST(AudioRecordingTest, SuspendSilencesAndResumeKeepsAGamePausedChannelPaused) {
  const auto stretches = Record("suspended", 3.0, [](Stage stage) {
    stage.audio->PlaySample(stage.tone, 0, 0);
    stage.audio->PlaySample(stage.tone, 1, 0);
    stage.audio->PauseChannel(1);
    Wait(kStepMs);
    stage.audio->OnSuspend();
    Wait(kStepMs);
    stage.audio->OnResume();
    Wait(kStepMs);
    stage.audio->StopChannel(0);
    Wait(kStepMs);  // silent unless channel 1 came back too
  });
  ExpectTwoSoundsOfAStepEach(stretches);
  ASSERT_FALSE(stretches.back().loud);
  EXPECT_GT(stretches.back().ms, kStepMs - kSlackMs) << Describe(stretches);
}

}  // namespace
}  // namespace vantor::test
