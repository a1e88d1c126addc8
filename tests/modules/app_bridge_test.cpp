// The app bridge and the input module over a scripted platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "host/files.h"
#include "host/startup.h"
#include "modules/app.h"
#include "modules/audio.h"
#include "modules/graphics.h"
#include "modules/input.h"
#include "modules/random.h"
#include "tests/host/fake_platform.h"
#include "tests/host/resource_limit.h"
#include "tests/host/temp_dir.h"

namespace vantor::testing {
namespace {

class BridgeApp : public App {
 public:
  int creates = 0, updates = 0, renders = 0, suspends = 0, resumes = 0;
  int m_OnCreate() override { return ++creates; }
  int m_OnUpdate() override { return ++updates; }
  int m_OnRender() override { return ++renders; }
  int m_OnSuspend() override { return ++suspends; }
  int m_OnResume() override { return ++resumes; }
};

void InitModules() {
  graphics::ModuleInit();
  input::ModuleInit();
  audio::ModuleInit();
  app::ModuleInit();
  random::ModuleInit();
}

void CreateApp() { gc_new<BridgeApp>()->g_new(); }

class BridgeTest : public ::testing::Test {
 protected:
  FakePlatform platform;
  AppDevice* device = nullptr;
  BridgeApp* script = nullptr;

