// The autoplay bot: waits for the loader, starts a run from the title menu
// and plays it to the end, reading the game's state the way a player reads
// the screen (where the next key of the code is, where the bags lie, where
// the police cars stand, where the reload prompt is, when a bullet is about
// to arrive). Asked to win, it ducks only under the cop's bullets; asked to
// lose, it stays ducked (so its gun never fires) except when a cop's bullet
// is about to arrive. While the run is paused it lets go and waits. After
// the run it lets the game go back to the menu and enter the score. Driven
// by the replay session (session.cpp) before each update.
//
// What to do (type a digit, grab a bag, stride, turn, shoot, reload, duck,
// end) is decided once, whatever the input; the input then turns it into
// pointer presses, keys (digits, arrows and Space over the highlight, R,
// Down) or a gamepad's buttons and stick (the d-pad and the stick over the
// highlight, A, X, B), pressed in one update and let go in the next.
#pragma once

#include <string>

#include "tools/replay/options.h"
#include "tools/replay/session.h"

namespace vantor::replay {

enum class Outcome { kNone, kWin, kLose };

// What the bot does in an update, whatever it does it with.
// kNone leaves the input as it is; kLet lets go; kDuck holds.
enum class Move {
  kNone,
  kLet,
  kStart,
  kType,
  kGrab,
  kStride,
  kTurnLeft,
  kTurnRight,
  kShoot,
  kReload,
  kDuck,
  kEnd
};

struct Act {
  Move move = Move::kNone;
  int value = 0;  // the keypad key's value (kClearKey for C), or the bag
};

// One control of the input: a pointer press at (x, y) in the game's units,
// a key code, a pad button, or the pad's stick pushed to (x, y).
struct Control {
  enum class Kind { kNone, kPointer, kKey, kButton, kStick };
  Kind kind = Kind::kNone;
  float x = 0, y = 0;
  int code = 0;
};

class Autoplay : public Player {
 public:
  explicit Autoplay(Goal goal, InputKind input = InputKind::kPointer)
      : goal_(goal), input_(input) {}

  void BeforeUpdate(Session& session, int update) override;
  bool Finished() const override { return finished_; }

  Outcome outcome() const { return outcome_; }
  // The outcome asked for happened.
  bool Succeeded() const;
  // "outcome=win score=N updates=U"; outcome=none when the run did not end.
  std::string Report(int updates) const;

 private:
  Act Decide(const GameView& game) const;
  Act InRun(const GameView& game) const;
  Act Keypad(const GameView& game) const;
  Act CashBags(const GameView& game) const;
  Act Chase(const GameView& game) const;
  Act CarShootout(const GameView& game) const;
  Act FenceFight(const GameView& game) const;
  // Whether a cop's bullet reaches the player in the coming update.
  bool BulletArriving(const GameView& game) const;

  // The control that does `act` with the input.
  Control ControlFor(const GameView& game, const Act& act);
  Control PointerFor(const GameView& game, const Act& act) const;
  Control KeyFor(const GameView& game, const Act& act);
  Control PadFor(const GameView& game, const Act& act);
  // The highlight's step toward a keypad key or a bag: a direction (an
  // action of game/ids.h), or kActionFire to press what it marks.
  int KeypadStep(const GameView& game, int value) const;
  int BagStep(const GameView& game, int bag);

  // Does `act`: a press lasts one update and is let go in the next, so one
  // press takes two updates; a duck is held.
  void Do(Session& session, const Act& act);
  void Hold(Session& session, const Control& control);
  void Let(Session& session);
  void Press(Session& session, const Control& control);

  Goal goal_;
  InputKind input_;
  Outcome outcome_ = Outcome::kNone;
  Control held_;  // the control down, if any
  bool padConnected_ = false;
  int typed_ = 0;       // digits typed with keys, to take turns at number row and numpad
  int bagSteps_ = 0;    // highlight steps since the last bag grabbed
  bool ended_ = false;  // the run is over; waiting for the menu
  bool finished_ = false;
  int score_ = 0;
};

}  // namespace vantor::replay
