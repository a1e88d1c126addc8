// LoopApp: a host application object that records what the loop calls, for
// the schedule tests, with a fixture that builds it over a FakePlatform.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/app.h"
#include "host/graphics.h"
#include "host/startup.h"
#include "tests/host/fake_platform.h"

namespace vantor::testing {

class LoopApp : public gxtkApp {
 public:
  std::vector<std::string> log;
  std::function<void()> onCreate, onUpdate, onRender, onSuspend, onResume;
  int updates = 0;
  int renders = 0;

  int OnCreate() override { return Record("create", onCreate); }
  int OnUpdate() override {
    ++updates;
    return Record("update", onUpdate);
  }
  int OnRender() override {
    ++renders;
    return Record("render", onRender);
  }
  int OnSuspend() override { return Record("suspend", onSuspend); }
  int OnResume() override { return Record("resume", onResume); }
  int SetUpdateRate(int hertz) override {
    log.push_back("rate " + std::to_string(hertz));
    return gxtkApp::SetUpdateRate(hertz);
  }

  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
  }

 private:
  int Record(const char* entry, const std::function<void()>& hook) {
    log.push_back(entry);
    if (hook) hook();
    return 0;
  }
};

// Builds a LoopApp through the real start-up over a FakePlatform. The
// graphics device is switched to mode 0 so that nothing reaches OpenGL; the
// platform still counts the buffer swaps.
class LoopTest : public ::testing::Test {
 protected:
  static constexpr int kRate = 60;
  static constexpr double kPeriod = 1.0 / kRate;

  FakePlatform platform;
  LoopApp* app = nullptr;

  void SetUp() override {
    StartInProcess(platform, {[] {}, [] { gc_new<LoopApp>(); }});
    app = static_cast<LoopApp*>(host::app);
    app->graphics->mode = 0;
  }
  void TearDown() override { StopInProcess(); }

  // Closes the window once the app has run `count` updates.
  void CloseAfterUpdates(int count) {
    app->onUpdate = [this, count] {
      if (app->updates == count) platform.open = false;
    };
  }
};

}  // namespace vantor::testing
