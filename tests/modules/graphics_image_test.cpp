// Images and frames: loading, grabbing cells from a sheet, flags and
// handles, drawing with and without a matrix, the default font, and the
// collector keeping exactly the referenced surfaces.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "modules/graphics.h"
#include "runtime/gc.h"
#include "tests/modules/graphics_test_device.h"

namespace vantor::testing {
namespace {

using ImageTest = GraphicsModuleTest;
using Position = std::pair<int, int>;

std::vector<Position> FramePositions(const Image* image) {
  std::vector<Position> positions;
  for (const Frame* f : image->frames) positions.emplace_back(f->x, f->y);
  return positions;
}

// Red in the left half, green in the right half.
uint32_t RedGreen(int x, int) { return x < 2 ? 0xFFFF0000u : 0xFF00FF00u; }

// Every pixel different, to see which texel lands where.
uint32_t Gradient(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x * 16) << 16 | static_cast<uint32_t>(y * 16) << 8;
}

// ---------------------------------------------------------------------------
// Loading and grabbing

TEST_F(ImageTest, ASheetIsCutIntoCellsLeftToRightThenTopToBottom) {
  WriteRgbaPng(dir.DataFile("sheet.png"), 100, 40, OpaqueGrey);
  Image* image = graphics::LoadImage2(T("sheet.png"), 32, 16, 6, 0);
  ASSERT_NE(image, nullptr);
  const std::vector<Position> expected = {{0, 0}, {32, 0}, {64, 0}, {0, 16}, {32, 16}, {64, 16}};
  EXPECT_EQ(FramePositions(image), expected);
  EXPECT_EQ(image->width, 32);
  EXPECT_EQ(image->height, 16);
  ASSERT_NE(image->source.get(), nullptr);
  EXPECT_EQ(image->surface.get(), image->source->surface.get());
}

// The seventh cell would wrap to (0, 32), and 32 + 16 exceeds the sheet's
// 40 rows: a runtime error. The child process's standard output goes to a
// file so the message can be read back.
TEST(ImageGrabDeathTest, AFrameOutsideTheSurfaceIsARuntimeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string output = std::string(VANTOR_BINARY_DIR) + "/graphics_grab_error.txt";
  std::remove(output.c_str());
  const auto grabSeven = [&output] {
    std::freopen("/dev/null", "r", stdin);
    std::freopen(output.c_str(), "w", stdout);
    gxtkSurface* sheet = gc_new<gxtkSurface>();
    sheet->SetData(nullptr, 100, 40, 4);
    Image* image = gc_new<Image>()->Init(sheet, 1, 0);
    image->GrabImage(0, 0, 32, 16, 7, 0);
    std::printf("the grab returned\n");
    std::exit(0);
  };
  EXPECT_EXIT(grabSeven(), ::testing::ExitedWithCode(255), "");
  std::ifstream file(output);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("Vantor Runtime Error : Image frame outside surface"),
            std::string::npos)
      << text.str();
  std::remove(output.c_str());
}

TEST_F(ImageTest, GrabbedCellsAreOffsetByTheSourceFrameAndWrapToColumnZero) {
  Image* sheet = LoadFresh("padded.png", 64, 40, 1, Image::PadX, OpaqueGrey);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(FramePositions(sheet), (std::vector<Position>{{1, 0}}));
  EXPECT_EQ(sheet->width, 62);
  Image* cells = sheet->GrabImage(40, 0, 10, 10, 3, 0);
  ASSERT_NE(cells, nullptr);
  const std::vector<Position> expected = {{41, 0}, {51, 0}, {1, 10}};
  EXPECT_EQ(FramePositions(cells), expected);
}

TEST_F(ImageTest, LoadedFramesLieSideBySideInOneRow) {
  Image* image = LoadFresh("strip.png", 64, 16, 4, Image::PadY, OpaqueGrey);
  ASSERT_NE(image, nullptr);
  const std::vector<Position> expected = {{0, 1}, {16, 1}, {32, 1}, {48, 1}};
  EXPECT_EQ(FramePositions(image), expected);
  EXPECT_EQ(image->width, 16);
  EXPECT_EQ(image->height, 14);
  EXPECT_EQ(image->GrabImage(0, 0, 4, 4, 1, 0), nullptr);  // more than one frame
}

