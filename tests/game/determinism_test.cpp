// The game is deterministic: a fixed script (the title menu, a whole won
// run played through the pointer, a pause, a resize, the score entered and
// the menu again) under the harness's clock gives the same draw lists, the
// same picture on the device, the same sounds and the same state in every
// update, on every machine and in every build. Each update's hash is
// chained into one final hash, compared with a stored constant; when it
// differs the test names the first update that differs from the recorded
// trace (tests/fixtures/determinism_trace.txt).
//
// After a change that is meant to change what the game does, refresh the
// trace and print the new constant for kFinalHash:
//
//   VANTOR_REFRESH_TRACE=1 build/tests/test_game --gtest_filter='Determinism.*'
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/run.h"
#include "modules/random.h"
#include "tools/testing/game_harness.h"
#include "tools/testing/scripted_player.h"

namespace vantor::testing {
namespace {

constexpr uint64_t kFinalHash = 0x84ecf9bbcd3bcec1ull;
const std::string kTracePath =
    std::string(VANTOR_SOURCE_DIR) + "/tests/fixtures/determinism_trace.txt";
constexpr int kHashesPerLine = 10;

// FNV-1a, 64 bits.
class Hash {
 public:
  template <class T>
  void Add(const T* data, size_t count) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    for (size_t i = 0; i < count * sizeof(T); ++i) value_ = (value_ ^ bytes[i]) * 0x100000001b3ull;
  }
  template <class T>
  void Add(const T& value) {
    Add(&value, 1);
  }
  template <class T>
  void Add(const Array<T>& array) {
    Add(array.Data(), static_cast<size_t>(array.Length()));
  }
  void Add(const String& text) { Add(text.Data(), static_cast<size_t>(text.Length())); }
  uint64_t value() const { return value_; }

