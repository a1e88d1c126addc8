#include "tools/replay/autoplay.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "game/ids.h"
#include "game/run.h"
#include "tools/replay/city_route.h"

namespace vantor::replay {
namespace {

using game::jscrh;
using game::jscrw;

// The keypad's bottom row holds 0 and the clear key.
constexpr int kBottomRow = kKeypadRows - 1;

// The start button, at the menu's landscape or portrait place.
constexpr float kStartLandscapeX = 0.4f, kStartLandscapeY = 0.7f;
constexpr float kStartPortraitX = 0.3f, kStartPortraitY = 0.65f;

// The police car of the shootout drives at 0.8 of the height, between 0.15
// and 0.85 of the width.
constexpr float kPoliceCarY = 0.8f;
constexpr float kPoliceCarLow = 0.15f, kPoliceCarHigh = 0.85f;

// In the fight the player stands at 0.75 of the width.
constexpr float kPlayerAt = 0.75f;

// A turn asked for this close to the next crossing might land after it.
constexpr float kTurnMargin = 2 * run::kCarSpeed;

// The crossing the car last passed, in crossings.
Crossing PassedCrossing(const GameView& game) {
  return {static_cast<int>(std::lround(game.playerX() / run::kCityCell)),
          static_cast<int>(std::lround(game.playerY() / run::kCityCell))};
}

// How far the car still has to go to its next crossing.
float DistanceToNext(const GameView& game) {
  switch (game.carHeading()) {
    case run::kNorth:
      return run::kCityCell + game.carOffsetY();
    case run::kEast:
      return run::kCityCell - game.carOffsetX();
    case run::kSouth:
      return run::kCityCell - game.carOffsetY();
    default:
      return run::kCityCell + game.carOffsetX();
  }
}

Crossing NextCrossing(const GameView& game) {
  Crossing next = PassedCrossing(game);
  if (game.carHeading() == run::kNorth) next.y -= 1;
  if (game.carHeading() == run::kEast) next.x += 1;
  if (game.carHeading() == run::kSouth) next.y += 1;
  if (game.carHeading() == run::kWest) next.x -= 1;
  return next;
}

}  // namespace

void Autoplay::BeforeUpdate(Session& session, int) {
  const GameView game = session.game();
  if (game.loadStep() > 0) {
    Let(session);
    return;
  }
  if (outcome_ == Outcome::kNone && game.gameMode() == kModeRun && game.runOver() > 0) {
    if (game.phase() == kPhaseClosing) outcome_ = Outcome::kWin;
    if (game.playerHealth() < 1) outcome_ = Outcome::kLose;
    ended_ = true;
  }
  if (ended_) {
    // The game shows its overlay, enters the score and goes back to the
    // menu; the bot stops once the menu has settled with the new score.
    Let(session);
    if (game.gameMode() == kModeMenu && game.gameOverFrame() == 0 && game.menuSlide() == 0) {
      score_ = game.score();
      finished_ = true;
    }
    return;
  }
  // A player leaves the run alone while its pause menu is up.
  if (game.paused() == 1) {
    Let(session);
    return;
  }
  Play(session);
}

void Autoplay::Play(Session& session) {
  const GameView game = session.game();
  if (game.gameMode() == kModeMenu) InMenu(session);
  if (game.gameMode() == kModeRun) InRun(session);
}

// Presses the start button once the menu has flown in.
void Autoplay::InMenu(Session& session) {
  const GameView game = session.game();
  if (game.menuSlide() != 0 || game.creditsOpen() != 0) return;
  if (game.landscape() == 1) {
    Tap(session, jscrw * kStartLandscapeX, jscrh * kStartLandscapeY);
  } else {
    Tap(session, jscrw * kStartPortraitX, jscrh * kStartPortraitY);
  }
}

void Autoplay::InRun(Session& session) {
  switch (session.game().phase()) {
    case kPhaseKeypad:
      Keypad(session);
      break;
    case kPhaseCash:
      CashBags(session);
      break;
    case kPhaseChase:
      Chase(session);
      break;
    case kPhaseCarShootout:
      CarShootout(session);
      break;
    case kPhaseFenceFight:
      FenceFight(session);
      break;
    default:
      // Running, climbing and the closing screen: keep tapping.
      Tap(session, jscrw * 0.5f, jscrh * 0.5f);
      break;
  }
}

// Types the next digit of the code; a typed code that went wrong is cleared.
void Autoplay::Keypad(Session& session) {
  const GameView game = session.game();
  const int typed = game.enteredCode().Length();
  const bool onTrack =
      typed < game.targetCode().Length() && game.targetCode().StartsWith(game.enteredCode());
  int row = kBottomRow, column = kClearColumn;
  if (onTrack) {
    const int digit = game.targetCode()[typed] - '0';
    row = digit == 0 ? kBottomRow : (digit - 1) / kKeypadColumns;
    column = digit == 0 ? kZeroColumn : (digit - 1) % kKeypadColumns;
  }
  const int left = static_cast<int>(jscrw * 0.5f - kKeypadHalf);
  const int top = static_cast<int>(jscrh * 0.5f - kKeypadHalf);
  Tap(session, left + kKeyPitch * column, top + kKeyPitch * row);
}

// Takes the first bag still lying on the floor.
void Autoplay::CashBags(Session& session) {
  const GameView game = session.game();
  for (int bag = 0; bag < run::kCashBags; ++bag) {
    const run::BagCells<const int> record = game.bag(bag);
    if (record.lying == 0) continue;
    Tap(session, record.x, record.y);
    return;
  }
}

// Steers toward the nearest police car: a press on the left half of the
// screen turns left at the next crossing, on the right half right.
void Autoplay::Chase(Session& session) {
  const GameView game = session.game();
  if (down_) {
    Let(session);
    return;
  }
  if (game.carHeading() > run::kWest || DistanceToNext(game) <= kTurnMargin) return;
  const Turn turn = TurnAt(NextCrossing(game), game.carHeading(), PoliceCrossings(game));
  if (turn == Turn::kLeft) Tap(session, jscrw * 0.25f, jscrh * 0.5f);
  if (turn == Turn::kRight) Tap(session, jscrw * 0.75f, jscrh * 0.5f);
}

// Shoots where the police car will be after this update's drift, then
// presses the reload prompt.
void Autoplay::CarShootout(Session& session) {
  const GameView game = session.game();
  if (game.reloadNeeded() == 1) {
    Tap(session, game.reloadX(), game.reloadY());
    return;
  }
  const float ahead = std::clamp(game.targetCarX() + game.targetCarVelocity(),
                                 jscrw * kPoliceCarLow, jscrw * kPoliceCarHigh);
  Tap(session, ahead, jscrh * kPoliceCarY);
}

// Holding a press ducks. To win, duck only under an arriving bullet; to
// lose, stay ducked (a ducked player never fires) except then.
void Autoplay::FenceFight(Session& session) {
  const bool arriving = BulletArriving(session.game());
  const bool duck = goal_ == Goal::kWin ? arriving : !arriving;
  if (duck) {
    Hold(session, jscrw * 0.5f, jscrh * 0.5f);
  } else {
    Let(session);
  }
}

bool Autoplay::BulletArriving(const GameView& game) const {
  for (int i = 0; i < run::kBulletSlots; ++i) {
    const run::BulletCells<const int> bullet = game.bullet(i);
    if (bullet.kind != run::kCopBullet) continue;
    const float next = bullet.x + run::kBulletSpeed;
    if (std::abs(next - jscrw * kPlayerAt) < run::kBulletReach) return true;
  }
  return false;
}

void Autoplay::Tap(Session& session, float x, float y) {
  if (down_) {
    Let(session);
  } else {
    Hold(session, x, y);
  }
}

void Autoplay::Hold(Session& session, float x, float y) {
  const GameView game = session.game();
  session.PointerTo(x * game.scaleX(), y * game.scaleY());
  if (!down_) session.PointerDown();
  down_ = true;
}

void Autoplay::Let(Session& session) {
  if (down_) session.PointerUp();
  down_ = false;
}

bool Autoplay::Succeeded() const {
  return finished_ && ((goal_ == Goal::kWin && outcome_ == Outcome::kWin) ||
                       (goal_ == Goal::kLose && outcome_ == Outcome::kLose));
}

std::string Autoplay::Report(int updates) const {
  const char* name = outcome_ == Outcome::kWin    ? "win"
                     : outcome_ == Outcome::kLose ? "lose"
                                                  : "none";
  std::ostringstream line;
  line << "outcome=" << name << " score=" << score_ << " updates=" << updates;
  return line.str();
}

}  // namespace vantor::replay
