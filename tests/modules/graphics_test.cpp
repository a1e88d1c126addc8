// The graphics module on a real frame: the drawing state and when it reaches
// the device, the matrix stack, images cut into frames, where sprites land on
// screen, and the default font and render device set up by the app bridge.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "modules/app.h"
#include "modules/graphics.h"
#include "tools/testing/graphics_fixtures.h"

namespace vantor::testing {
namespace {

constexpr uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kRed = 0xFFFF0000u,
                   kGreen = 0xFF00FF00u;

uint32_t RedGreen(int x, int) { return x < 2 ? kRed : kGreen; }  // of a 4-pixel-wide image
uint32_t Gradient(int x, int y) {
  return kBlack | static_cast<uint32_t>(x * 16) << 16 | static_cast<uint32_t>(y * 16) << 8;
}

// A fresh module context on a frame begun through the module and cleared to
// black, with a scratch data/ folder holding the test images as the working
// directory.
class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(UseGlTestContext(), nullptr);
    graphics::ModuleInit();
    graphics::SetGraphicsDevice(device = gc_new<gxtkGraphics>());
    StartFrame(device);
    graphics::BeginRender();
    WriteRgbaPng(dir.DataFile("sheet.png"), 100, 40, [](int, int) { return 0xFF808080u; });
    WriteRgbaPng(dir.DataFile("gradient.png"), 4, 4, Gradient);
    WriteRgbaPng(dir.DataFile("pair.png"), 4, 2, RedGreen);
  }

  ScratchDataDir dir;
  gxtkGraphics* device = nullptr;
};

// Colour, alpha, blend and scissor reach the device at once; a new frame
// starts white, opaque, alpha-blended and unclipped.
TEST_F(GraphicsTest, StateReachesTheDeviceAtOnceAndBeginRenderResetsIt) {
  graphics::SetColor(255, 128, 0);
  graphics::SetAlpha(0.5f);
  graphics::SetScissor(10.9f, 20.2f, 30.7f, 40.5f);
  graphics::DrawRect(0, 0, 1, 1);
  graphics::SetBlend(1);
  GLint box[4];
  glGetIntegerv(GL_SCISSOR_BOX, box);
  EXPECT_TRUE(box[0] == 10 && box[1] == kTestWindowHeight - 20 - 40 && box[2] == 30 &&
              box[3] == 40);
  EXPECT_EQ(device->color, 0x7F00407Fu)
      << "the colour and the alpha do not reach the device, premultiplied (0xAABBGGRR)";
  EXPECT_EQ(device->batchCount, 0) << "a blend change does not flush the batch";
  graphics::EndRender();
  graphics::BeginRender();
  EXPECT_TRUE(device->color == kWhite && graphics::context->blend == 0 &&
              !glIsEnabled(GL_SCISSOR_TEST));
}

// The given transform applies before the current one, and reaches the device
// when something is drawn. 32 matrices can be saved: a further push and a pop
// of the empty stack are ignored, and sprites drawn with the stack full leave
// the caller's matrix, on the device too, and the stack alone.
TEST_F(GraphicsTest, MatricesComposeAndTheStackHolds32) {
  Image* image = graphics::LoadImage(T("gradient.png"), 1, Image::CentreHandle);
  ASSERT_NE(image, nullptr);
  for (int level = 1; level <= kMatrixStackLevels + 1; ++level) {
    graphics::Translate(1, 0);
    graphics::PushMatrix();
  }
  graphics::Scale(2, 3);
  graphics::DrawRect(1, 1, 1, 1);
  EXPECT_TRUE(device->vertices[0].x == 35 && device->vertices[0].y == 3)
      << "not scaled, then moved";
  graphics::DrawImage(image, 10, 10, 0);
  graphics::DrawImage2(image, 10, 10, 45, 2, 2, 0);
  graphics::DrawRect(0, 0, 1, 1);
  EXPECT_TRUE(device->ix == 2 && device->tx == kMatrixStackLevels + 1)
      << "the device kept a sprite's matrix";
  for (int level = kMatrixStackLevels; level >= 0; --level) {
    graphics::PopMatrix();
    ASSERT_EQ(graphics::context->tx, std::max(level, 1)) << "after popping to level " << level;
  }
}