 private:
  uint64_t value_ = 0xcbf29ce484222325ull;
};

// The update's draw list, what the render gave the device, the sounds
// started since `soundsSeen`, and the state of the mode machine and the run.
uint64_t UpdateHash(const GameHarness& game, size_t& soundsSeen) {
  const MyApp& app = game.app();
  Hash hash;
  hash.Add(app.drawList.Data(), static_cast<size_t>(app.drawListLength));
  for (const gxtkDrawn& d : game.graphics().drawn) {
    hash.Add(d.kind), hash.Add(d.x), hash.Add(d.y), hash.Add(d.width), hash.Add(d.height);
    hash.Add(d.matrix, 6), hash.Add(d.color), hash.Add(d.blend);
    hash.Add(d.srcx), hash.Add(d.srcy), hash.Add(d.srcw), hash.Add(d.srch);
  }
  for (; soundsSeen < game.audio().played.size(); ++soundsSeen) {
    const std::string& path = game.audio().played[soundsSeen];
    hash.Add(path.data(), path.size());
  }
  for (const int value :
       {app.gameMode,   app.loadStep,     app.artScale,      app.menuSlide,   app.paused,
        app.phase,      app.timeLeft,     app.loot,          app.bagsGrabbed, app.score,
        app.shownTotal, app.runOver,      app.gameOverFrame, app.carHeading,  app.copsToRam,
        app.hitsLeft,   app.reloadNeeded, app.playerHealth,  app.playerPose,  app.copDucking,
        app.sfxTimer,   random::Seed}) {
    hash.Add(value);
  }
  for (const float value :
       {app.playerX, app.playerY, app.playerSpeed, app.carOffsetX, app.carOffsetY, app.cameraX,
        app.cameraY, app.chaseCarX, app.targetCarX, app.reloadX, app.reloadY}) {
    hash.Add(value);
  }
  hash.Add(app.enteredCode), hash.Add(app.targetCode);
  hash.Add(app.worldCells), hash.Add(app.highscores), hash.Add(app.settings);
  return hash.value();
}

struct Played {
  std::vector<uint32_t> trace;  // each update's hash, its low 32 bits
  uint64_t final = 0;
  bool paused = false, resized = false, reloaded = false, won = false;
};

// The script: the menu flies in and the player starts a run from it; in
// phase 3 the run is paused for half a second by the back key and goes on;
// at the start of phase 6 the window grows to 1280 x 960 (the "-hd2" art is
// reloaded); the run is won, its score entered, and the menu shown a while.
Played PlayTheScript() {
  constexpr int kPauseAt = 10, kPauseUpdates = 30, kMenuAfter = 60, kLimit = 12000;
  GameHarness game;
  MyApp& app = game.app();
  ScriptedPlayer player(game);
  Played played;
  Hash chain;
  size_t soundsSeen = 0;
  const auto frame = [&] {
    game.Frame();
    const uint64_t hash = UpdateHash(game, soundsSeen);
    chain.Add(hash);
    played.trace.push_back(static_cast<uint32_t>(hash));
  };
  const auto key = [&](int code) { game.KeyDown(code), frame(), game.KeyUp(code), frame(); };
  int inBankHall = 0, afterRun = 0;
  while (static_cast<int>(played.trace.size()) < kLimit && afterRun < kMenuAfter) {
    if (app.gameMode == kModeRun && app.phase == kPhaseBankHall && ++inBankHall == kPauseAt) {
      key(kKeyEscape);
      played.paused = app.paused == 1;
      for (int i = 0; i < kPauseUpdates; ++i) frame();
      key(kKeyEscape);
    }
    if (app.gameMode == kModeRun && app.phase == kPhaseCarShootout && !played.resized) {
      game.platform().width = 1280, game.platform().height = 960;
      played.resized = true;
      frame();  // the render sees the new size and reloads the art
      played.reloaded = app.loadStep > 0;
    }
    if (app.highscores[30] != 0) ++afterRun;
    player.BeforeUpdate();
    frame();
  }
  played.won = app.highscores[30] > 0;
  played.final = chain.value();
  return played;
}

std::vector<uint32_t> ReadTrace() {
  std::ifstream file(kTracePath);
  std::vector<uint32_t> trace;
  for (std::string word; file >> word;)
    trace.push_back(static_cast<uint32_t>(std::stoul(word, nullptr, 16)));
  return trace;
}

void WriteTrace(const std::vector<uint32_t>& trace) {
  std::ofstream file(kTracePath);
  for (size_t i = 0; i < trace.size(); ++i) {
    char word[16];
    std::snprintf(word, sizeof word, "%08" PRIx32, trace[i]);
    file << word << ((i + 1) % kHashesPerLine == 0 || i + 1 == trace.size() ? "\n" : " ");
  }
}

std::string FirstDifference(const std::vector<uint32_t>& got,
                            const std::vector<uint32_t>& recorded) {
  std::ostringstream out;
  for (size_t i = 0; i < got.size() || i < recorded.size(); ++i) {
    if (i >= got.size() || i >= recorded.size() || got[i] != recorded[i]) {
      out << "the first update that differs from the recorded trace is update " << i + 1 << " of "
          << got.size() << " (recorded: " << recorded.size() << ")";
      return out.str();
    }
  }
  return "every update's hash is as recorded, only the stored final hash differs";
}

TEST(Determinism, AWonRunWithAPauseAndAResizeHashesAsRecordedUpdateByUpdate) {
  const Played played = PlayTheScript();
  ASSERT_TRUE(played.paused) << "the script's pause did not happen";
  ASSERT_TRUE(played.resized && played.reloaded)
      << "the script's run never reached phase 6, or a resize reloaded nothing";
  ASSERT_TRUE(played.won) << "the script's run was not won";
  if (std::getenv("VANTOR_REFRESH_TRACE")) {
    WriteTrace(played.trace);
    std::printf("trace written to %s; kFinalHash = 0x%016" PRIx64 "ull\n", kTracePath.c_str(),
                played.final);
  }
  const Played again = PlayTheScript();
  EXPECT_EQ(again.trace, played.trace) << "two plays of the same script differ";
  EXPECT_EQ(played.final, kFinalHash)
      << "the scripted run went differently: " << FirstDifference(played.trace, ReadTrace());
}

}  // namespace
}  // namespace vantor::testing
