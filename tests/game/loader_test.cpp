// The asset loader: its steps, the art variant per window size, the restart
// on a resize and the loader screen.
#include <cmath>
#include <string>
#include <vector>

#include "host/sound_decoder.h"
#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

HarnessOptions Window(int width, int height) {
  HarnessOptions options;
  options.width = width;
  options.height = height;
  return options;
}

std::string SoundPath(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "vantor://data/sfx/%03d.wav", n);
  return name;
}

const int kImageSlotsLoaded[] = {97, 95, 94, 92, 93, 90, 99, 98, 96, 80, 1};

int CountKind(const std::vector<DrawRecord>& records, float kind) {
  int count = 0;
  for (const DrawRecord& r : records) count += r.kind == kind ? 1 : 0;
  return count;
}

TEST(Loader, StartUpLoadsOneAssetPerUpdateFor34Updates) {
  HarnessOptions options = Window(600, 450);
  options.finishLoading = false;
  GameHarness game(options);
  MyApp& app = game.app();
  EXPECT_EQ(app.loadStep, 1);
  ASSERT_NE(app.images[93], nullptr) << "the logo is there before the first step";
  EXPECT_EQ(game.FinishLoading(), 34);
  std::vector<std::string> expected;
  for (int n : {1, 95, 98, 99}) expected.push_back(SoundPath(n));
  for (int n = 2; n <= 19; ++n) expected.push_back(SoundPath(n));
  EXPECT_EQ(game.audio().loads, expected);
  for (int n : {1, 5, 19, 95, 98, 99}) EXPECT_EQ(game.SoundSlotOf(SoundPath(n)), n);
  EXPECT_EQ(app.currentFont, 90);
  EXPECT_EQ(Values(app.imageFrameInfo).at(90 * 3), 7);
  EXPECT_EQ(Values(app.imageFrameInfo).at(90 * 3 + 1), 10);
  EXPECT_EQ(Values(app.imageFrameInfo).at(90 * 3 + 2), 128);
  struct Slot {
    int slot, width, height, frames;
  };
  for (const Slot& s : {Slot{97, 32, 32, 16}, Slot{95, 64, 64, 16}, Slot{94, 32, 32, 16},
                        Slot{92, 64, 64, 2}, Slot{93, 256, 256, 1}, Slot{99, 256, 256, 4},
                        Slot{98, 256, 128, 1}, Slot{96, 8, 8, 16}, Slot{80, 64, 64, 64},
                        Slot{1, 64, 64, 64}}) {
    EXPECT_EQ(app.imageFrameInfo[s.slot * 3], s.width) << s.slot;
    EXPECT_EQ(app.imageFrameInfo[s.slot * 3 + 1], s.height) << s.slot;
    EXPECT_EQ(app.imageFrameInfo[s.slot * 3 + 2], s.frames) << s.slot;
  }
  EXPECT_EQ(app.images[2], nullptr);
  // Every effect the loader asked for is a sound file that decodes.
  for (const std::string& path : game.audio().loads) {
    int length = 0, channels = 0, format = 0, hertz = 0;
    unsigned char* samples = loadSound(String(path.c_str()), &length, &channels, &format, &hertz);
    EXPECT_NE(samples, nullptr) << path;
    EXPECT_GT(length, 0) << path;
    unloadSound(samples);
  }
}

TEST(Loader, Step33LoadsSound19AndTheNextCallFinishes) {
  GameHarness game;
  MyApp& app = game.app();
  game.audio().loads.clear();
  app.loadStep = 33;
  game.Update();
  EXPECT_EQ(game.audio().loads, std::vector<std::string>{SoundPath(19)});
  EXPECT_EQ(app.loadStep, 34);
  game.Update();
  EXPECT_EQ(game.audio().loads.size(), 1u);
  EXPECT_EQ(app.loadStep, 0);
}

