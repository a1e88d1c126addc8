#include "tools/replay/autoplay.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "game/ids.h"
#include "game/run.h"
#include "host/input.h"
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

// Keys as the input device numbers them, and a standard pad's buttons in
// the host's order.
constexpr int kKeyEnter = 13, kKeySpace = 32, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39,
              kKeyDown = 40;
constexpr int kButtonA = 0, kButtonB = 1, kButtonX = 2;
constexpr int kPadLeft = 8, kPadUp = 9, kPadRight = 10, kPadDown = 11;
// The stick pushed all the way.
constexpr float kStickFull = 1;

struct KeyCell {
  int row, column;
};

// Where the key of `value` (a digit, or kClearKey) stands on the keypad.
KeyCell CellOf(int value) {
  if (value == kClearKey) return {kBottomRow, kClearColumn};
  if (value == 0) return {kBottomRow, kZeroColumn};
  return {(value - 1) / kKeypadColumns, (value - 1) % kKeypadColumns};
}

constexpr Control Key(int code) { return {Control::Kind::kKey, 0, 0, code}; }
constexpr Control Button(int button) { return {Control::Kind::kButton, 0, 0, button}; }
constexpr Control Stick(float x, float y) { return {Control::Kind::kStick, x, y, 0}; }
Control Pointer(float x, float y) { return {Control::Kind::kPointer, x, y, 0}; }

// A highlight step (an action of game/ids.h) as an arrow key, the pad's
// d-pad and its stick; any other step presses (Space, A, A).
struct StepControls {
  int step;
  Control key, button, stick;
};
constexpr StepControls kSteps[] = {
    {kActionUp, Key(kKeyUp), Button(kPadUp), Stick(0, -kStickFull)},
    {kActionDown, Key(kKeyDown), Button(kPadDown), Stick(0, kStickFull)},
    {kActionLeft, Key(kKeyLeft), Button(kPadLeft), Stick(-kStickFull, 0)},
    {kActionRight, Key(kKeyRight), Button(kPadRight), Stick(kStickFull, 0)},
};
constexpr StepControls kPressStep{kActionFire, Key(kKeySpace), Button(kButtonA), Button(kButtonA)};

const StepControls& ControlsFor(int step) {
  for (const StepControls& each : kSteps) {
    if (each.step == step) return each;
  }
  return kPressStep;
}

bool SameControl(const Control& a, const Control& b) {
  return a.kind == b.kind &&
         (a.kind == Control::Kind::kPointer || (a.code == b.code && a.x == b.x && a.y == b.y));
}

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
  if (input_ == InputKind::kPad && !padConnected_) {
    session.ConnectPad();
    padConnected_ = true;
  }
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
  Do(session, Decide(game));
}

// Presses the start button once the menu has flown in.
Act Autoplay::Decide(const GameView& game) const {
  if (game.gameMode() == kModeMenu) {
    if (game.menuSlide() != 0 || game.creditsOpen() != 0) return {};
    return {Move::kStart};
  }
  if (game.gameMode() == kModeRun) return InRun(game);
  return {};
}

Act Autoplay::InRun(const GameView& game) const {
  switch (game.phase()) {
    case kPhaseKeypad:
      return Keypad(game);
    case kPhaseCash:
      return CashBags(game);
    case kPhaseChase:
      return Chase(game);
    case kPhaseCarShootout:
      return CarShootout(game);
    case kPhaseFenceFight:
      return FenceFight(game);
    case kPhaseClosing:
      return {Move::kEnd};
    default:
      // Running and climbing: keep tapping.
      return {Move::kStride};
  }
}

// Types the next digit of the code; a typed code that went wrong is cleared.
Act Autoplay::Keypad(const GameView& game) const {
  const int typed = game.enteredCode().Length();
  const bool onTrack =
      typed < game.targetCode().Length() && game.targetCode().StartsWith(game.enteredCode());
  return {Move::kType, onTrack ? game.targetCode()[typed] - '0' : kClearKey};
}

