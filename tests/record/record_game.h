// RecordGame: the game object without a window or assets, for loading and
// saving its record thousands of times in one process. The framework
// starts in-process over a FakePlatform with the game's own start-up; the
// MyApp is made but never created, so only the record code runs. Loads
// read the state file of the working directory, as the game does.
// Used by the record tests (tests/record) and fuzz/record_fuzzer.cpp.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>

#include "game/myapp.h"
#include "game/startup.h"
#include "host/files.h"
#include "host/startup.h"
#include "modules/app.h"
#include "tests/host/fake_platform.h"
#include "tests/record/record_model.h"

namespace vantor::testing {

class RecordGame {
 public:
  RecordGame() {
    StartInProcess(platform_, GameStartupHooks());
    // No OpenGL context here: keep the graphics device away from it.
    app::device->graphics->mode = 0;
  }
  ~RecordGame() { StopInProcess(); }
  RecordGame(const RecordGame&) = delete;
  RecordGame& operator=(const RecordGame&) = delete;

  MyApp& app() const { return *static_cast<MyApp*>(app::device->app.get()); }

  // The fields as creation leaves them before loading.
  void Reset() const { Store(RecordFields::Defaults()); }

  void Store(const RecordFields& f) const {
    for (int i = 0; i < kSettings; ++i) app().settings[i] = f.settings[i];
    for (int i = 0; i < kBadgeCount; ++i) app().badgeEarned[i] = f.badges[i];
    for (int i = 0; i < kHighscores; ++i) app().highscores[i] = f.scores[i];
  }

  RecordFields Fields() const {
    RecordFields f;
    for (int i = 0; i < kSettings; ++i) f.settings[i] = app().settings[i];
    for (int i = 0; i < kBadgeCount; ++i) f.badges[i] = app().badgeEarned[i];
    for (int i = 0; i < kHighscores; ++i) f.scores[i] = app().highscores[i];
    return f;
  }

  // Starts from the defaults and loads the state file; then one collection
  // step, as the host loop takes after every call into the game.
  RecordFields LoadFile() const {
    Reset();
    app().m_Load();
    gc_collect();
    return Fields();
  }

  // LoadFile over `bytes` written as the state file. (A fresh file, not a
  // truncated one: some file systems flush a truncated file when it closes.)
  RecordFields Load(const std::string& bytes) const {
    std::remove(kStateFileName);
    std::ofstream(kStateFileName, std::ios::binary) << bytes;
    return LoadFile();
  }

 private:
  FakePlatform platform_;
};

}  // namespace vantor::testing