TEST_F(ImageTest, OnlyAWholeUnpaddedSingleFrameIsFullSurface) {
  Image* plain = LoadFresh("plain.png", 64, 64, 1, 0, OpaqueGrey);
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->flags & Image::FullSurface);
  Image* padded = graphics::LoadImage(T("plain.png"), 1, Image::PadX);
  ASSERT_NE(padded, nullptr);
  EXPECT_FALSE(padded->flags & Image::FullSurface);
  EXPECT_EQ(padded->width, 62);
  EXPECT_FALSE(graphics::LoadImage(T("plain.png"), 2, 0)->flags & Image::FullSurface);
}

TEST_F(ImageTest, CentreHandleIsAppliedOnceAndNotInherited) {
  Image* image = LoadFresh("centred.png", 64, 32, 1, Image::CentreHandle, OpaqueGrey);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->handleX, 32);
  EXPECT_EQ(image->handleY, 16);
  EXPECT_FALSE(image->flags & Image::CentreHandle);

  Image* plainCells = image->GrabImage(0, 0, 16, 16, 2, 0);
  EXPECT_EQ(plainCells->handleX, 0);
  EXPECT_EQ(plainCells->handleY, 0);
  Image* centredCells = image->GrabImage(0, 0, 16, 8, 2, Image::CentreHandle);
  EXPECT_EQ(centredCells->handleX, 8);
  EXPECT_EQ(centredCells->handleY, 4);
}

TEST_F(ImageTest, MissingFilesAndZeroFrameCountsGiveNull) {
  EXPECT_EQ(graphics::LoadImage(T("absent.png"), 1, 0), nullptr);
  EXPECT_EQ(graphics::LoadImage2(T("absent.png"), 8, 8, 1, 0), nullptr);
  WriteRgbaPng(dir.DataFile("present.png"), 8, 8, OpaqueGrey);
  EXPECT_EQ(graphics::LoadImage(T("present.png"), 0, 0), nullptr);
}

// ---------------------------------------------------------------------------
// Drawing

TEST_F(ImageTest, WithoutAMatrixAnImageIsDrawnAtItsHandleAdjustedPosition) {
  Image* image = LoadFresh("gradient.png", 4, 4, 1, Image::CentreHandle, Gradient);
  ASSERT_NE(image, nullptr);
  graphics::DrawImage(image, 10, 10, 0);
  EXPECT_EQ(device->wholeSurfaceDraws, 1);
  EXPECT_EQ(device->lastSurfaceX, 8);
  EXPECT_EQ(device->lastSurfaceY, 8);
  EXPECT_EQ(Pixel(8, 8), Gradient(0, 0));
  EXPECT_EQ(Pixel(11, 10), Gradient(3, 2));
  EXPECT_EQ(Pixel(12, 8), 0xFF000000u);
}

TEST_F(ImageTest, UnderAMatrixAnImageIsDrawnAtTheOriginOfAPushedTransform) {
  Image* image = LoadFresh("gradient.png", 4, 4, 1, Image::CentreHandle, Gradient);
  ASSERT_NE(image, nullptr);
  graphics::Scale(2, 2);
  graphics::DrawImage(image, 10, 10, 0);
  EXPECT_EQ(device->lastSurfaceX, 0);
  EXPECT_EQ(device->lastSurfaceY, 0);
  EXPECT_EQ(device->tx, 16);
  EXPECT_EQ(graphics::context->matrixDepth, 0);
  EXPECT_EQ(graphics::context->tx, 0);
  EXPECT_EQ(Pixel(16, 16), Gradient(0, 0));
  EXPECT_EQ(Pixel(17, 17), Gradient(0, 0));
  EXPECT_EQ(Pixel(22, 18), Gradient(3, 1));
  EXPECT_EQ(Pixel(24, 16), 0xFF000000u);
}