// Takes the first bag still lying on the floor.
Act Autoplay::CashBags(const GameView& game) const {
  for (int bag = 0; bag < run::kCashBags; ++bag) {
    if (game.bag(bag).lying != 0) return {Move::kGrab, bag};
  }
  return {};
}

// Steers toward the nearest police car: a turn asked for now happens at
// the next crossing.
Act Autoplay::Chase(const GameView& game) const {
  if (held_.kind != Control::Kind::kNone) return {Move::kLet};
  if (game.carHeading() > run::kWest || DistanceToNext(game) <= kTurnMargin) return {};
  const Turn turn = TurnAt(NextCrossing(game), game.carHeading(), PoliceCrossings(game));
  if (turn == Turn::kLeft) return {Move::kTurnLeft};
  if (turn == Turn::kRight) return {Move::kTurnRight};
  return {};
}

// Shoots at the police car, then reloads.
Act Autoplay::CarShootout(const GameView& game) const {
  return {game.reloadNeeded() == 1 ? Move::kReload : Move::kShoot};
}

// Holding a press ducks. To win, duck only under an arriving bullet; to
// lose, stay ducked (a ducked player never fires) except then.
Act Autoplay::FenceFight(const GameView& game) const {
  const bool arriving = BulletArriving(game);
  const bool duck = goal_ == Goal::kWin ? arriving : !arriving;
  return {duck ? Move::kDuck : Move::kLet};
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

// ---- The input ------------------------------------------------------------

Control Autoplay::ControlFor(const GameView& game, const Act& act) {
  switch (input_) {
    case InputKind::kKeys:
      return KeyFor(game, act);
    case InputKind::kPad:
      return PadFor(game, act);
    default:
      return PointerFor(game, act);
  }
}

// Where to press: the start button, the key, the bag, a half of the screen
// to turn to, where the police car will be after this update's drift, the
// reload prompt; anywhere else for the rest.
Control Autoplay::PointerFor(const GameView& game, const Act& act) const {
  switch (act.move) {
    case Move::kStart:
      if (game.landscape() == 1) return Pointer(jscrw * kStartLandscapeX, jscrh * kStartLandscapeY);
      return Pointer(jscrw * kStartPortraitX, jscrh * kStartPortraitY);
    case Move::kType: {
      const KeyCell cell = CellOf(act.value);
      const int left = static_cast<int>(jscrw * 0.5f - kKeypadHalf);
      const int top = static_cast<int>(jscrh * 0.5f - kKeypadHalf);
      return Pointer(left + kKeyPitch * cell.column, top + kKeyPitch * cell.row);
    }
    case Move::kGrab:
      return Pointer(game.bag(act.value).x, game.bag(act.value).y);
    case Move::kTurnLeft:
      return Pointer(jscrw * 0.25f, jscrh * 0.5f);
    case Move::kTurnRight:
      return Pointer(jscrw * 0.75f, jscrh * 0.5f);
    case Move::kShoot: {
      const float ahead = std::clamp(game.targetCarX() + game.targetCarVelocity(),
                                     jscrw * kPoliceCarLow, jscrw * kPoliceCarHigh);
      return Pointer(ahead, jscrh * kPoliceCarY);
    }
    case Move::kReload:
      return Pointer(game.reloadX(), game.reloadY());
    default:
      return Pointer(jscrw * 0.5f, jscrh * 0.5f);
  }
}

// Digits on the number row and the numpad by turns, C, the arrows and
// Space over the bags, Space, the arrows, R and Down.
Control Autoplay::KeyFor(const GameView& game, const Act& act) {
  switch (act.move) {
    case Move::kStart:
      return Key(kKeyEnter);
    case Move::kType:
      if (act.value == kClearKey) return Key('C');
      return Key((typed_++ % 2 == 0 ? '0' : kKeyNumpad0) + act.value);
    case Move::kGrab:
      return ControlsFor(BagStep(game, act.value)).key;
    case Move::kTurnLeft:
      return Key(kKeyLeft);
    case Move::kTurnRight:
      return Key(kKeyRight);
    case Move::kReload:
      return Key('R');
    case Move::kDuck:
      return Key(kKeyDown);
    default:
      return Key(kKeySpace);
  }
}

// The d-pad over the keypad, the stick over the bags and to turn, A, X
// and B.
Control Autoplay::PadFor(const GameView& game, const Act& act) {
  switch (act.move) {
    case Move::kType:
      return ControlsFor(KeypadStep(game, act.value)).button;
    case Move::kGrab:
      return ControlsFor(BagStep(game, act.value)).stick;
    case Move::kTurnLeft:
      return Stick(-kStickFull, 0);
    case Move::kTurnRight:
      return Stick(kStickFull, 0);
    case Move::kReload:
      return Button(kButtonX);
    case Move::kDuck:
      return Button(kButtonB);
    default:
      return Button(kButtonA);
  }
}

// A press first shows the highlight; then it goes up out of the bottom
// row (whose left end has no key), across, and up or down.
int Autoplay::KeypadStep(const GameView& game, int value) const {
  if (game.highlightShown() == 0) return kActionFire;
  const KeyCell at{game.highlight() / kKeypadColumns, game.highlight() % kKeypadColumns};
  const KeyCell to = CellOf(value);
  if (at.row == kBottomRow && to.row != kBottomRow) return kActionUp;
  if (at.column != to.column) return at.column < to.column ? kActionRight : kActionLeft;
  if (at.row != to.row) return at.row < to.row ? kActionDown : kActionUp;
  return kActionFire;
}

// A press first shows the highlight; then it moves along the longer way
// to the bag. The game picks the bag most nearly in line, which may not be
// this one: after as many steps as there are bags the bot takes the bag
// the highlight is on.
int Autoplay::BagStep(const GameView& game, int bag) {
  if (game.highlightShown() == 0) return kActionFire;
  if (game.highlight() == bag || bagSteps_ >= run::kCashBags) {
    bagSteps_ = 0;
    return kActionFire;
  }
  ++bagSteps_;
  const int dx = game.bag(bag).x - game.bag(game.highlight()).x;
  const int dy = game.bag(bag).y - game.bag(game.highlight()).y;
  if (std::abs(dx) >= std::abs(dy)) return dx < 0 ? kActionLeft : kActionRight;
  return dy < 0 ? kActionUp : kActionDown;
}

void Autoplay::Do(Session& session, const Act& act) {
  switch (act.move) {
    case Move::kNone:
      return;
    case Move::kLet:
      return Let(session);
    case Move::kDuck:
      return Hold(session, ControlFor(session.game(), act));
    default:
      if (held_.kind != Control::Kind::kNone) return Let(session);
      return Press(session, ControlFor(session.game(), act));
  }
}

// A pointer held follows where it is asked to hold; another control held
// is let go for this one.
void Autoplay::Hold(Session& session, const Control& control) {
  if (held_.kind != Control::Kind::kNone && !SameControl(held_, control)) Let(session);
  if (control.kind == Control::Kind::kPointer) {
    const GameView game = session.game();
    session.PointerTo(control.x * game.scaleX(), control.y * game.scaleY());
  }
  if (held_.kind == Control::Kind::kNone) Press(session, control);
}

void Autoplay::Press(Session& session, const Control& control) {
  switch (control.kind) {
    case Control::Kind::kPointer: {
      const GameView game = session.game();
      session.PointerTo(control.x * game.scaleX(), control.y * game.scaleY());
      session.PointerDown();
      break;
    }
    case Control::Kind::kKey:
      session.KeyDown(control.code);
      break;
    case Control::Kind::kButton:
      session.PadButton(control.code, true);
      break;
    case Control::Kind::kStick:
      session.PadStick(control.x, control.y);
      break;
    case Control::Kind::kNone:
      break;
  }
  held_ = control;
}

void Autoplay::Let(Session& session) {
  switch (held_.kind) {
    case Control::Kind::kPointer:
      session.PointerUp();
      break;
    case Control::Kind::kKey:
      session.KeyUp(held_.code);
      break;
    case Control::Kind::kButton:
      session.PadButton(held_.code, false);
      break;
    case Control::Kind::kStick:
      session.PadStick(0, 0);
      break;
    case Control::Kind::kNone:
      break;
  }
  held_ = {};
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
