// The draw list, the drawing state, the bitmap text and the virtual screen.
#include <vector>

#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

constexpr int kFontSlot = 90;

class DrawList : public ::testing::Test {
 protected:
  void SetUp() override { app().m_CLS2D(kNotGiven, 0, 0, 0); }
  MyApp& app() { return game.app(); }
  std::vector<DrawRecord> Records() { return DrawRecords(app()); }

  GameHarness game;
};

TEST_F(DrawList, TheRecordAfterThe2499thIsDropped) {
  for (int i = 0; i < 2500; ++i) app().m_Rect(static_cast<float>(i), 0, 1, 1);
  EXPECT_EQ(app().drawListLength, 2499 * 15);
  EXPECT_EQ(Records().back().x, 2498);
  app().m_DrawImg(1, 0, 0, 0);
  app().m_Oval(0, 0, 1, 1);
  EXPECT_EQ(app().drawListLength, 2499 * 15);
  app().m_CLS2D(kNotGiven, 0, 0, 0);
  EXPECT_EQ(app().drawListLength, 0);
}

TEST_F(DrawList, RecordsCarryTheDrawingState) {
  app().m_SetSize(2, kNotGiven);
  EXPECT_EQ(app().drawSizeX, 2);
  EXPECT_EQ(app().drawSizeY, 2);
  app().m_SetSize(2, 3);
  EXPECT_EQ(app().drawSizeY, 3);
  app().m_Alpha(0.25f);
  app().m_SetCol(255, 0, 0, kNotGiven);
  EXPECT_EQ(app().drawAlpha, 0.25f);
  app().m_SetCol(255, 0, 0, 0.5f);
  EXPECT_EQ(app().drawAlpha, 0.5f);
  app().m_SetRot(30);
  EXPECT_EQ(app().drawRotation, -30);

  app().m_DrawImg(97, 10, 20, 3);
  app().m_Rect(1, 2, 3, 4);
  app().m_Oval(5, 6, 7, 8);
  const auto r = Records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].kind, 97);
  EXPECT_EQ(r[0].x, 10);
  EXPECT_EQ(r[0].y, 20);
  EXPECT_EQ(r[0].rotation, -30);
  EXPECT_EQ(r[0].width, 2);
  EXPECT_EQ(r[0].height, 3);
  EXPECT_EQ(r[0].frame, 3);
  EXPECT_EQ(r[0].alpha, 0.5f);
  EXPECT_EQ(r[0].red, 255);
  EXPECT_EQ(r[0].green, 0);
  EXPECT_EQ(r[1].kind, kRecordRect);
  EXPECT_EQ(r[1].width, 3);
  EXPECT_EQ(r[1].height, 4);
  EXPECT_EQ(r[1].frame, 0);
  EXPECT_EQ(r[2].kind, kRecordOval);
  EXPECT_EQ(r[2].x, 5);
  EXPECT_EQ(r[2].height, 8);
}

TEST_F(DrawList, ClearingKeepsOrSetsTheBackgroundAndResetsTheState) {
  app().m_CLS2D(10, 20, 30, 0.5f);
  EXPECT_EQ(app().clearRed, 10);
  EXPECT_EQ(app().clearBlue, 30);
  EXPECT_EQ(app().clearAlpha, 0.5f);
  app().m_SetCol(1, 2, 3, 0.1f);
  app().m_SetSize(5, kNotGiven);
  app().m_SetRot(45);
  app().m_Rect(0, 0, 1, 1);
  app().m_CLS2D(kNotGiven, 99, 99, 1);
  EXPECT_EQ(app().clearRed, 10);
  EXPECT_EQ(app().clearGreen, 20);
  EXPECT_EQ(app().clearAlpha, 0.5f);
  EXPECT_EQ(app().drawListLength, 0);
  EXPECT_EQ(app().drawSizeX, 1);
  EXPECT_EQ(app().drawSizeY, 1);
  EXPECT_EQ(app().drawRotation, 0);
  EXPECT_EQ(app().drawRed, 255);
  EXPECT_EQ(app().drawAlpha, 1);
}

TEST_F(DrawList, TextIsCentredGlyphByGlyph) {
  app().m_LoadFont(kFontSlot, T("fonts/editundo"), 16, 10);
  app().m_Text(320, 240, T("AB"), 1, 1);
  auto r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].kind, kFontSlot);
  EXPECT_EQ(r[0].frame, 33);
  EXPECT_EQ(r[0].x, 312);
  EXPECT_EQ(r[0].y, 240);
  EXPECT_EQ(r[1].frame, 34);
  EXPECT_EQ(r[1].x, 328);

  // The game's own font advances 7 units.
  app().m_LoadFont(kFontSlot, T("fonts/editundo"), 7, 10);
  app().m_CLS2D(kNotGiven, 0, 0, 0);
  app().m_Text(320, 240, T("AB"), 1, 1);
  r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].x, 316.5f);
  EXPECT_EQ(r[1].x, 323.5f);
}