  void SetUp() override {
    StartInProcess(platform, {InitModules, CreateApp});
    device = app::device;
    script = static_cast<BridgeApp*>(device->app.get());
    // No OpenGL context here: keep the device away from it.
    device->graphics->mode = 0;
  }
  void TearDown() override { StopInProcess(); }
};

TEST_F(BridgeTest, CreatingTheAppPublishesTheDevices) {
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(host::app, device);
  EXPECT_EQ(graphics::device.get(), device->graphics.get());
  EXPECT_EQ(input::device.get(), device->input.get());
  EXPECT_EQ(audio::device.get(), device->audio.get());
  EXPECT_EQ(device->appUpdateRate, 0);
  EXPECT_EQ(device->g_new2(), device);
}

// Complete collection cycles of both kinds: ended by growth and forced.
void CompleteCycles() {
  for (int i = 0; i < 2; ++i) {
    const int markbit = gc_markbit;
    { Array<char> ballast(kGcSweepGrowthBytes + 8); }
    for (int step = 0; step < 20 && gc_markbit == markbit; ++step) gc_collect();
    EXPECT_NE(gc_markbit, markbit) << "no sweep after more than 4 MiB of growth";
    gc_force_sweep = true;
    gc_collect();
  }
}

// Each module's global is a root of its own: a device held by nothing else
// lives through complete cycles, and dies once the global lets it go.
TEST_F(BridgeTest, ModuleGlobalsAloneKeepTheirDevicesThroughCompleteCycles) {
  device->InvokeOnCreate();
  gxtkInput* in = device->input;
  gxtkAudio* sound = device->audio;
  gxtkGraphics* screen = device->graphics;
  device->input = nullptr;
  device->audio = nullptr;
  device->graphics = nullptr;
  CompleteCycles();
  EXPECT_TRUE(gc_check_heap());
  const struct {
    const char* name;
    const gc_object* object;
    std::function<void()> release;
  } cases[] = {
      {"the app device", device, nullptr},
      {"the script app", script, nullptr},
      {"input", in, [] { input::device = nullptr; }},
      {"audio", sound, [] { audio::device = nullptr; }},
      {"graphics", screen, [] { graphics::device = nullptr; }},
  };
  for (const auto& c : cases) EXPECT_TRUE(gc_is_live_object(c.object)) << c.name;
  for (const auto& c : cases) {
    if (!c.release) continue;
    c.release();
    CompleteCycles();
    EXPECT_FALSE(gc_is_live_object(c.object)) << c.name << " outlived its global";
  }
}

TEST_F(BridgeTest, HostCallbacksReachTheScriptApp) {
  device->InvokeOnCreate();
  app::SetUpdateRate(60);
  device->InvokeOnUpdate();
  device->InvokeOnRender();
  device->InvokeOnSuspend();
  device->InvokeOnResume();
  EXPECT_EQ(script->creates, 1);
  EXPECT_EQ(script->updates, 1);
  EXPECT_EQ(script->renders, 1);
  EXPECT_EQ(script->suspends, 1);
  EXPECT_EQ(script->resumes, 1);
  EXPECT_EQ(graphics::renderDevice.get(), nullptr);  // none between renders
}

TEST_F(BridgeTest, UpdateRateFollowsEveryChangeIncludingSuspend) {
  platform.now = 2;
  EXPECT_EQ(app::SetUpdateRate(30), 0);
  EXPECT_EQ(device->appUpdateRate, 30);
  EXPECT_EQ(device->updateRate, 30);
  EXPECT_DOUBLE_EQ(device->nextUpdate, 2 + 1.0 / 30);
  device->InvokeOnSuspend();
  EXPECT_EQ(device->appUpdateRate, 0);
  EXPECT_EQ(device->updateRate, 30);
  platform.now = 5;
  device->InvokeOnResume();
  EXPECT_EQ(device->appUpdateRate, 30);
  EXPECT_DOUBLE_EQ(device->nextUpdate, 5 + 1.0 / 30);
}

TEST_F(BridgeTest, MillisecsTruncatesTheClock) {
  platform.now = 12.3459;
  EXPECT_EQ(app::Millisecs(), 12345);
}

TEST_F(BridgeTest, SavedStatePassesResultsThroughUnchanged) {
  ScopedWorkDir dir;
  EXPECT_EQ(app::LoadState().Length(), 0);  // no file yet
  EXPECT_EQ(app::SaveState(u"record \u00e9"), 0);
  EXPECT_TRUE(app::LoadState() == String(u"record \u00e9"));
  {
    const ScopedLimit noFiles(RLIMIT_NOFILE, LowestFreeDescriptor());
    EXPECT_EQ(app::SaveState(u"lost"), -1);
  }
  {
    const ScopedLimit smallFiles(RLIMIT_FSIZE, 4);
    EXPECT_EQ(app::SaveState(u"lost record"), -2);
  }
  EXPECT_TRUE(app::LoadState() == String(u"record \u00e9"));
}

TEST_F(BridgeTest, InputModuleMapsButtonsTouchesAndJoysticksOntoKeys) {
  device->OnMouseButton(0, 1);
  device->OnMouseButton(0, 0);
  device->OnMouseButton(0, 1);
  EXPECT_EQ(input::MouseHit(0), 2);
  EXPECT_EQ(input::MouseDown(0), 1);
  EXPECT_EQ(input::TouchDown(0), 1);
  EXPECT_EQ(input::MouseDown(1), 0);

  platform.buttons = {0, 0, 1};
  platform.axes = {0.5f, -0.75f, 0, 0.25f, 0.125f, 0};
  platform.mouseX = 17;
  device->input->BeginUpdate();
  EXPECT_EQ(input::JoyDown(2, 0), 1);  // key 258
  EXPECT_EQ(input::KeyDown(258), 1);
  EXPECT_EQ(input::JoyDown(2, 1), 0);  // unit 1: key 274, never pressed
  EXPECT_FLOAT_EQ(input::JoyX(0, 0), 0.5f);
  EXPECT_FLOAT_EQ(input::JoyY(0, 0), -0.75f);
  EXPECT_FLOAT_EQ(input::JoyX(1, 0), 0.25f);
  EXPECT_FLOAT_EQ(input::JoyY(1, 0), -0.125f);
  EXPECT_FLOAT_EQ(input::JoyX(0, 1), 0.0f);  // unit 1 is not there
  EXPECT_FLOAT_EQ(input::MouseX(), 17);
  EXPECT_FLOAT_EQ(input::TouchX(0), 17);
}

}  // namespace
}  // namespace vantor::testing
