// The bitmap text, the replay of the draw list onto the window at every
// size, the asset loader's 34 steps that load what is drawn, and the art
// variant that a new window size reloads.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/ids.h"
#include "tools/testing/game_harness.h"

namespace vantor::testing {
namespace {

// The loader's font advances 7 units a glyph with lines 10 high.
TEST(DrawList, TextIsLaidOutGlyphByGlyph) {
  const char16_t specials[] = {u'A', u' ', 0, 200, u'B', 159};
  const String codes(specials, 6);
  const struct {
    const char* name;
    String text;
    float xAlign, yAlign, size, rotation;
    std::vector<float> xyFrame;  // x, y, frame of each glyph
  } cases[] = {
      {"centred", T("AB"), 1, 1, 1, 0, {316.5f, 240, 33, 323.5f, 240, 34}},
      {"left, top, size 2", T("AB"), 0, 0, 2, 0, {320, 250, 33, 334, 250, 34}},
      {"space, past the sheet", codes, 0, 1, 1, 0, {320, 240, 33, 341, 240, 34, 348, 240, 127}},
      {"a line break aligns", T("A\\nB"), 1, 1, 1, 0, {309.5f, 240, 33, 309.5f, 250, 34}},
      {"backslashes", T("\\x\\"), 0, 1, 1, 0, {320, 240, 60, 327, 240, 'x' - 32, 334, 240, 60}},
      {"turned a quarter", T("A\\nB"), 0, 1, 1, 90, {320, 240, 33, 310, 240, 34}},
  };
  GameHarness game;
  MyApp& app = game.app();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app.m_CLS2D(kNotGiven, 0, 0, 0);
    app.m_SetSize(c.size, kNotGiven);
    app.m_SetRot(c.rotation);
    app.m_Text(320, 240, c.text, c.xAlign, c.yAlign);
    std::vector<float> got;
    for (const DrawRecord& r : RecordsOf(app, kFontSheet)) {
      EXPECT_EQ(r.rotation, -c.rotation);
      got.insert(got.end(), {std::round(r.x * 100) / 100, std::round(r.y * 100) / 100, r.frame});
    }
    EXPECT_EQ(got, c.xyFrame);
  }
  // The list holds 2499 records; more are dropped.
  for (int i = 0; i < 2500; ++i) app.m_Rect(static_cast<float>(i), 0, 1, 1);
  EXPECT_EQ(app.drawListLength, 2499 * kRecordFloats);
}

// One uniform scale from the 640 x 480 design; the image's quad is its
// cell (64 units) times its size and the scale whatever art variant is
// loaded, turned clockwise by a positive angle and centred on its position.
TEST(Replay, ImagesAreSizedTurnedAndCentredAtEveryWindowSize) {
  const struct {
    int width, height, artScale;
    float scale, virtualWidth, virtualHeight;
  } windows[] = {{600, 450, 1, 600 / 640.0f, 640, 480},
                 {640, 480, 2, 1, 640, 480},
                 {1280, 720, 4, 2, 640, 360},
                 {480, 800, 2, 800 / 480.0f, 288, 480}};
  for (const auto& w : windows) {
    SCOPED_TRACE(std::to_string(w.width) + "x" + std::to_string(w.height));
    GameHarness game(w.width, w.height);
    MyApp& app = game.app();
    EXPECT_EQ(app.artScale, w.artScale);
    EXPECT_FLOAT_EQ(game::jscrw, w.virtualWidth);
    EXPECT_FLOAT_EQ(game::jscrh, w.virtualHeight);
    app.m_CLS2D(kNotGiven, 0, 0, 0);
    app.m_SetSize(1.5f, 1);
    app.m_SetRot(90);
    app.m_DrawImg(1, 100, 50, 0);
    game.Render();
    const std::vector<gxtkDrawn> sprites = game.graphics().Drawn(gxtkDrawn::kSprite);
    ASSERT_EQ(sprites.size(), 1u);
    const gxtkDrawn& s = sprites[0];
    const float* m = s.matrix;
    const float cx = s.x + s.width / 2, cy = s.y + s.height / 2;
    const std::vector<float> got = {m[0] * s.width,
                                    m[1] * s.width,
                                    m[2] * s.height,
                                    m[3] * s.height,
                                    m[0] * cx + m[2] * cy + m[4],
                                    m[1] * cx + m[3] * cy + m[5]};
    // The width turned to point down, the height to point left.
    const std::vector<float> want = {0, 1.5f * 64 * w.scale, -64 * w.scale,
                                     0, 100 * w.scale,       50 * w.scale};
    for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-3) << i;
  }
}

// What each step loads and where: the file, the slot and, for images, the
// sheet's cells (width, height, frames) in base-art pixels.
struct Step {
  std::string file;
  int slot, width = 0, height = 0, frames = 0;
};

