// ScriptedPlayer: plays the game through the pointer alone, from the title
// menu to the end of a won run, reading the game's state the way a player
// reads the screen: the next digit of the code, where the bags lie, the
// nearest police car, the reload prompt, a cop's bullet about to arrive.
// Used by the phase rules tests (to reach each phase as a player does) and
// by the determinism test (to play a whole run the same way every time).
#pragma once

#include <functional>

#include "tools/testing/game_harness.h"

namespace vantor::testing {

class ScriptedPlayer {
 public:
  explicit ScriptedPlayer(GameHarness& game) : game_(game), app_(game.app()) {}

  // Sets the pointer for the coming update; does not run it.
  void BeforeUpdate();
  // Plays frame by frame until `done` holds, at most `limit` frames;
  // returns whether it held.
  bool PlayUntil(const std::function<bool()>& done, int limit = 12000);
  // Plays from the title menu into the first update of phase `phase`.
  bool PlayToPhase(int phase);
  // Lets go of the pointer, so that the test's next press is a fresh one.
  void Let();

 private:
  // One press every other update: down in one, up in the next.
  void Tap(float x, float y);
  void Hold(float x, float y);
  void Menu();
  void Keypad();
  void CashBags();
  void Chase();
  void CarShootout();
  void FenceFight();

  GameHarness& game_;
  MyApp& app_;
  bool down_ = false;
};

}  // namespace vantor::testing
