#include "tools/replay/state_line.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <vector>

#include "modules/random.h"

namespace vantor::replay {
namespace {

// Fields keep the order they are named in, so lines read well side by side.
using Json = nlohmann::ordered_json;

std::string Utf8(const String& text) {
  std::vector<unsigned char> bytes;
  text.Save(bytes);
  return std::string(bytes.begin(), bytes.end());
}

// FNV-1a over the values: one number that changes when any of them does.
uint32_t Digest(const Array<int>& values) {
  constexpr uint32_t kOffsetBasis = 2166136261u, kPrime = 16777619u;
  uint32_t hash = kOffsetBasis;
  for (const int value : values) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash = (hash ^ ((static_cast<uint32_t>(value) >> shift) & 0xffu)) * kPrime;
    }
  }
  return hash;
}

template <class T>
Json List(const Array<T>& values) {
  Json list = Json::array();
  for (int i = 0; i < values.Length(); ++i) list.push_back(values[i]);
  return list;
}

}  // namespace

std::string StateLine(const MyApp& app, int update) {
  const Json line = {
      {"update", update},
      {"gameMode", app.gameMode},
      {"loadStep", app.loadStep},
      {"menuSlide", app.menuSlide},
      {"creditsOpen", app.creditsOpen},
      {"phase", app.phase},
      {"score", app.score},
      {"loot", app.loot},
      {"bagsGrabbed", app.bagsGrabbed},
      {"timeLeft", app.timeLeft},
      {"copsToRam", app.copsToRam},
      {"hitsLeft", app.hitsLeft},
      {"playerHealth", app.playerHealth},
      {"playerX", app.playerX},
      {"playerY", app.playerY},
      {"playerSpeed", app.playerSpeed},
      {"sfxTimer", app.sfxTimer},
      {"carHeading", app.carHeading},
      {"carOffsetX", app.carOffsetX},
      {"carOffsetY", app.carOffsetY},
      {"cameraX", app.cameraX},
      {"cameraY", app.cameraY},
      {"chaseCarX", app.chaseCarX},
      {"chaseCarVelocity", app.chaseCarVelocity},
      {"targetCarX", app.targetCarX},
      {"targetCarVelocity", app.targetCarVelocity},
      {"reloadNeeded", app.reloadNeeded},
      {"reloadX", app.reloadX},
      {"reloadY", app.reloadY},
      {"playerPose", app.playerPose},
      {"copDucking", app.copDucking},
      {"playerShotTimer", app.playerShotTimer},
      {"copShotTimer", app.copShotTimer},
      {"shownTotal", app.shownTotal},
      {"worldCells", Digest(app.worldCells)},
      {"runOver", app.runOver},
      {"gameOverFrame", app.gameOverFrame},
      {"paused", app.paused},
      {"touchDown", app.touchDown},
      {"touchConsumed", app.touchConsumed},
      {"keyConsumed", app.keyConsumed},
      {"enteredCode", Utf8(app.enteredCode)},
      {"targetCode", Utf8(app.targetCode)},
      {"settings", List(app.settings)},
      {"highscores", List(app.highscores)},
      {"Seed", random::Seed},
  };
  // A text that is not valid UTF-8 (a lone surrogate) keeps the line valid
  // JSON: the bad bytes become U+FFFD.
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace vantor::replay
