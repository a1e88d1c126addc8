// A paused run stands still: in every phase and under the game-over overlay
// nothing of it moves for as long as the pause lasts, its last picture stays
// under the pause menu, the effects it was playing wait on their channels,
// and once resumed it goes on exactly as the same run never paused. A run
// brought back from being iconified stands still the same way until the
// player goes on; quitting still ends it at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "game/run.h"
#include "modules/audio.h"
#include "modules/random.h"
#include "tools/testing/game_harness.h"

namespace vantor::testing {
namespace {

using namespace run;
using game::jscrh;
using game::jscrw;

constexpr int kPauseUpdates = 600;
constexpr int kUpdatesCompared = 120;
// Where the pause menu puts its quit item at 640 x 480, once slid in.
constexpr float kQuitX = 180, kQuitY = 184;

// Everything a run is made of, and the random generator it draws from.
constexpr int MyApp::*kRunInts[] = {
    &MyApp::gameMode,      &MyApp::phase,           &MyApp::sfxTimer,        &MyApp::loot,
    &MyApp::bagsGrabbed,   &MyApp::doorSoundPlayed, &MyApp::timeLeft,        &MyApp::runOver,
    &MyApp::carHeading,    &MyApp::copsToRam,       &MyApp::hitsLeft,        &MyApp::reloadNeeded,
    &MyApp::playerPose,    &MyApp::copDucking,      &MyApp::playerShotTimer, &MyApp::copShotTimer,
    &MyApp::freeSlot,      &MyApp::playerHealth,    &MyApp::shownTotal,      &MyApp::score,
    &MyApp::gameOverFrame, &MyApp::highscoreRank};
constexpr float MyApp::*kRunFloats[] = {
    &MyApp::playerX,          &MyApp::playerY,    &MyApp::playerSpeed,       &MyApp::carOffsetX,
    &MyApp::carOffsetY,       &MyApp::cameraX,    &MyApp::cameraY,           &MyApp::chaseCarX,
    &MyApp::chaseCarVelocity, &MyApp::targetCarX, &MyApp::targetCarVelocity, &MyApp::reloadX,
    &MyApp::reloadY};
// What the input left the run: restored with it, but free to change while
// the pause menu has the input.
constexpr int MyApp::*kInputInts[] = {&MyApp::touchConsumed, &MyApp::keyConsumed,
                                      &MyApp::mouseWasDown};

struct RunState {
  std::vector<int> ints;
  std::vector<float> floats;
  std::vector<int> cells;
  String enteredCode, targetCode;
  int seed = 0;
  std::vector<int> input;

  // The run itself, input aside.
  bool operator==(const RunState& other) const {
    return ints == other.ints && floats == other.floats && cells == other.cells &&
           enteredCode == other.enteredCode && targetCode == other.targetCode && seed == other.seed;
  }
};

RunState Capture(const MyApp& app) {
  RunState state;
  for (auto field : kRunInts) state.ints.push_back(app.*field);
  for (auto field : kRunFloats) state.floats.push_back(app.*field);
  state.cells.assign(app.worldCells.begin(), app.worldCells.begin() + kWorldCells);
  state.enteredCode = app.enteredCode;
  state.targetCode = app.targetCode;
  state.seed = random::Seed;
  for (auto field : kInputInts) state.input.push_back(app.*field);
  return state;
}

void Restore(MyApp& app, const RunState& state) {
  for (size_t i = 0; i < std::size(kRunInts); ++i) app.*kRunInts[i] = state.ints[i];
  for (size_t i = 0; i < std::size(kRunFloats); ++i) app.*kRunFloats[i] = state.floats[i];
  std::copy(state.cells.begin(), state.cells.end(), app.worldCells.begin());
  app.enteredCode = state.enteredCode;
  app.targetCode = state.targetCode;
  random::Seed = state.seed;
  for (size_t i = 0; i < std::size(kInputInts); ++i) app.*kInputInts[i] = state.input[i];
}

// A sound device whose effects sound until they are stopped, keeping each
// channel's state as the real device does: 0 stopped, 1 playing, 2 paused.
class ChannelSpy : public SpyAudio {
 public:
  std::vector<int> playedOn;  // the channel of each effect started

  int PlaySample(gxtkSample* sample, int channel, int flags) override {
    SpyAudio::PlaySample(sample, channel, flags);
    playedOn.push_back(channel);
    channels[channel].state = 1;
    return 0;
  }
  int StopChannel(int channel) override { return Set(channel, 0, 0); }
  int PauseChannel(int channel) override { return Set(channel, 1, 2); }
  int ResumeChannel(int channel) override { return Set(channel, 2, 1); }
  int State(int channel) const { return channels[channel].state; }