TEST(Loader, ArtVariantFollowsTheWindowSize) {
  struct Case {
    int width, height, scale;
    float inverse;
  };
  for (const Case& c : {Case{630, 630, 1, 1.0f}, Case{631, 480, 2, 0.5f}, Case{600, 631, 2, 0.5f},
                        Case{1230, 480, 2, 0.5f},
                        Case{1231, 480, 4, 0.25f}}) {
    GameHarness game(Window(c.width, c.height));
    MyApp& app = game.app();
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(app.artScale, c.scale);
    EXPECT_EQ(app.artScaleInverse, c.inverse);
    // Cell sizes are in file pixels of the variant; the font keeps its
    // advance in virtual units.
    EXPECT_EQ(app.imageFrameInfo[97 * 3], 32 * c.scale);
    EXPECT_EQ(app.imageFrameInfo[1 * 3 + 1], 64 * c.scale);
    EXPECT_EQ(app.imageFrameInfo[90 * 3], 7);
    // Every sheet exists in every variant.
    for (int slot : kImageSlotsLoaded) EXPECT_NE(app.images[slot], nullptr) << slot;
    EXPECT_EQ(app.images[1]->width, 64 * c.scale);
    EXPECT_EQ(app.images[90]->width, 16 * c.scale);
  }
}

TEST(Loader, ResizeDuringPlayReloadsFor34UpdatesAndKeepsTheMode) {
  GameHarness game;
  MyApp& app = game.app();
  ASSERT_EQ(app.artScale, 2);
  // A run about to start: were the mode to run during loading, it would
  // have started by the end.
  app.gameMode = 11;
  ASSERT_TRUE(game.Resize(600, 450));
  game.Render();
  EXPECT_EQ(app.loadStep, 1);
  EXPECT_EQ(app.deviceWidth, 600);
  EXPECT_EQ(app.deviceHeight, 450);
  int loaderUpdates = 0;
  while (app.loadStep != 0 && loaderUpdates < 100) {
    game.Frame();
    ++loaderUpdates;
    EXPECT_EQ(app.gameMode, 11);
  }
  EXPECT_EQ(loaderUpdates, 34);
  EXPECT_EQ(app.artScale, 1);
  EXPECT_EQ(app.imageFrameInfo[1 * 3], 64);
  EXPECT_EQ(app.images[1]->width, 64);
  game.Frame();
  EXPECT_EQ(app.gameMode, 10) << "the mode runs again once loading is done";
}

TEST(Loader, LoaderScreenDrawsTwoTurningRingsAroundTheLogo) {
  HarnessOptions options;
  options.finishLoading = false;
  GameHarness game(options);
  MyApp& app = game.app();
  game.Frame();
  const int angle = app.spinnerAngle;
  EXPECT_EQ(angle, 16);
  const auto records = DrawRecords(app);
  ASSERT_EQ(records.size(), 25u);
  EXPECT_EQ(app.clearRed, 40);
  EXPECT_EQ(app.clearGreen, 40);
  EXPECT_EQ(app.clearBlue, 80);
  EXPECT_EQ(CountKind(records, kRecordOval), 23);
  EXPECT_EQ(CountKind(records, kRecordRect), 1);
  // Back ring: light dots fading in, half a turn ahead of the front ring.
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(records[i].red, 250);
    EXPECT_FLOAT_EQ(records[i].alpha, i / 10.0f);
    EXPECT_EQ(records[i].width, 8);
  }
  const float radians = (16 + 180) * kDegreesToRadians;
  EXPECT_NEAR(records[0].x, 320 + std::sin(radians) * 480 * 0.25f, 1e-3);
  EXPECT_NEAR(records[0].y, 240 - std::cos(radians) * 480 * 0.25f, 1e-3);
  // The sun, the band and the logo.
  EXPECT_EQ(records[11].width, 480 * 0.3f);
  EXPECT_EQ(records[11].green, 255);
  EXPECT_EQ(records[12].kind, kRecordRect);
  EXPECT_EQ(records[12].y, 480 * 0.4f);
  EXPECT_EQ(records[12].height, 480 * 0.2f);
  EXPECT_EQ(records[13].kind, 93);
  EXPECT_EQ(records[13].y, 480 * 0.48f);
  EXPECT_EQ(records[13].alpha, 1);
  // Front ring: dark dots.
  EXPECT_EQ(records[14].red, 50);
  EXPECT_NEAR(records[14].x, 320 + std::sin(16 * kDegreesToRadians) * 120, 1e-3);
  EXPECT_FLOAT_EQ(records[24].alpha, 1.0f);
  game.Frame();
  EXPECT_EQ(app.spinnerAngle, 32);
}

}  // namespace
}  // namespace vantor::testing
