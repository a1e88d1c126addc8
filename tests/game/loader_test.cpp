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

// What each loader step loads and where it goes: the file, the slot and,
// for images, the sheet's cells (width, height, frames) in base-art pixels.
struct Step {
  const char* file;
  int slot, width, height, frames;
};
const Step kSteps[] = {
    {"common/icons.png", 97, 32, 32, 16}, {"common/Buttons.png", 95, 64, 64, 16},
    {"common/dpad.png", 94, 32, 32, 16},  {"common/icade.png", 92, 64, 64, 2},
    {"common/ZOVALogo.png", 93, 256, 256, 1}, {"fonts/editundo.png", 90, 7, 10, 128},
    {"sfx/001.wav", 1, 0, 0, 0},  {"sfx/095.wav", 95, 0, 0, 0}, {"sfx/098.wav", 98, 0, 0, 0}, {"sfx/099.wav", 99, 0, 0, 0},
    {"menu.png", 99, 256, 256, 4},        {"logo.png", 98, 256, 128, 1},
    {"parts.png", 96, 8, 8, 16},          {"BadgesA.png", 80, 64, 64, 64},
    {"gfx.png", 1, 64, 64, 64},
    {"sfx/002.wav", 2, 0, 0, 0},  {"sfx/003.wav", 3, 0, 0, 0},  {"sfx/004.wav", 4, 0, 0, 0},  {"sfx/005.wav", 5, 0, 0, 0},
    {"sfx/006.wav", 6, 0, 0, 0},  {"sfx/007.wav", 7, 0, 0, 0},  {"sfx/008.wav", 8, 0, 0, 0},  {"sfx/009.wav", 9, 0, 0, 0},
    {"sfx/010.wav", 10, 0, 0, 0}, {"sfx/011.wav", 11, 0, 0, 0}, {"sfx/012.wav", 12, 0, 0, 0}, {"sfx/013.wav", 13, 0, 0, 0},
    {"sfx/014.wav", 14, 0, 0, 0}, {"sfx/015.wav", 15, 0, 0, 0}, {"sfx/016.wav", 16, 0, 0, 0}, {"sfx/017.wav", 17, 0, 0, 0},
    {"sfx/018.wav", 18, 0, 0, 0}, {"sfx/019.wav", 19, 0, 0, 0},
};

int CountKind(const std::vector<DrawRecord>& records, float kind) {
  int count = 0;
  for (const DrawRecord& r : records) count += r.kind == kind ? 1 : 0;
  return count;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(Loader, EachOfThe34UpdatesLoadsItsFileIntoItsSlot) {
  HarnessOptions options = Window(600, 450);  // the base art
  options.finishLoading = false;
  GameHarness game(options);
  MyApp& app = game.app();
  ASSERT_NE(app.images[93], nullptr) << "the logo is there before the first step";
  int step = 0;
  for (const Step& expected : kSteps) {
    SCOPED_TRACE("step " + std::to_string(++step) + ": " + expected.file);
    game.graphics().loads.clear();
    game.audio().loads.clear();
    game.Update();
    const bool image = expected.width > 0;
    const std::vector<std::string>& loads = image ? game.graphics().loads : game.audio().loads;
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(game.graphics().loads.size() + game.audio().loads.size(), 1u);
    EXPECT_TRUE(EndsWith(loads[0], std::string("data/") + expected.file)) << loads[0];
    if (!image) {
      EXPECT_EQ(game.SoundSlotOf(loads[0]), expected.slot);
      continue;
    }
    ASSERT_NE(app.images[expected.slot], nullptr);
    EXPECT_EQ(app.images[expected.slot]->surface.get(), game.graphics().lastLoaded);
    EXPECT_EQ(app.imageFrameInfo[expected.slot * 3], expected.width);
    EXPECT_EQ(app.imageFrameInfo[expected.slot * 3 + 1], expected.height);
    EXPECT_EQ(app.imageFrameInfo[expected.slot * 3 + 2], expected.frames);
  }
  game.graphics().loads.clear();
  game.audio().loads.clear();
  game.Update();
  EXPECT_EQ(app.loadStep, 0) << "the 34th update finishes";
  EXPECT_TRUE(game.graphics().loads.empty() && game.audio().loads.empty()) << "and loads nothing";
  EXPECT_EQ(app.currentFont, 90);
  EXPECT_EQ(app.images[2], nullptr);
  // Every effect is a sound file that decodes.
  for (int n = 1; n <= 19; ++n) {
    int length = 0, channels = 0, format = 0, hertz = 0;
    const std::string path = SoundPath(n);
    unsigned char* samples = loadSound(String(path.c_str()), &length, &channels, &format, &hertz);
    EXPECT_GT(samples ? length : 0, 0) << path;
    unloadSound(samples);
  }
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
    for (const Step& step : kSteps) EXPECT_TRUE(step.width == 0 || app.images[step.slot] != nullptr) << step.file;
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