 private:
  // From `from` (or any state when that is 0) to `to`.
  int Set(int channel, int from, int to) {
    if (from == 0 || channels[channel].state == from) channels[channel].state = to;
    return 0;
  }
};

class FrozenRun : public ::testing::Test {
 protected:
  void SetUp() override {
    spy = gc_new<ChannelSpy>();
    host::app->audio = spy;
    audio::SetAudioDevice(spy);
    NewRun();
  }

  // A new run, its first update played (the alarm sounds in it).
  void NewRun() {
    app.gameMode = kModeStartRun;
    game.Frame(2);
  }
  // The records of the run's own picture in the current draw list: those
  // before the pause button, which is drawn over the run.
  std::vector<float> RunPicture() const {
    const float* list = app.drawList.Data();
    for (int at = 0; at + kRecordFloats <= app.drawListLength; at += kRecordFloats) {
      const DrawRecord r = DrawRecord::Read(list + at);
      if (r.kind == kIconSheet && r.x == 16 && r.y == 16 && r.frame == 0) return {list, list + at};
    }
    return {list, list + app.drawListLength};
  }
  bool Shows(const std::vector<float>& picture) const {
    return app.drawListLength >= static_cast<int>(picture.size()) &&
           std::equal(picture.begin(), picture.end(), app.drawList.Data());
  }
  // Frames while the run must stand still as `still` with `picture` shown.
  void ExpectStill(int frames, const RunState& still, const std::vector<float>& picture) {
    for (int frame = 0; frame < frames; ++frame) {
      game.Frame();
      ASSERT_TRUE(Capture(app) == still) << "the paused run moved, update " << frame;
      ASSERT_TRUE(Shows(picture)) << "the paused run's picture changed, update " << frame;
    }
  }
  // Back through the pause menu's back key; frames until the menu has slid
  // away, which the run waits for still.
  void Resume(const RunState& still, const std::vector<float>& picture) {
    game.KeyDown(kKeyEscape);
    ExpectStill(1, still, picture);
    game.KeyUp(kKeyEscape);
    for (int frame = 0; frame < 40 && app.paused == 1; ++frame) ExpectStill(1, still, picture);
    ASSERT_EQ(app.paused, 0);
  }
  // The run's state and the effects started after each of `frames` updates.
  std::vector<std::pair<RunState, std::vector<std::string>>> Play(int frames) {
    std::vector<std::pair<RunState, std::vector<std::string>>> played;
    for (int frame = 0; frame < frames; ++frame) {
      spy->played.clear();
      game.Frame();
      played.emplace_back(Capture(app), spy->played);
    }
    return played;
  }