// Sheets are cut left to right, then top to bottom from column 0; cells
// grabbed from an image are offset by its frame; padding trims a pixel from
// each side; a centred handle is applied once.
TEST_F(GraphicsTest, ImagesAreCutIntoFrames) {
  Image* padded = graphics::LoadImage(T("sheet.png"), 1, Image::PadX);
  const struct {
    const char* name;
    Image* image;
    std::vector<std::pair<int, int>> frames;
    int w, h, handleX, handleY;
  } cases[] = {
      {"padded in x", padded, {{1, 0}}, 98, 40, 0, 0},
      {"a strip padded in y",
       graphics::LoadImage(T("sheet.png"), 4, Image::PadY),
       {{0, 1}, {25, 1}, {50, 1}, {75, 1}},
       25,
       38,
       0,
       0},
      {"a sheet",
       graphics::LoadImage2(T("sheet.png"), 32, 16, 6, 0),
       {{0, 0}, {32, 0}, {64, 0}, {0, 16}, {32, 16}, {64, 16}},
       32,
       16,
       0,
       0},
      {"centred cells",
       padded->GrabImage(40, 0, 10, 8, 6, Image::CentreHandle),
       {{41, 0}, {51, 0}, {61, 0}, {71, 0}, {81, 0}, {1, 8}},
       10,
       8,
       5,
       4},
  };
  for (const auto& c : cases) {
    ASSERT_NE(c.image, nullptr) << c.name;
    std::vector<std::pair<int, int>> frames;
    for (const Frame* f : c.image->frames) frames.emplace_back(f->x, f->y);
    EXPECT_EQ(frames, c.frames) << c.name;
    EXPECT_TRUE(c.image->width == c.w && c.image->height == c.h && c.image->handleX == c.handleX &&
                c.image->handleY == c.handleY && (c.image->flags & Image::CentreHandle) == 0)
        << c.name;
  }
  EXPECT_TRUE(!cases[1].image->GrabImage(0, 0, 4, 4, 1, 0) &&
              !graphics::LoadImage2(T("absent.png"), 8, 8, 1, 0) &&
              !graphics::LoadImage(T("sheet.png"), 0, 0))
      << "a grab from a strip, a missing file, no frames";
}

