// The autoplay bot: waits for the loader, starts a run from the title menu
// with the start button and plays it to the end through pointer presses
// only, reading the game's state the way a player reads the screen (where
// the next key of the code is, where the bags lie, where the police cars
// stand, where the reload prompt is, when a bullet is about to arrive).
// Asked to win, it ducks only under the cop's bullets; asked to lose, it
// stays ducked (so its gun never fires) except when a cop's bullet is about
// to arrive. While the run is paused it lets go and waits. After the run it
// lets the game go back to the menu and enter the score. Driven by the replay session (session.cpp)
// before each update.
#pragma once

#include <string>

#include "tools/replay/options.h"
#include "tools/replay/session.h"

namespace vantor::replay {

enum class Outcome { kNone, kWin, kLose };

class Autoplay : public Player {
 public:
  explicit Autoplay(Goal goal) : goal_(goal) {}

  void BeforeUpdate(Session& session, int update) override;
  bool Finished() const override { return finished_; }

  Outcome outcome() const { return outcome_; }
  // The outcome asked for happened.
  bool Succeeded() const;
  // "outcome=win score=N updates=U"; outcome=none when the run did not end.
  std::string Report(int updates) const;

 private:
  void Play(Session& session);
  void InMenu(Session& session);
  void InRun(Session& session);
  void Keypad(Session& session);
  void CashBags(Session& session);
  void Chase(Session& session);
  void CarShootout(Session& session);
  void FenceFight(Session& session);
  // Whether a cop's bullet reaches the player in the coming update.
  bool BulletArriving(const GameView& game) const;

  // One press per two updates: down in one, up in the next. Positions are
  // the game's virtual units.
  void Tap(Session& session, float x, float y);
  void Hold(Session& session, float x, float y);
  void Let(Session& session);

  Goal goal_;
  Outcome outcome_ = Outcome::kNone;
  bool down_ = false;
  bool ended_ = false;  // the run is over; waiting for the menu
  bool finished_ = false;
  int score_ = 0;
};

}  // namespace vantor::replay