  GameHarness game;
  MyApp& app = game.app();
  ChannelSpy* spy = nullptr;
};

// Each case puts the run in motion in one phase (or under the overlay).
const struct Phase {
  const char* name;
  std::function<void(MyApp&, GameHarness&)> enter;
} kPhases[] = {
    {"keypad", [](MyApp&, GameHarness&) {}},
    {"cash", [](MyApp& app, GameHarness&) { app.phase = kPhaseCash; }},
    {"bank hall",
     [](MyApp& app, GameHarness&) { app.phase = kPhaseBankHall, app.playerSpeed = 9; }},
    {"street",
     [](MyApp& app, GameHarness&) {
       app.phase = kPhaseStreet, app.playerX = 100, app.playerSpeed = 9;
     }},
    {"chase",
     [](MyApp& app, GameHarness& game) {
       app.phase = kPhaseStreet, app.playerX = jscrw;
       game.Frame();
     }},
    {"shootout from the car",
     [](MyApp& app, GameHarness&) { app.phase = kPhaseCarShootout, app.reloadNeeded = 1; }},
    {"fence",
     [](MyApp& app, GameHarness&) {
       app.phase = kPhaseFence, app.playerX = 300, app.playerY = jscrh * 0.8f, app.playerSpeed = 9;
     }},
    {"fight at the fence",
     [](MyApp& app, GameHarness&) {
       app.phase = kPhaseFenceFight;
       ClearRunCells(app.worldCells.Data());
       const BulletCells<int> cops = Bullet(app.worldCells.Data(), 0);
       const BulletCells<int> mine = Bullet(app.worldCells.Data(), 1);
       cops.kind = kCopBullet, cops.x = 200;
       mine.kind = kPlayerBullet, mine.x = 400;
     }},
    {"closing screen",
     [](MyApp& app, GameHarness&) {
       app.phase = kPhaseClosing, app.loot = 9000, app.timeLeft = 3000, app.touchConsumed = 1;
     }},
    {"game-over overlay",
     [](MyApp& app, GameHarness& game) {
       app.phase = kPhaseClosing, app.loot = 9000, app.timeLeft = 3000, app.runOver = 1;
       game.Frame(20);
     }},
};

TEST_F(FrozenRun, EveryPhaseStandsStillUnderThePauseMenuThenGoesOnAsIfNeverPaused) {
  for (const Phase& phase : kPhases) {
    SCOPED_TRACE(phase.name);
    NewRun();
    random::Seed = 4242;
    phase.enter(app, game);
    game.Frame(3);
    const RunState start = Capture(app);
    const std::vector<float> picture = RunPicture();
    game.KeyDown(kKeyEscape);
    ExpectStill(1, start, picture);
    game.KeyUp(kKeyEscape);
    ExpectStill(kPauseUpdates, start, picture);
    Resume(start, picture);
    if (HasFatalFailure()) return;
    const auto resumed = Play(kUpdatesCompared);
    EXPECT_FALSE(resumed.front().first == start) << "the run did not go on";
    Restore(app, start);
    const auto neverPaused = Play(kUpdatesCompared);
    for (int update = 0; update < kUpdatesCompared; ++update) {
      ASSERT_TRUE(resumed[update].first == neverPaused[update].first)
          << "unlike the run never paused, update " << update << " after resuming";
      ASSERT_EQ(resumed[update].second, neverPaused[update].second) << "update " << update;
    }
  }
}

// The alarm sounding as the run pauses waits on its channel, the pause's
// click still plays, and the alarm goes on when the run does. Switched off
// meanwhile, it ends instead.
TEST_F(FrozenRun, EffectsSoundingAtThePauseWaitAndGoOnWithTheRun) {
  for (const bool switchedOff : {false, true}) {
    SCOPED_TRACE(switchedOff ? "switched off during the pause" : "left on");
    NewRun();
    ASSERT_FALSE(spy->playedOn.empty());
    const int alarm = spy->playedOn.back();
    ASSERT_EQ(spy->State(alarm), 1);
    game.KeyFrame(kKeyEscape);
    const int click = spy->playedOn.back();
    EXPECT_NE(click, alarm);
    EXPECT_EQ(spy->State(alarm), 2) << "paused";
    EXPECT_EQ(spy->State(click), 1) << "the click plays";
    const size_t effects = spy->playedOn.size();
    game.Frame(kPauseUpdates);
    EXPECT_EQ(spy->playedOn.size(), effects) << "nothing starts while paused";
    EXPECT_EQ(spy->State(alarm), 2);
    if (switchedOff) game.Tap(460, 184);  // the pause menu's sound button
    const RunState still = Capture(app);
    Resume(still, RunPicture());
    EXPECT_EQ(spy->State(alarm), 2) << "not before the run goes on";
    game.Frame();
    EXPECT_EQ(spy->State(alarm), switchedOff ? 0 : 1);
    app.settings[kSettingSoundMode] = kDefaultSoundMode;
  }
}

// Suspended, the run comes back paused and stands still, its alarm waiting,
// until the player goes on; or the pause menu's quit ends it at once.
TEST_F(FrozenRun, ARunBackFromBeingIconifiedStandsStillUntilThePlayerGoesOn) {
  for (const bool quit : {false, true}) {
    SCOPED_TRACE(quit ? "quit" : "resumed");
    NewRun();
    game.Frame(10);
    const int alarm = spy->playedOn.back();
    const int timeLeft = app.timeLeft;
    const RunState start = Capture(app);
    const std::vector<float> picture = RunPicture();
    game.Suspend();
    host::app->InvokeOnResume();
    EXPECT_EQ(app.paused, 1);
    ExpectStill(kPauseUpdates, start, picture);
    EXPECT_EQ(spy->State(alarm), 2);
    if (quit) {
      game.MoveTo(kQuitX, kQuitY);
      game.Press();
      game.Frame();
      EXPECT_EQ(app.runOver, 1) << "quitting ends the run in the same update";
      game.Release();
      game.Frame();
      EXPECT_EQ(app.gameOverFrame, 1) << "and the overlay follows";
      continue;
    }
    Resume(start, picture);
    game.Frame();
    EXPECT_EQ(app.timeLeft, timeLeft - 1) << "the countdown goes on";
    EXPECT_EQ(spy->State(alarm), 1);
  }
}

}  // namespace
}  // namespace vantor::testing