TEST_F(ImageTest, AFrameIsCutFromItsOwnCell) {
  Image* image = LoadFresh("pair.png", 4, 2, 2, 0, RedGreen);
  ASSERT_NE(image, nullptr);
  graphics::DrawImage(image, 0, 0, 1);
  EXPECT_EQ(device->wholeSurfaceDraws, 0);
  EXPECT_EQ(Pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(Pixel(1, 1), 0xFF00FF00u);
  EXPECT_EQ(Pixel(2, 0), 0xFF000000u);
}

TEST_F(ImageTest, AFrameIndexOutsideTheImageDrawsNothing) {
  Image* image = LoadFresh("pair.png", 4, 2, 2, 0, RedGreen);
  ASSERT_NE(image, nullptr);
  graphics::DrawImage(image, 0, 0, 2);
  graphics::DrawImage(image, 0, 0, -1);
  graphics::DrawImage2(image, 0, 0, 0, 1, 1, 2);
  EXPECT_EQ(device->surfaceDraws, 0);
  EXPECT_EQ(graphics::context->matrixDepth, 0);
}

// Scaled about the handle, rotated about it, placed with the handle at the
// position: turned a quarter counter-clockwise, the right (green) half ends
// up above the position and the left (red) half below it.
TEST_F(ImageTest, DrawImage2ScalesAndRotatesAboutTheHandle) {
  Image* image = LoadFresh("pair.png", 4, 2, 1, Image::CentreHandle, RedGreen);
  ASSERT_NE(image, nullptr);
  graphics::DrawImage2(image, 100, 100, 90, 2, 2, 0);
  EXPECT_EQ(Pixel(100, 97), 0xFF00FF00u);
  EXPECT_EQ(Pixel(99, 96), 0xFF00FF00u);
  EXPECT_EQ(Pixel(100, 102), 0xFFFF0000u);
  EXPECT_EQ(Pixel(101, 103), 0xFFFF0000u);
  EXPECT_EQ(Pixel(103, 100), 0xFF000000u);
  EXPECT_EQ(Pixel(100, 105), 0xFF000000u);
  EXPECT_EQ(graphics::context->matrixDepth, 0);
  EXPECT_EQ(graphics::context->transformed, 0);
}

// ---------------------------------------------------------------------------
// Fonts

TEST_F(ImageTest, ANullFontSelectsTheDefaultFontFromCharacter32) {
  constexpr int kCell = 8;
  WriteRgbaPng(dir.DataFile("zeph_font.png"), 96 * kCell, 10, OpaqueGrey);
  graphics::SetFont(nullptr, 65);
  const GraphicsContext* c = graphics::context;
  ASSERT_NE(c->font.get(), nullptr);
  EXPECT_EQ(c->font.get(), c->defaultFont.get());
  EXPECT_EQ(c->fontFirstChar, 32);
  EXPECT_EQ(c->font->Frames(), 96);
  EXPECT_EQ(c->font->width, kCell - 2);
  EXPECT_EQ(c->font->frames[1]->x, kCell + 1);

  Image* loaded = c->defaultFont;
  graphics::SetFont(nullptr, 32);
  EXPECT_EQ(c->defaultFont.get(), loaded);  // loaded once
  Image* other = graphics::LoadImage(T("zeph_font.png"), 1, 0);
  graphics::SetFont(other, 65);
  EXPECT_EQ(c->font.get(), other);
  EXPECT_EQ(c->fontFirstChar, 65);
}

// ---------------------------------------------------------------------------
// The collector

// An image reachable from the context keeps its frames and surface through
// a full collection; a surface nothing refers to is destroyed with its
// texture.
TEST_F(ImageTest, TheCollectorKeepsReferencedSurfacesAndFreesTheRest) {
  Image* kept = LoadFresh("kept.png", 8, 8, 2, 0, OpaqueGrey);
  ASSERT_NE(kept, nullptr);
  graphics::SetFont(kept, 32);
  gxtkSurface* orphan = device->CreateSurface(8, 8);
  ASSERT_NE(orphan, nullptr);
  const GLuint orphanTexture = orphan->texture;
  const GLuint keptTexture = kept->surface->texture;

  gc_mark();
  gc_force_sweep = true;
  gc_collect();
  EXPECT_FALSE(glIsTexture(orphanTexture));
  EXPECT_TRUE(glIsTexture(keptTexture));
  EXPECT_EQ(graphics::context->font->Frames(), 2);
  EXPECT_EQ(graphics::context->font->frames[1]->x, 4);
  EXPECT_TRUE(gc_check_heap());
}

}  // namespace
}  // namespace vantor::testing