TEST_F(DrawList, TextAlignmentAndSpecialCharacters) {
  // The loader's font: advance 7, line height 10.
  app().m_SetSize(2, kNotGiven);
  app().m_Text(100, 100, T("AB"), 0, 0);  // first glyph at x; top at y
  auto r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].x, 100);
  EXPECT_EQ(r[0].y, 110);
  EXPECT_EQ(r[1].x, 114);
  EXPECT_EQ(r[0].width, 2);

  app().m_CLS2D(kNotGiven, 0, 0, 0);
  app().m_Text(100, 100, T("AB"), 2, 2);  // last glyph at x; a half line up
  r = Records();
  EXPECT_EQ(r[1].x, 100);
  EXPECT_EQ(r[1].y, 95);

  // Spaces and codes outside the sheet advance without a glyph, code 0
  // neither draws nor advances.
  app().m_CLS2D(kNotGiven, 0, 0, 0);
  const char16_t units[] = {u'A', u' ', 0, 200, u'B', 159};
  app().m_Text(0, 0, String(units, 6), 0, 1);
  r = Records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[1].x, 21);
  EXPECT_EQ(r[2].frame, 127);
  EXPECT_EQ(r[2].x, 28);
}

TEST_F(DrawList, BackslashNBreaksTheLineButCountsForAlignment) {
  app().m_Text(100, 100, T("A\\nB"), 0, 1);
  auto r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].x, 100);
  EXPECT_EQ(r[0].y, 100);
  EXPECT_EQ(r[1].x, 100);
  EXPECT_EQ(r[1].y, 110);

  app().m_CLS2D(kNotGiven, 0, 0, 0);
  app().m_Text(100, 100, T("A\\nB"), 1, 1);
  r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].x, 100 - 1.5f * 7);
  EXPECT_EQ(r[1].x, 100 - 1.5f * 7);

  // Any other backslash is a glyph of its own, also at the end.
  app().m_CLS2D(kNotGiven, 0, 0, 0);
  app().m_Text(0, 0, T("\\x\\"), 0, 1);
  r = Records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].frame, 60);
  EXPECT_EQ(r[1].frame, 'x' - 32);
  EXPECT_EQ(r[2].frame, 60);
  EXPECT_EQ(r[2].x, 14);
}

TEST_F(DrawList, RotatedTextRunsAlongTheRotation) {
  app().m_SetRot(90);
  app().m_Text(100, 100, T("A\\nB"), 0, 1);
  const auto r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_NEAR(r[0].x, 100, 1e-4);
  EXPECT_NEAR(r[0].y, 100, 1e-4);
  EXPECT_EQ(r[0].rotation, -90);
  // The next line is a line height to the left of a downward line.
  EXPECT_NEAR(r[1].x, 90, 1e-4);
  EXPECT_NEAR(r[1].y, 100, 1e-4);
}

struct ScreenCase {
  int width, height;
  float scale, virtualWidth, virtualHeight;
  int axis, landscape;
};

TEST(VirtualScreen, OneUniformScaleFromTheDesignSize) {
  for (const ScreenCase& c : {ScreenCase{640, 480, 1, 640, 480, 1, 1},
                              ScreenCase{1280, 720, 2, 640, 360, 1, 1},
                              ScreenCase{480, 800, 800 / 480.0f, 288, 480, 2, 0}}) {
    HarnessOptions options;
    options.width = c.width;
    options.height = c.height;
    GameHarness game(options);
    const MyApp& app = game.app();
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_FLOAT_EQ(app.scaleX, c.scale);
    EXPECT_FLOAT_EQ(app.scaleY, c.scale);
    EXPECT_FLOAT_EQ(game::jscrw, c.virtualWidth);
    EXPECT_FLOAT_EQ(game::jscrh, c.virtualHeight);
    EXPECT_EQ(app.scaleAxis, c.axis);
    EXPECT_EQ(app.landscape, c.landscape);
  }
}

}  // namespace
}  // namespace vantor::testing

