// The game object: its state after creation, the mode dispatch, and an
// update and render cycle that allocates nothing once loading is done.
#include <vector>

#include "runtime/gc.h"
#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

TEST(GameObject, StateAfterCreation) {
  HarnessOptions options;
  options.finishLoading = false;
  GameHarness game(options);
  const MyApp& app = game.app();
  EXPECT_EQ(app.gameMode, 1);
  EXPECT_EQ(host::app->updateRate, 60);
  EXPECT_EQ(app.deviceWidth, 640);
  EXPECT_EQ(app.deviceHeight, 480);
  EXPECT_EQ(app.loadStep, 1);
  EXPECT_EQ(app.artScale, 2) << "a side of 640 is past the base art";
  EXPECT_EQ(app.scoreTableIndex, 2);
  EXPECT_EQ(app.menuSlide, -32);
  EXPECT_EQ(app.menuValue, 50);
  EXPECT_EQ(app.paused, 0);
  EXPECT_EQ(app.pauseMenuOpen, -1);
  EXPECT_EQ(app.pauseSlide, -64);
  EXPECT_EQ(app.clearAlpha, 1);
  std::vector<int> order;
  for (int i = 0; i < 33; ++i) order.push_back(i);
  EXPECT_EQ(Values(app.channelOrder), order);
  EXPECT_EQ(app.settings[5], 1);
  EXPECT_EQ(app.drawList.Length(), 2500 * 15) << "room for 2500 records of 15 floats";
  EXPECT_EQ(app.images.Length(), 100);
  EXPECT_EQ(app.imageFrameInfo.Length(), 3 * 100);
  EXPECT_EQ(app.worldCells.Length(), 1024);
  EXPECT_EQ(game::rawscrw, 640);
  EXPECT_EQ(game::rawscrh, 480);
  EXPECT_EQ(game::iCadeControls, 0);
  EXPECT_EQ(game::OnScreenControls, 0);
  EXPECT_EQ(game::AccelerometerControls, 0);
  EXPECT_EQ(game::HasMusic, 0);
  EXPECT_EQ(game::DebugMode, 0);
}

TEST(GameObject, EnteringAScoreReturnsToTheMenuInTheSameUpdate) {
  GameHarness game;
  game.app().gameMode = 2;
  game.Update();
  EXPECT_EQ(game.app().gameMode, 1);
}

TEST(GameObject, ArraysSurviveTheCollector) {
  GameHarness game;
  MyApp& app = game.app();
  app.settings[3] = 77;
  gc_force_sweep = true;
  for (int i = 0; i < 50; ++i) gc_collect();
  EXPECT_TRUE(gc_check_heap());
  EXPECT_EQ(app.settings[3], 77);
  EXPECT_NE(app.images[93], nullptr);
  EXPECT_NE(app.sounds[19], nullptr);
  game.Frame(5);
}

// A run just started, with the sound requests of the start forgotten.
void StartRun(GameHarness& game) {
  game.app().gameMode = 11;
  game.Update();
  ASSERT_EQ(game.app().gameMode, 10);
  game.audio().requests.clear();
}

// The click of the pause entry: sound 98 at rate 1, volume 0.5, centred.
void ExpectPauseClick(const SpyAudio& audio) {
  const auto& r = audio.requests;
  size_t play = 0;
  while (play < r.size() && !(r[play].call == SpyAudio::Call::kPlay &&
                              r[play].path == "vantor://data/sfx/098.wav")) {
    ++play;
  }
  ASSERT_LT(play + 3, r.size()) << "no click";
  EXPECT_EQ(r[play + 1].value, 1);
  EXPECT_EQ(r[play + 2].value, 0.5f);
  EXPECT_EQ(r[play + 3].value, 0);
}

TEST(PauseEntry, TheBackActionPausesARunOnce) {
  GameHarness game;
  StartRun(game);
  MyApp& app = game.app();
  EXPECT_EQ(app.menuSlide, -32);
  game.KeyDown(27);
  game.Update();
  EXPECT_EQ(app.paused, 1);
  EXPECT_EQ(app.pauseMenuOpen, 1);
  EXPECT_EQ(app.pauseChoice, 0);
  EXPECT_EQ(app.keyConsumed, 1);
  ExpectPauseClick(game.audio());
}

TEST(PauseEntry, ThePauseButtonPausesARunOnce) {
  GameHarness game;
  StartRun(game);
  MyApp& app = game.app();
  game.MoveTo(16, 16);
  game.PressPointer();
  game.Update();
  EXPECT_EQ(app.paused, 1);
  EXPECT_EQ(app.pauseMenuOpen, 1);
  EXPECT_EQ(app.touchConsumed, 1);
  ExpectPauseClick(game.audio());
}

int AllocatedOver600Frames(GameHarness& game) {
  game.Frame(60);
  const int before = gc_alloced_bytes;
  game.Frame(600);
  return gc_alloced_bytes - before;
}

TEST(SteadyState, TheTitleScreenAllocatesNothingPerFrame) {
  GameHarness game;
  ASSERT_EQ(game.app().loadStep, 0);
  EXPECT_EQ(AllocatedOver600Frames(game), 0);
  EXPECT_GT(game.app().drawListLength, 0) << "the title screen was drawn";
}

TEST(SteadyState, TheRateDisplayAllocatesNothingPerFrame) {
  GameHarness game;
  game::DebugMode = 1;
  EXPECT_EQ(AllocatedOver600Frames(game), 0);
  game::DebugMode = 0;
}

}  // namespace
}  // namespace vantor::testing
