#include "tools/testing/scripted_player.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "game/run.h"

namespace vantor::testing {
namespace {

using namespace run;
using game::jscrh;
using game::jscrw;

constexpr int kModeMenu = 1;

// The keypad: a 3 x 4 grid of keys 72 units apart, the first centred 80
// units up and left of the screen's centre; 0 and C on the bottom row.

// Crossings are 260 units apart; a police car at cell (c, r) stands on
// crossing (c + 1, r + 1). Headings in order: north, east, south, west.
constexpr int kStepX[] = {0, 1, 0, -1};
constexpr int kStepY[] = {-1, 0, 1, 0};
// A turn asked for this close to the crossing might land after it.
constexpr float kTurnMargin = 2 * kCarSpeed;

// A cop's bullet this close to the player, or closer, is about to hit.
constexpr float kDuckReach = kBulletReach + 2 * kBulletSpeed;

}  // namespace

void ScriptedPlayer::Tap(float x, float y) {
  if (down_) return Let();
  game_.MoveTo(x, y);
  game_.Press();
  down_ = true;
}

void ScriptedPlayer::Hold(float x, float y) {
  game_.MoveTo(x, y);
  if (!down_) game_.Press();
  down_ = true;
}

void ScriptedPlayer::Let() {
  if (down_) game_.Release();
  down_ = false;
}

bool ScriptedPlayer::PlayUntil(const std::function<bool()>& done, int limit) {
  for (int frame = 0; frame < limit; ++frame) {
    if (done()) return true;
    BeforeUpdate();
    game_.Frame();
  }
  return done();
}

bool ScriptedPlayer::PlayToPhase(int phase) {
  return PlayUntil([&] { return app_.gameMode == kModeRun && app_.phase == phase; });
}

void ScriptedPlayer::BeforeUpdate() {
  if (app_.loadStep != 0 || app_.paused != 0) return Let();
  if (app_.gameMode == kModeMenu) return Menu();
  if (app_.gameMode != kModeRun || app_.runOver > 0) return Let();
  switch (app_.phase) {
    case kPhaseKeypad:
      return Keypad();
    case kPhaseCash:
      return CashBags();
    case kPhaseChase:
      return Chase();
    case kPhaseCarShootout:
      return CarShootout();
    case kPhaseFenceFight:
      return FenceFight();
    default:
      return Tap(jscrw * 0.5f, jscrh * 0.5f);  // running, climbing, the closing screen
  }
}

// The start button, once the menu has flown in.
void ScriptedPlayer::Menu() {
  if (app_.menuSlide < 0) return Let();
  Tap(jscrw * 0.4f, jscrh * 0.7f);
}

void ScriptedPlayer::Keypad() {
  const int typed = app_.enteredCode.Length();
  const bool onTrack = typed < kCodeLength && app_.targetCode.StartsWith(app_.enteredCode);
  const int value = onTrack ? app_.targetCode[typed] - '0' : kClearKey;
  int row = 3, column = value == 0 ? 1 : 2;
  if (value >= 1 && value <= 9) row = (value - 1) / 3, column = (value - 1) % 3;
  Tap(std::trunc(jscrw * 0.5f - kKeypadHalf) + kKeyPitch * column,
      std::trunc(jscrh * 0.5f - kKeypadHalf) + kKeyPitch * row);
}

void ScriptedPlayer::CashBags() {
  for (int bag = 0; bag < kCashBags; ++bag) {
    const auto record = Bag(app_.worldCells.Data(), bag);
    if (record.lying != 0) return Tap(static_cast<float>(record.x), static_cast<float>(record.y));
  }
  Let();
}

// Steers at the next crossing toward the nearest police car still standing.
void ScriptedPlayer::Chase() {
  if (down_ || app_.carHeading >= kTurnLeft) return Let();
  const int heading = app_.carHeading;
  const float offset = heading == kNorth || heading == kWest
                           ? (heading == kNorth ? app_.carOffsetY : app_.carOffsetX)
                           : -(heading == kSouth ? app_.carOffsetY : app_.carOffsetX);
  if (kCityCell + offset <= kTurnMargin) return;  // turn at the crossing after
  const int nextX = static_cast<int>(std::lround(app_.playerX / kCityCell)) + kStepX[heading];
  const int nextY = static_cast<int>(std::lround(app_.playerY / kCityCell)) + kStepY[heading];
  int bestX = 0, bestY = 0, best = INT_MAX;
  for (int column = 0; column < kCityCells; ++column) {
    for (int row = 0; row < kCityCells; ++row) {
      const int v = CityCell(app_.worldCells.Data(), column, row);
      const int distance = std::abs(column + 1 - nextX) + std::abs(row + 1 - nextY);
      if (v >= 1 && v <= 4 && distance < best) best = distance, bestX = column + 1, bestY = row + 1;
    }
  }
  const int dx = bestX - nextX, dy = bestY - nextY;
  const auto toward = [&](int h) { return kStepX[h] * dx + kStepY[h] * dy > 0; };
  if (best == INT_MAX || toward(heading)) return;
  const bool left = toward((heading + 3) % 4);
  Tap(left ? jscrw * 0.25f : jscrw * 0.75f, jscrh * 0.5f);
}

void ScriptedPlayer::CarShootout() {
  if (app_.reloadNeeded) return Tap(app_.reloadX, app_.reloadY);
  Tap(app_.targetCarX, jscrh * 0.8f);
}

// Ducks only while a cop's bullet is about to arrive; the gun fires itself.
void ScriptedPlayer::FenceFight() {
  const float player = jscrw * 0.75f;
  for (int slot = 0; slot < kBulletSlots; ++slot) {
    const auto bullet = Bullet(app_.worldCells.Data(), slot);
    const auto x = static_cast<float>(bullet.x);
    if (bullet.kind == kCopBullet && x > player - kDuckReach && x < player + kBulletReach) {
      return Hold(jscrw * 0.5f, jscrh * 0.5f);
    }
  }
  Let();
}

}  // namespace vantor::testing
