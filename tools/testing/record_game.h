// RecordGame: the game object without a window or assets, for loading and
// saving its record thousands of times in one process. The framework
// starts in-process over a FakePlatform with the game's own start-up; the
// MyApp is made but never created, so only the record code runs. Loads
// read the state file of the working directory, as the game does.
// Used by the record tests (tests/record) and fuzz/record_fuzzer.cpp.
#pragma once

#include <cstdio>
#include <fstream>

#include "game/myapp.h"
#include "game/startup.h"
#include "host/files.h"
#include "host/startup.h"
#include "tools/testing/fake_platform.h"
#include "tools/testing/record_model.h"

namespace vantor::testing {

class RecordGame {
 public:
  FakePlatform platform;

  RecordGame() {
    StartInProcess(platform, GameStartupHooks());
    // No OpenGL context here: keep the graphics device away from it.
    app::device->graphics->mode = 0;
  }
  ~RecordGame() { StopInProcess(); }

  MyApp& app() const { return RunningGame(); }

  // Loads `bytes` written as a fresh state file (some file systems flush a
  // truncated file as it closes) over the start-up defaults, takes one
  // collection step as the host loop does, and reads the fields back.
  RecordFields Load(const std::string& bytes) const {
    std::remove(kStateFileName);
    std::ofstream(kStateFileName, std::ios::binary) << bytes;
    RecordFields fields = DefaultFields();
    std::copy(fields[0].begin(), fields[0].end(), app().settings.begin());
    std::fill(app().badgeEarned.begin(), app().badgeEarned.end(), false);
    std::fill(app().highscores.begin(), app().highscores.end(), 0);
    app().m_Load();
    gc_collect();
    std::copy(app().settings.begin(), app().settings.end(), fields[0].begin());
    for (int b = 0; b < kBadgeCount; ++b)
      fields[1][b / 32] |= static_cast<int32_t>(app().badgeEarned[b] * 1u << b % 32);
    // Ranked score i (0-29) and recent score 30 + i make a pair of table i / 10.
    for (int i = 0; i < kHighscores; ++i)
      fields[2 + i % 30 / 10][i % 10 * 2 + i / 30] = app().highscores[i];
    return fields;
  }
};

}  // namespace vantor::testing
