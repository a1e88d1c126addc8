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
uint32_t Digest(const std::vector<int>& values) {
  constexpr uint32_t kOffsetBasis = 2166136261u, kPrime = 16777619u;
  uint32_t hash = kOffsetBasis;
  for (const int value : values) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash = (hash ^ ((static_cast<uint32_t>(value) >> shift) & 0xffu)) * kPrime;
    }
  }
  return hash;
}

}  // namespace

std::string StateLine(const GameView& game, int update) {
  const Json line = {
      {"update", update},
      {"gameMode", game.gameMode()},
      {"loadStep", game.loadStep()},
      {"menuSlide", game.menuSlide()},
      {"creditsOpen", game.creditsOpen()},
      {"phase", game.phase()},
      {"score", game.score()},
      {"loot", game.loot()},
      {"bagsGrabbed", game.bagsGrabbed()},
      {"timeLeft", game.timeLeft()},
      {"copsToRam", game.copsToRam()},
      {"hitsLeft", game.hitsLeft()},
      {"playerHealth", game.playerHealth()},
      {"playerX", game.playerX()},
      {"playerY", game.playerY()},
      {"playerSpeed", game.playerSpeed()},
      {"sfxTimer", game.sfxTimer()},
      {"carHeading", game.carHeading()},
      {"carOffsetX", game.carOffsetX()},
      {"carOffsetY", game.carOffsetY()},
      {"cameraX", game.cameraX()},
      {"cameraY", game.cameraY()},
      {"chaseCarX", game.chaseCarX()},
      {"chaseCarVelocity", game.chaseCarVelocity()},
      {"targetCarX", game.targetCarX()},
      {"targetCarVelocity", game.targetCarVelocity()},
      {"reloadNeeded", game.reloadNeeded()},
      {"reloadX", game.reloadX()},
      {"reloadY", game.reloadY()},
      {"playerPose", game.playerPose()},
      {"copDucking", game.copDucking()},
      {"playerShotTimer", game.playerShotTimer()},
      {"copShotTimer", game.copShotTimer()},
      {"shownTotal", game.shownTotal()},
      {"worldCells", Digest(game.worldCells())},
      {"runOver", game.runOver()},
      {"gameOverFrame", game.gameOverFrame()},
      {"paused", game.paused()},
      {"touchDown", game.touchDown()},
      {"touchConsumed", game.touchConsumed()},
      {"keyConsumed", game.keyConsumed()},
      {"enteredCode", Utf8(game.enteredCode())},
      {"targetCode", Utf8(game.targetCode())},
      {"settings", game.settings()},
      {"highscores", game.highscores()},
      {"Seed", random::Seed},
  };
  // A text that is not valid UTF-8 (a lone surrogate) keeps the line valid
  // JSON: the bad bytes become U+FFFD.
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace vantor::replay
