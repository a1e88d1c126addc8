// Keys and a gamepad's buttons and stick in a run: what a press does in
// each phase, checked against the rule it stands for (which key, button or
// letter stands for which action is the bindings test's); one
// press acts once, held or mixed with the pointer; and the highlight of
// the keypad and the bags, shown only after a key and hidden by the
// pointer. The run is reached phase by phase with the pointer.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "game/ids.h"
#include "game/run.h"
#include "host/input.h"
#include "tools/testing/game_harness.h"
#include "tools/testing/scripted_player.h"

namespace vantor::testing {
namespace {

using game::jscrh;
using game::jscrw;

constexpr int kKeySpace = 32, kKeyLeft = 37, kKeyDown = 40;
constexpr int kButtonA = 0, kButtonB = 1, kPadRight = 10, kPadButtons = 12;
// A pending turn adds 4 (left) or 8 (right) to the heading; a stride of 3
// less one update's slowing of 0.3; the fight's poses.
constexpr int kTurnLeft = 4, kTurnRight = 8;
constexpr float kOneStride = 3 - 0.3f;
constexpr int kStanding = 0, kDucking = 1;

// One way of pressing: a key, a pad button or the pad's stick.
struct Source {
  enum class Kind { kKey, kButton, kStick } kind;
  int code = 0;
  float x = 0, y = 0;
};
Source Key(int code) { return {Source::Kind::kKey, code}; }
Source Button(int button) { return {Source::Kind::kButton, button}; }
Source Stick(float x, float y) { return {Source::Kind::kStick, 0, x, y}; }

class RunKeys : public ::testing::Test {
 protected:
  void SetUp() override { game.platform().buttons.assign(kPadButtons, 0); }
  void Reach(int phase) {
    ASSERT_TRUE(player.PlayToPhase(phase)) << "phase " << phase << " was never reached";
    player.Let();
    game.Frame();  // nothing held: the pointer's last press is over
  }
  void Down(const Source& source) {
    switch (source.kind) {
      case Source::Kind::kKey:
        return game.KeyDown(source.code);
      case Source::Kind::kButton:
        game.platform().buttons[source.code] = 1;
        return;
      case Source::Kind::kStick:
        game.platform().axes = {source.x, source.y};
        return;
    }
  }
  void Up(const Source& source) {
    switch (source.kind) {
      case Source::Kind::kKey:
        return game.KeyUp(source.code);
      case Source::Kind::kButton:
        game.platform().buttons[source.code] = 0;
        return;
      case Source::Kind::kStick:
        game.platform().axes.clear();
        return;
    }
  }
  // Down for `frames` updates, then up and one more update.
  void PressOnce(const Source& source, int frames = 1) {
    Down(source);
    game.Frame(frames);
    Up(source);
    game.Frame();
  }
  // Yellow frames around keypad keys, glows under bags.
  int KeyFrames() const { return Marks(kRecordRect); }
  int BagGlows() const { return Marks(kRecordOval); }

  GameHarness game;
  MyApp& app = game.app();
  ScriptedPlayer player{game};

