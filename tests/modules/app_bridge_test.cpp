// The app bridge over a scripted platform, with OpenAL Soft's null backend
// for sound: each module's device global is a collector root of its own, the
// host's callbacks reach the script app, saved state and its failures pass
// through, and the audio module loads and plays sounds. Also the math
// module.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "host/startup.h"
#include "modules/app.h"
#include "modules/audio.h"
#include "modules/graphics.h"
#include "modules/input.h"
#include "modules/math.h"
#include "tools/testing/al_test_device.h"
#include "tools/testing/fake_platform.h"
#include "tools/testing/gc_cycles.h"
#include "tools/testing/resource_limit.h"
#include "tools/testing/wav_fixture.h"

namespace vantor::testing {
namespace {

struct LoggingApp : App {
  std::string calls;  // a letter per callback
  int m_OnCreate() override { return Log('c'); }
  int m_OnUpdate() override { return Log('u'); }
  int m_OnRender() override { return Log('r'); }
  int m_OnSuspend() override { return Log('s'); }
  int m_OnResume() override { return Log('e'); }
  int Log(char callback) {
    calls += callback;
    return 0;
  }
};

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartInProcess(platform, {[] {
                                graphics::ModuleInit();
                                input::ModuleInit();
                                audio::ModuleInit();
                                app::ModuleInit();
                              },
                              [] { gc_new<LoggingApp>()->g_new(); }});
    device = app::device;
    device->graphics->mode = 0;  // no OpenGL context here: keep the device away from it
  }
  void TearDown() override { StopInProcess(); }

  test::AlTestDevice al;  // opened before the host's audio device, closed after it
  FakePlatform platform;
  ScopedWorkDir dir;
  AppDevice* device = nullptr;
};

// Creating the app publishes the host's devices to the modules. Each
// module's global alone keeps its device through complete cycles, and the
// device dies once the global lets it go; the app device keeps the script
// app the same way.
TEST_F(BridgeTest, ModuleGlobalsAloneKeepTheHostDevices) {
  const struct {
    const char* name;
    gc_object *object, *published;
    void (*release)();
  } cases[] = {
      {"the script app", device->app, device->app, [] { app::device->app = nullptr; }},
      {"input", device->input, input::device, [] { input::device = nullptr; }},
      {"audio", device->audio, audio::device, [] { audio::device = nullptr; }},
      {"graphics", device->graphics, graphics::device, [] { graphics::device = nullptr; }},
      {"the app device", device, app::device,
       [] {
         app::device = nullptr;
         host::app = nullptr;
       }},
  };
  device->input = nullptr, device->audio = nullptr, device->graphics = nullptr;
  for (const auto& c : cases) {
    test::CollectEverything();
    EXPECT_TRUE(c.object == c.published && gc_is_live_object(c.object)) << c.name;
    c.release();
    test::CollectEverything();
    EXPECT_FALSE(gc_is_live_object(c.object)) << c.name << " outlived its global";
  }
}

// Each callback reaches its own method; a suspended app has no update rate
// until it resumes, with its next update one period after the resume. Saved
// state, and a save's failure, come back unchanged.
TEST_F(BridgeTest, HostCallbacksAndSavedStateReachTheScriptApp) {
  device->InvokeOnCreate();
  EXPECT_EQ(app::SetUpdateRate(30), 0);
  device->InvokeOnUpdate();
  device->InvokeOnRender();
  device->InvokeOnSuspend();
  EXPECT_EQ(device->appUpdateRate, 0);
  platform.now = 5.0129;
  device->InvokeOnResume();
  EXPECT_TRUE(device->appUpdateRate == 30 && device->nextUpdate == 5.0129 + 1.0 / 30);
  EXPECT_EQ(app::Millisecs(), 5012);
  EXPECT_EQ(static_cast<LoggingApp*>(device->app.get())->calls, "curse")
      << "create, update, render, suspend, resume";

  EXPECT_EQ(app::SaveState(u"record \u00e9"), 0);
  {
    const ScopedLimit noFiles(RLIMIT_NOFILE, LowestFreeDescriptor());
    EXPECT_EQ(app::SaveState(u"lost"), -1);
  }
  EXPECT_TRUE(app::LoadState() == String(u"record \u00e9"));
}

// Relative names are looked up in data/, addresses and explicit paths as
// they are; an empty sound asks nothing of OpenAL; a channel plays with the
// volume, pan and rate set on it.
TEST_F(BridgeTest, TheAudioModuleLoadsSoundsAndPlaysThemAsTheirChannelIsSet) {
  ASSERT_TRUE(al.Ready());
  test::Put("data/sfx/001.wav", test::ToneWav(0.5));
  for (const auto& [path, loads] : {std::pair{"sfx/001.wav", true},
                                    {"./data/sfx/001.wav", true},
                                    {"vantor://data/sfx/001.wav", true},
                                    {"sfx/002.wav", false},
                                    {"data/sfx/001.wav", false}}) {
    EXPECT_EQ(audio::LoadSound(T(path)) != nullptr, loads) << path;
  }
  const gxtkChannel* channels = audio::device->channels;
  audio::PlaySound(gc_new<Sound>(), 0, 0);
  audio::PlaySound(nullptr, 1, 0);
  EXPECT_TRUE(channels[0].state == 0 && channels[0].source == 0u && channels[1].source == 0u);
  Sound* sound = audio::LoadSound(T("sfx/001.wav"));
  audio::SetChannelVolume(2, 0.25f);
  audio::SetChannelPan(2, 0.5f);
  audio::SetChannelRate(2, 2.0f);
  audio::PlaySound(sound, 2, 1);
  EXPECT_TRUE(channels[2].state == 1 && channels[2].sample.get() == sound->sample.get() &&
              alIsBuffer(sound->sample->buffer));
  ALfloat gain = 0, x = 0, y = 0, z = 0, pitch = 0;
  alGetSourcef(channels[2].source, AL_GAIN, &gain);
  alGetSource3f(channels[2].source, AL_POSITION, &x, &y, &z);
  alGetSourcef(channels[2].source, AL_PITCH, &pitch);
  EXPECT_TRUE(gain == 0.25f && x == 0.5f && pitch == 2.0f) << gain << " " << x << " " << pitch;
  audio::StopChannel(2);
  EXPECT_EQ(channels[2].state, 0);
}

TEST(MathModule, AbsoluteValues) {
  // The most negative int wraps to itself instead of overflowing.
  EXPECT_TRUE(math::Abs(-7) == 7 && math::Abs(7) == 7 && math::Abs2(-2.5f) == 2.5f &&
              math::Abs(INT_MIN) == INT_MIN);
}

}  // namespace
}  // namespace vantor::testing
