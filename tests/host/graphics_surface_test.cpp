// Surfaces: decoding image files, premultiplied upload, the power-of-two
// fallback, failures and release of textures.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <fstream>

#include "host/graphics.h"
#include "tests/host/graphics_fixtures.h"

namespace vantor::testing {
namespace {

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(UseGlTestContext(), nullptr);
    device = StartFrame(gc_new<gxtkGraphics>());
  }
  void TearDown() override { gxtkSurface::requirePow2 = false; }

  gxtkSurface* Load(const std::string& path) { return device->LoadSurface(String(path.c_str())); }

  ScratchDataDir dir;
  gxtkGraphics* device = nullptr;
};

// Opaque and distinct in every pixel, so a misplaced texel shows.
uint32_t Pattern(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x * 2) << 16 | static_cast<uint32_t>(y * 4) << 8 | 0x40;
}

TEST_F(SurfaceTest, LoadsAnImageAtItsOwnSizeAndFreesThePixelsAfterUpload) {
  const std::string path = dir.DataFile("sheet.png");
  WriteRgbaPng(path, 100, 60, Pattern);
  gc_force_sweep = false;
  gxtkSurface* surface = Load(path);
  ASSERT_NE(surface, nullptr);
  EXPECT_TRUE(gc_force_sweep);
  gc_force_sweep = false;
  EXPECT_EQ(surface->Width(), 100);
  EXPECT_EQ(surface->Height(), 60);
  EXPECT_EQ(surface->depth, 4);
  EXPECT_EQ(surface->data, nullptr);
  EXPECT_NE(surface->texture, 0u);
  EXPECT_FLOAT_EQ(surface->texScaleU, 1.0f / 100);
  EXPECT_FLOAT_EQ(surface->texScaleV, 1.0f / 60);
}

// On a driver that refuses other sizes the texture is enlarged, the image
// sits in its top-left corner and the texture coordinates still cut out
// exactly the image.
TEST_F(SurfaceTest, PowerOfTwoFallbackStillDrawsExactlyTheImage) {
  const std::string path = dir.DataFile("sheet.png");
  WriteRgbaPng(path, 100, 60, Pattern);
  gxtkSurface::requirePow2 = true;
  gxtkSurface* surface = Load(path);
  ASSERT_NE(surface, nullptr);
  EXPECT_FLOAT_EQ(surface->texScaleU, 1.0f / 128);
  EXPECT_FLOAT_EQ(surface->texScaleV, 1.0f / 64);

  device->DrawSurface(surface, 0, 0);
  constexpr int kW = 101, kH = 61;
  Array<int> frame(kW * kH);
  device->ReadPixels(frame, 0, 0, kW, kH, 0, kW);
  int wrong = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const uint32_t expected = (x < 100 && y < 60) ? Pattern(x, y) : 0xFF000000u;
      if (static_cast<uint32_t>(frame[y * kW + x]) != expected) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(SurfaceTest, TranslucentPixelsArePremultipliedAndBlendOverTheBackground) {
  const std::string rgba = dir.DataFile("red.png");
  WriteRgbaPng(rgba, 4, 4, [](int, int) { return 0x80FF0000u; });
  const std::string grey = dir.DataFile("grey.png");
  std::vector<uint8_t> greyPixels;
  for (int i = 0; i < 16; ++i) greyPixels.insert(greyPixels.end(), {200, 128});
  WritePng(grey, 4, 4, 2, greyPixels);

  device->Cls(0, 0, 255);
  device->DrawSurface(Load(rgba), 0, 0);
  EXPECT_TRUE(NearPixel(PixelAt(device, 1, 1), 0xFF80007F));

  device->Cls(0, 0, 0);
  gxtkSurface* luminance = Load(grey);
  ASSERT_NE(luminance, nullptr);
  device->DrawSurface(luminance, 0, 0);
  EXPECT_TRUE(NearPixel(PixelAt(device, 1, 1), 0xFF646464));
}

TEST_F(SurfaceTest, RgbImagesKeepTheirThreeChannels) {
  const std::string path = dir.DataFile("rgb.png");
  WritePng(path, 2, 1, 3, {10, 20, 30, 40, 50, 60});
  int w = 0, h = 0, depth = 0;
  unsigned char* pixels = loadImage(String(path.c_str()), &w, &h, &depth);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(depth, 3);
  EXPECT_EQ(pixels[3], 40);
  FreeImage(pixels);

  device->DrawSurface(Load(path), 0, 0);
  EXPECT_EQ(PixelAt(device, 1, 0), 0xFF28323Cu);
}

TEST_F(SurfaceTest, MissingOrUndecodableFilesGiveNull) {
  EXPECT_EQ(Load(dir.DataFile("absent.png")), nullptr);
  const std::string junk = dir.DataFile("junk.png");
  std::ofstream(junk) << "not an image";
  EXPECT_EQ(Load(junk), nullptr);
}

// A decoder reporting a depth the upload has no format for fails the load
// instead of ending the process.
TEST_F(SurfaceTest, AnUnknownPixelDepthFailsTheLoad) {
  const std::string path = dir.DataFile("tiny.png");
  WriteRgbaPng(path, 2, 2, Pattern);
  int w = 0, h = 0, depth = 0;
  unsigned char* pixels = loadImage(String(path.c_str()), &w, &h, &depth);
  ASSERT_NE(pixels, nullptr);
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->SetData(pixels, w, h, 5);
  EXPECT_FALSE(surface->OnUnsafeLoadComplete());
  EXPECT_EQ(surface->data, nullptr);
  EXPECT_EQ(surface->texture, 0u);
}

TEST_F(SurfaceTest, ASurfaceTooLargeForAnyTextureIsNotCreated) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  EXPECT_EQ(device->CreateSurface(maxSize * 4, 1), nullptr);
  gxtkSurface* fits = device->CreateSurface(8, 8);
  ASSERT_NE(fits, nullptr);
  EXPECT_FLOAT_EQ(fits->texScaleU, 1.0f / 8);
}

TEST_F(SurfaceTest, DiscardReleasesTheTextureOnce) {
  gxtkSurface* surface = device->CreateSurface(8, 8);
  ASSERT_NE(surface, nullptr);
  const GLuint texture = surface->texture;
  EXPECT_TRUE(glIsTexture(texture));
  surface->Discard();
  EXPECT_EQ(surface->texture, 0u);
  EXPECT_FALSE(glIsTexture(texture));
  surface->Discard();
  EXPECT_EQ(surface->texture, 0u);
}

}  // namespace
}  // namespace vantor::testing
