// The loop pauses the sound while the app is suspended and lets it play
// again before the app hears of the resume.
#include <AL/al.h>
#include <gtest/gtest.h>

#include "host/audio.h"
#include "tests/host/al_test_device.h"
#include "tests/host/loop_app.h"
#include "tests/host/wav_fixture.h"

namespace vantor::testing {
namespace {

class LoopAudioTest : public LoopTest {
 protected:
  test::AlTestDevice al;
  ScopedWorkDir dir;

  int SourceState(int channel) {
    ALint state = 0;
    alGetSourcei(app->audio->channels[channel].source, AL_SOURCE_STATE, &state);
    return state;
  }
};

TEST_F(LoopAudioTest, SoundPausesWhileSuspendedAndPlaysAgainBeforeOnResume) {
  ASSERT_TRUE(al.Ready());
  const std::string path = test::Put("tone.wav", test::ToneWav(5.0));
  gxtkSample* sample = app->audio->LoadSample(String(path.c_str()));
  ASSERT_NE(sample, nullptr);
  app->audio->PlaySample(sample, 0, 0);
  ASSERT_EQ(SourceState(0), AL_PLAYING);

  int stateWhileSuspended = 0, stateAtOnResume = 0;
  app->onCreate = [this] { app->SetUpdateRate(kRate); };
  app->onUpdate = [&] {
    if (app->updates == 2) {
      platform.iconified = true;
      platform.events = {[&] { stateWhileSuspended = SourceState(0); },
                         [this] { platform.iconified = false; }};
    }
    if (app->updates == 4) platform.open = false;
  };
  app->onResume = [&] { stateAtOnResume = SourceState(0); };
  app->Run();

  EXPECT_EQ(app->Count("resume"), 1);
  EXPECT_EQ(stateWhileSuspended, AL_PAUSED);
  EXPECT_EQ(stateAtOnResume, AL_PLAYING);
}

}  // namespace
}  // namespace vantor::testing