std::vector<Step> Steps() {
  std::vector<Step> steps = {{"common/icons.png", kIconSheet, 32, 32, 16},
                             {"common/Buttons.png", kButtonSheet, 64, 64, 16},
                             {"common/dpad.png", kPadSheet, 32, 32, 16},
                             {"common/icade.png", kIcadeIcons, 64, 64, 2},
                             {"common/ZOVALogo.png", kMakerLogo, 256, 256, 1},
                             {"fonts/editundo.png", kFontSheet, 7, 10, 128},
                             {"sfx/001.wav", kSfxDigitRight},
                             {"sfx/095.wav", kSfxSpare},
                             {"sfx/098.wav", kSfxClick},
                             {"sfx/099.wav", kSfxChime},
                             {"menu.png", kMenuArt, 256, 256, 4},
                             {"logo.png", kTitleLogo, 256, 128, 1},
                             {"parts.png", kPartsSheet, 8, 8, 16},
                             {"BadgesA.png", kBadgeIcons, 64, 64, 64},
                             {"gfx.png", kSpriteSheet, 64, 64, 64}};
  for (int n = kSfxDigitWrong; n <= kSfxSiren; ++n) {
    steps.push_back({"sfx/0" + std::to_string(n / 10) + std::to_string(n % 10) + ".wav", n});
  }
  return steps;
}

TEST(Loader, EachOfThe34UpdatesLoadsItsFileIntoItsSlot) {
  HarnessOptions options{600, 450, std::nullopt, false};  // the base art
  GameHarness game(options);
  MyApp& app = game.app();
  int step = 0;
  for (const Step& expected : Steps()) {
    SCOPED_TRACE("step " + std::to_string(++step) + ": " + expected.file);
    game.graphics().loads.clear();
    game.audio().loads.clear();
    game.Update();
    const bool image = expected.width > 0;
    const auto& loads = image ? game.graphics().loads : game.audio().loads;
    ASSERT_EQ(game.graphics().loads.size() + game.audio().loads.size(), 1u);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_TRUE(loads[0].ends_with("data/" + expected.file)) << loads[0];
    if (!image) {
      EXPECT_EQ(game.SoundSlotOf(loads[0]), expected.slot);
      continue;
    }
    ASSERT_NE(app.images[expected.slot], nullptr);
    EXPECT_EQ(app.images[expected.slot]->surface.get(), game.graphics().lastLoaded);
    const std::vector<int> cells = {app.imageFrameInfo[expected.slot * 3],
                                    app.imageFrameInfo[expected.slot * 3 + 1],
                                    app.imageFrameInfo[expected.slot * 3 + 2]};
    EXPECT_EQ(cells, (std::vector<int>{expected.width, expected.height, expected.frames}));
  }
  game.graphics().loads.clear();
  game.Update();
  EXPECT_EQ(app.loadStep, 0) << "the 34th update finishes and loads nothing";
  EXPECT_TRUE(game.graphics().loads.empty());
  EXPECT_EQ(app.currentFont, 90);
}

// 630 and 1230 pixels are the variants' edges (the game starts at 640 x 480,
// in "-hd"). A new size reloads the art only when it needs another variant,
// or when a load is under way; either way the screen is laid out for it at
// once.
TEST(Loader, ANewWindowSizeReloadsOnlyForAnotherArtVariant) {
  const struct {
    int width, height;
    bool reloads;
    const char* firstFile;
  } sizes[] = {
      {600, 450, true, "common/icons.png"},      {630, 630, false, nullptr},
      {631, 473, true, "common/icons-hd.png"},   {1230, 922, false, nullptr},
      {1280, 720, true, "common/icons-hd2.png"}, {1920, 1080, false, nullptr},
      {640, 480, true, "common/icons-hd.png"},
  };
  GameHarness game;
  MyApp& app = game.app();
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
    game.platform().width = size.width;
    game.platform().height = size.height;
    game.Render();
    EXPECT_EQ(app.deviceWidth, size.width);
    EXPECT_EQ(app.loadStep, size.reloads ? 1 : 0) << "a new size reloads for another variant only";
    EXPECT_FLOAT_EQ(vantor::game::jscrw,
                    640.0f * std::min(1.0f, (size.width / 640.0f) / (size.height / 480.0f)));
    game.graphics().loads.clear();
    game.Update();
    if (size.reloads) {
      ASSERT_EQ(game.graphics().loads.size(), 1u);
      EXPECT_TRUE(game.graphics().loads[0].ends_with("data/" + std::string(size.firstFile)))
          << game.graphics().loads[0];
      while (app.loadStep != 0) game.Update();
    } else {
      EXPECT_TRUE(game.graphics().loads.empty());
    }
  }
  // A load under way starts again for a new size of the same variant: an
  // update at the new size may have loaded a file in between.
  game.platform().width = 1280;
  game.platform().height = 720;
  game.Render();
  game.Update(2);
  ASSERT_EQ(app.loadStep, 3);
  game.platform().width = 1920;
  game.platform().height = 1080;
  game.Render();
  EXPECT_EQ(app.loadStep, 1) << "a new size during a load did not start it again";
}

}  // namespace
}  // namespace vantor::testing