namespace vantor::testing {
namespace {

using Call = SpyGraphics::Call;

std::vector<float> Box(const SpyGraphics::Request& request) {
  return {request.a, request.b, request.c, request.d};
}

// An image is shown at its virtual size times the screen scale whatever art
// variant was loaded, turned clockwise by a positive angle, and centred on
// its position (the sheets are loaded with centred handles).
TEST(Replay, ImagesAreSizedTurnedAndPlacedOnTheScreen) {
  constexpr float kCell = 64;  // the cells of the gfx sheet in base art
  const struct {
    int width, height, artScale;
    float scale;
  } windows[] = {{600, 450, 1, 600 / 640.0f}, {640, 480, 2, 1}, {1280, 960, 4, 2}};
  for (const auto& w : windows) {
    SCOPED_TRACE(std::to_string(w.width) + "x" + std::to_string(w.height));
    HarnessOptions options;
    options.width = w.width;
    options.height = w.height;
    GameHarness game(options);
    MyApp& app = game.app();
    ASSERT_EQ(app.artScale, w.artScale);
    app.m_CLS2D(kNotGiven, 0, 0, 0);
    app.m_SetSize(1.5f, 1);
    app.m_SetRot(90);
    app.m_DrawImg(1, 100, 50, 0);
    game.Render();
    const auto surfaces = game.graphics().Of(Call::kSurface);
    ASSERT_EQ(surfaces.size(), 1u);
    const SpyGraphics::Request& s = surfaces[0];
    const float* m = s.matrix;
    // The quad's two edges and its centre on the screen.
    const float xEdge[2] = {m[0] * s.c, m[1] * s.c};
    const float yEdge[2] = {m[2] * s.d, m[3] * s.d};
    const float cx = s.a + s.c / 2, cy = s.b + s.d / 2;
    const float centre[2] = {m[0] * cx + m[2] * cy + m[4], m[1] * cx + m[3] * cy + m[5]};
    constexpr float kTolerance = 1e-3f;
    EXPECT_NEAR(xEdge[0], 0, kTolerance);
    EXPECT_NEAR(xEdge[1], 1.5f * kCell * w.scale, kTolerance) << "the width turned to point down";
    EXPECT_NEAR(yEdge[0], -kCell * w.scale, kTolerance) << "the height turned to point left";
    EXPECT_NEAR(yEdge[1], 0, kTolerance);
    EXPECT_NEAR(centre[0], 100 * w.scale, kTolerance);
    EXPECT_NEAR(centre[1], 50 * w.scale, kTolerance);
  }
}

TEST(Replay, RecordsAreDrawnScaledToTheWindowOverTheBackground) {
  HarnessOptions options;
  options.width = 1280;
  options.height = 720;
  GameHarness game(options);
  MyApp& app = game.app();
  app.m_CLS2D(10, 20, 30, 1);
  app.m_SetCol(100, 110, 120, 0.5f);
  app.m_Rect(10, 20, 30, 40);
  app.m_Oval(50, 60, 5, 6);
  float* line = app.NewRecord(kRecordLine);
  line[1] = 1;
  line[2] = 2;
  line[4] = 3;
  line[5] = 4;
  app.m_DrawImg(97, 100, 100, 3);
  app.m_DrawImg(2, 0, 0, 0);  // an empty slot
  game.Render();
  const auto& r = game.graphics().requests;
  // The background first (after the render's own reset), over the whole
  // window, in the clear colour.
  size_t first = 0;
  while (first < r.size() && r[first].call != Call::kRect) ++first;
  ASSERT_GE(first, 2u);
  ASSERT_LT(first, r.size());
  EXPECT_EQ(r[first - 2].call, Call::kColor);
  EXPECT_EQ(r[first - 2].a, 10);
  EXPECT_EQ(r[first - 2].c, 30);
  EXPECT_EQ(r[first - 1].call, Call::kAlpha);
  EXPECT_EQ(r[first - 1].a, 1);
  EXPECT_EQ(r[first].a, -1);
  EXPECT_EQ(r[first].c, 1282);
  EXPECT_EQ(r[first].d, 722);
  // The record's alpha and colour go before its drawing.
  EXPECT_EQ(r[first + 3].call, Call::kAlpha);
  EXPECT_EQ(r[first + 3].a, 0.5f);
  EXPECT_EQ(r[first + 4].call, Call::kColor);
  EXPECT_EQ(r[first + 4].a, 100);
  EXPECT_EQ(r[first + 4].c, 120);
  EXPECT_EQ(r[first + 5].call, Call::kRect);
  // Everything in window pixels, twice the virtual units.
  const auto rects = game.graphics().Of(Call::kRect);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(Box(rects[1]), (std::vector<float>{20, 40, 60, 80}));
  const auto ovals = game.graphics().Of(Call::kOval);
  ASSERT_EQ(ovals.size(), 1u);
  EXPECT_EQ(Box(ovals[0]), (std::vector<float>{90, 108, 20, 24}));
  const auto lines = game.graphics().Of(Call::kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Box(lines[0]), (std::vector<float>{2, 4, 6, 8}));
  // One image: its frame cut from the sheet of the window's variant.
  EXPECT_EQ(app.artScale, 4);
  const auto surfaces = game.graphics().Of(Call::kSurface);
  ASSERT_EQ(surfaces.size(), 1u);
  Frame* frame = app.images[97]->frames[3];
  EXPECT_EQ(surfaces[0].sourceX, frame->x);
  EXPECT_EQ(surfaces[0].sourceY, frame->y);
  EXPECT_EQ(surfaces[0].c, 128);
  // The frame ends at alpha 0.5 and white.
  EXPECT_EQ(r[r.size() - 2].call, Call::kAlpha);
  EXPECT_EQ(r[r.size() - 2].a, 0.5f);
  EXPECT_EQ(r.back().call, Call::kColor);
  EXPECT_EQ(r.back().a, 255);
}

}  // namespace
}  // namespace vantor::testing