 private:
  int Marks(float kind) const {
    const std::vector<DrawRecord> shapes = RecordsOf(app, kind);
    return static_cast<int>(std::count_if(shapes.begin(), shapes.end(), [](const DrawRecord& r) {
      return r.red == palette::kSignYellow.red && r.green == palette::kSignYellow.green &&
             r.blue == palette::kSignYellow.blue;
    }));
  }
};

int LeftmostBag(const MyApp& app) {
  int leftmost = 0;
  for (int bag = 0; bag < run::kCashBags; ++bag) {
    const auto record = run::Bag(app.worldCells.Data(), bag);
    if (record.lying != 0 && record.x < run::Bag(app.worldCells.Data(), leftmost).x) leftmost = bag;
  }
  return leftmost;
}

// Each action of each phase, by a key and by the pad, pressed once (or held
// where holding is the rule), in the order the run reaches them.
TEST_F(RunKeys, EachKeyButtonAndLetterDoesWhatItsPhaseSays) {
  const auto strides = [&](const Source& source, const char* what) {
    return [&, source, what] {
      app.playerSpeed = 0;
      PressOnce(source);
      EXPECT_NEAR(app.playerSpeed, kOneStride - 0.3f, 1e-4) << what << " is one stride";
    };
  };
  const auto turns = [&](const Source& source, int turn, const char* what) {
    return [&, source, turn, what] {
      const int heading = app.carHeading;
      PressOnce(source);
      EXPECT_EQ(app.carHeading, heading + turn) << what;
      app.carHeading = heading;
    };
  };
  const auto shootsThenReloads = [&](const Source& shot, const Source& reload, const char* what) {
    return [&, shot, reload, what] {
      const int hits = app.hitsLeft;
      PressOnce(shot);
      EXPECT_TRUE(app.hitsLeft == hits - 1 && app.reloadNeeded == 1) << what << ": a hit";
      PressOnce(reload);
      EXPECT_EQ(app.reloadNeeded, 0) << what << ": reloaded";
      app.hitsLeft = hits;
    };
  };
  const auto ducks = [&](const Source& source, const char* what) {
    return [&, source, what] {
      Down(source);
      for (int update = 0; update < 5; ++update) {
        game.Frame();
        EXPECT_EQ(app.playerPose, kDucking) << what << " held ducks, update " << update;
      }
      Up(source);
      game.Frame();
      EXPECT_EQ(app.playerPose, kStanding) << what << " let go stands up";
    };
  };
  const struct {
    int phase;
    std::function<void()> pressAndCheck;
  } cases[] = {
      {kPhaseKeypad,
       [&] {
         PressOnce(Button(kButtonA));
         EXPECT_TRUE(app.highlightShown == 1 && app.highlight == kKeypadHighlightStart &&
                     app.enteredCode.Length() == 0)
             << "the first press only shows the highlight, on 5";
         PressOnce(Button(kPadRight));
         PressOnce(Stick(0, -1));
         PressOnce(Button(kButtonA));
         EXPECT_EQ(app.enteredCode, String(3)) << "right, up and A press the 3";
         PressOnce(Key(kKeyDown), 30);
         EXPECT_EQ(app.highlight, 5) << "a key held for 30 updates moves it once, onto 6";
         PressOnce(Key(kKeyDown));
         PressOnce(Key(kKeyDown));
         PressOnce(Key(kKeySpace));
         EXPECT_EQ(app.enteredCode, String()) << "down thrice from 3, a held key once, is C";
       }},
      {kPhaseKeypad,
       [&] {
         const int first = app.targetCode[0] - '0', second = app.targetCode[1] - '0';
         PressOnce(Key('0' + first));
         PressOnce(Key(kKeyNumpad0 + second));
         EXPECT_EQ(app.enteredCode, String(first) + String(second))
             << "digits on the number row and the numpad type themselves";
         PressOnce(Key('C'));
         EXPECT_EQ(app.enteredCode, String()) << "C clears";
       }},
      {kPhaseCash,
       [&] {
         PressOnce(Key(kKeySpace));
         EXPECT_TRUE(app.highlightShown == 1 && app.highlight == LeftmostBag(app) &&
                     app.bagsGrabbed == 0)
             << "the first press only shows the highlight, on the leftmost bag";
         const int from = app.highlight;
         PressOnce(Key('D'));
         const auto bag = run::Bag(app.worldCells.Data(), app.highlight);
         EXPECT_GT(bag.x, run::Bag(app.worldCells.Data(), from).x) << "D moves it right";
         PressOnce(Stick(-1, 0));
         EXPECT_EQ(app.highlight, from) << "the stick left moves it back";
         PressOnce(Button(kButtonA));
         const auto taken = run::Bag(app.worldCells.Data(), from);
         EXPECT_TRUE(taken.lying == 0 && app.loot == taken.value && app.bagsGrabbed == 1)
             << "A grabs the bag it marks";
         EXPECT_NE(run::Bag(app.worldCells.Data(), app.highlight).lying, 0)
             << "and the highlight goes on to a bag left";
       }},
      {kPhaseBankHall, strides(Key(kKeySpace), "Space")},
      {kPhaseStreet, strides(Button(kButtonA), "A")},
      {kPhaseChase, turns(Key(kKeyLeft), kTurnLeft, "the left arrow asks for a left turn")},
      {kPhaseChase, turns(Button(kPadRight), kTurnRight, "the d-pad right asks for a right turn")},
      {kPhaseCarShootout, shootsThenReloads(Key(kKeySpace), Key('R'), "Space, then R")},
      {kPhaseCarShootout, shootsThenReloads(Key(kKeyEnter), Key(kKeySpace), "Enter, then Space")},
      {kPhaseFence, strides(Key(kKeyEnter), "Enter")},
      {kPhaseFenceFight, ducks(Key(kKeyDown), "Down")},
      {kPhaseFenceFight, ducks(Button(kButtonB), "B")},
      {kPhaseFenceFight,
       [&] {
         app.playerShotTimer = 10;
         Down(Key(kKeySpace));
         game.Frame();
         EXPECT_TRUE(app.playerPose == kDucking && app.playerShotTimer == 0)
             << "Space is a tap: it restarts the gun's cycle";
         game.Frame(2);
         EXPECT_EQ(app.playerPose, kStanding) << "Space held does not duck";
         EXPECT_EQ(app.playerShotTimer, 2) << "the shot comes as after a tap";
         Up(Key(kKeySpace));
       }},
      {kPhaseClosing,
       [&] {
         PressOnce(Key('R'));
         EXPECT_EQ(app.runOver, 1) << "any key of the run ends the closing screen";
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("phase " + std::to_string(c.phase));
    if (app.phase != c.phase) Reach(c.phase);
    ASSERT_EQ(app.phase, c.phase);
    c.pressAndCheck();
  }
}

// A key held acts once, and a pointer press and a key press at once act
// once each: the key in its update, the pointer once the key is let go.
// Digits type at each press, as a typist rolls from key to key.
TEST_F(RunKeys, OnePressActsOnceHeldOrMixedWithThePointer) {
  Reach(kPhaseKeypad);
  const float left = std::trunc(jscrw * 0.5f - kKeypadHalf);
  const float top = std::trunc(jscrh * 0.5f - kKeypadHalf);
  game.MoveTo(left, top);  // the 1
  game.Press();
  game.KeyDown('2');
  game.Frame(20);
  EXPECT_EQ(app.enteredCode, String(2)) << "held together for 20 updates";
  game.KeyUp('2');
  game.Frame(20);
  EXPECT_EQ(app.enteredCode, String(21)) << "the pointer's press, held on after the key";
  game.Release();
  game.Frame();
  game.KeyDown('3');
  game.Frame();
  game.KeyDown(kKeyNumpad0 + 4);
  game.Frame(3);
  game.KeyUp('3');
  game.KeyUp(kKeyNumpad0 + 4);
  game.Frame();
  EXPECT_EQ(app.enteredCode, String(2134)) << "a digit pressed while the last is held types";
  Reach(kPhaseBankHall);
  app.playerSpeed = 0;
  game.KeyDown(kKeySpace);
  game.platform().buttons[kButtonA] = 1;
  game.MoveTo(jscrw * 0.5f, jscrh * 0.5f);
  game.Press();
  game.Frame();
  EXPECT_NEAR(app.playerSpeed, kOneStride, 1e-4) << "pointer, key and button in one update";
}

// The highlight shows from the first key or pad press of a phase and goes
// when the pointer presses; with no key used it is never drawn.
TEST_F(RunKeys, ThePointerHidesTheHighlightAKeyShowsIt) {
  Reach(kPhaseKeypad);
  EXPECT_EQ(KeyFrames(), 0) << "no key used yet";
  PressOnce(Key(kKeyDown));
  EXPECT_EQ(KeyFrames(), 1) << "a key shows the highlight";
  game.MoveTo(jscrw * 0.5f, 8);  // above the keypad
  game.Press();
  game.Frame();
  game.Release();
  game.Frame();
  EXPECT_EQ(KeyFrames(), 0) << "the pointer hides it";
  PressOnce(Key('8'));
  EXPECT_TRUE(KeyFrames() == 1 && app.highlight == 7) << "a digit shows it on its key";

  Reach(kPhaseCash);
  EXPECT_EQ(BagGlows(), 0) << "each phase starts without it";
  PressOnce(Button(kButtonA));
  EXPECT_EQ(BagGlows(), 1);
  game.MoveTo(jscrw * 0.5f, 8);
  game.Press();
  game.Frame();
  EXPECT_EQ(BagGlows(), 0) << "the pointer hides it";
}

}  // namespace
}  // namespace vantor::testing