// DrawImage puts the handle at the position, under the current matrix;
// DrawImage2 scales about the handle, then turns about it (a positive angle
// turns counter-clockwise on screen), then puts it at the position; a
// sheared matrix shears sprites. A batch holds 256 sprites. Frames out of
// range, and anything outside a rendered frame, draw nothing. A
// texture upload between two batches of one texture binds the new one, and
// the second batch must still be drawn with its own.
TEST_F(GraphicsTest, SpritesLandWhereTheirHandleIsPut) {
  Image* gradient = graphics::LoadImage(T("gradient.png"), 1, Image::CentreHandle);
  Image* pair = graphics::LoadImage(T("pair.png"), 1, Image::CentreHandle);
  Image* halves = graphics::LoadImage(T("pair.png"), 2, 0);
  ASSERT_TRUE(gradient && pair && halves);
  for (int frame : {2, -1}) graphics::DrawImage2(halves, 0, 0, 0, 1, 1, frame);
  graphics::DrawImage(halves, 0, 0, 2);
  EXPECT_EQ(device->batchCount, 0) << "drew a frame the image does not have";
  graphics::DrawImage(gradient, 10, 10, 0);
  graphics::DrawImage(halves, 200, 0, 1);
  graphics::DrawImage2(pair, 100, 100, 90, 2, 2, 0);
  graphics::Scale(2, 2);
  graphics::DrawImage(gradient, 30, 10, 0);
  device->Flush();
  ASSERT_NE(graphics::LoadImage(T("pair.png"), 1, 0), nullptr);
  graphics::DrawImage(gradient, 30, 40, 0);
  graphics::SetMatrix(1, 0, 0, 3, 0, 0);
  graphics::DrawImage2(gradient, 150, 20, 0, 2, 1, 0);  // 8 x 12 from (146, 54)
  graphics::SetMatrix(1, 0, 0.5f, 1, 0, 0);             // sheared: x + y / 2, y
  graphics::DrawImage(gradient, 200, 20, 0);
  device->Flush();
  const int callsBefore = device->drawCalls;
  for (int i = 0; i <= kQuadCapacity; ++i) graphics::DrawImage(halves, 300, 300, 0);
  device->Flush();
  EXPECT_EQ(device->drawCalls - callsBefore, 2)
      << "one batch holds " << kQuadCapacity << " sprites";
  for (const auto& [what, x, y, expected] :
       std::vector<std::tuple<const char*, int, int, uint32_t>>{
           {"first texel at (10, 10) less the handle", 8, 8, Gradient(0, 0)},
           {"texel (3, 2)", 11, 10, Gradient(3, 2)},
           {"right of it", 12, 8, kBlack},
           {"scaled: first texel", 56, 16, Gradient(0, 0)},
           {"scaled: texel (3, 2)", 63, 21, Gradient(3, 2)},
           {"scaled: right of it", 64, 16, kBlack},
           {"second frame: green", 200, 0, kGreen},
           {"second frame: nothing beyond", 202, 0, kBlack},
           {"turned: green above", 100, 97, kGreen},
           {"turned: green above, left", 99, 96, kGreen},
           {"turned: red below", 101, 103, kRed},
           {"turned: nothing right", 103, 100, kBlack},
           {"doubled: nothing further below", 100, 105, kBlack},
           {"after an upload", 63, 81, Gradient(3, 2)},
           {"stretched: first texel", 146, 54, Gradient(0, 0)},
           {"stretched: texel (3, 2)", 153, 62, Gradient(3, 2)},
           {"stretched: right of it", 154, 62, kBlack},
           {"sheared: bottom row starts 1.75 right", 209, 21, Gradient(0, 3)}}) {
    EXPECT_EQ(PixelAt(device, x, y), expected) << what;
  }
  graphics::EndRender();
  graphics::DrawImage2(pair, 0, 0, 45, 2, 2, 0);
  EXPECT_EQ(device->batchCount, 0) << "drew outside a rendered frame";
}

// The app bridge selects the default font, 96 cells padded in x from
// character 32, when the app is created, and gives the game a render device
// only while it renders.
struct RenderProbe : App {
  bool rendering = false;
  int m_OnRender() override {
    return rendering = graphics::renderDevice.get() == graphics::device.get();
  }
};

TEST_F(GraphicsTest, TheAppBridgeSetsUpTheDefaultFontAndTheRenderDevice) {
  graphics::EndRender();
  WriteRgbaPng(dir.DataFile("zeph_font.png"), 96 * 8, 10, Gradient);
  app::ModuleInit();
  auto* probe = static_cast<RenderProbe*>(gc_new<RenderProbe>()->g_new());
  app::device->InvokeOnCreate();
  const GraphicsContext* c = graphics::context;
  ASSERT_TRUE(c->font && c->font.get() == c->defaultFont.get() && c->fontFirstChar == 32 &&
              !graphics::renderDevice);
  EXPECT_TRUE(c->font->Frames() == 96 && c->font->width == 6 && c->font->frames[1]->x == 9);
  app::device->InvokeOnRender();
  EXPECT_TRUE(probe->rendering && !graphics::renderDevice);
}

}  // namespace
}  // namespace vantor::testing
