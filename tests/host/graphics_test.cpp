// The batching renderer drawing into a real (llvmpipe) frame: colours,
// blend modes, scissor, read-back, and surfaces decoded from image files.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "host/graphics.h"
#include "tools/testing/graphics_fixtures.h"

namespace vantor::testing {
namespace {

constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(UseGlTestContext(), nullptr);
    device = StartFrame(gc_new<gxtkGraphics>());
  }
  void TearDown() override { gxtkSurface::requirePow2 = false; }
  uint32_t Pixel(int x, int y) { return PixelAt(device, x, y); }

  ScratchDataDir dir;
  gxtkGraphics* device = nullptr;
};

// Colours are premultiplied by alpha; additive blending adds to what is
// there. The scissor counts y from the top, as drawing does.
TEST_F(GraphicsTest, AlphaAdditiveBlendAndScissor) {
  device->Cls(50, 60, 70);
  device->SetColor(255, 128, 0);
  device->SetAlpha(0.5f);
  device->DrawRect(0, 0, 10, 10);
  device->SetAlpha(1);
  device->SetBlend(1);
  device->SetColor(100, 100, 0);
  device->SetScissor(20, 5, 10, 10);
  device->DrawRect(0, 0, kTestWindowWidth, kTestWindowHeight);
  const std::pair<std::pair<int, int>, uint32_t> cases[] = {
      {{5, 5}, 0xFF985E23},   // half orange over the clear colour
      {{20, 5}, 0xFF96A046},  // the clear colour plus (100, 100, 0)
      {{29, 14}, 0xFF96A046}, {{19, 5}, 0xFF323C46}, {{20, 4}, 0xFF323C46}, {{20, 15}, 0xFF323C46}};
  for (const auto& [at, colour] : cases) {
    EXPECT_TRUE(NearPixel(Pixel(at.first, at.second), colour))
        << at.first << "," << at.second << std::hex << ": " << Pixel(at.first, at.second);
  }
}

// ARGB ints with the top row first, never outside the caller's array.
TEST_F(GraphicsTest, ReadPixelsGivesTheTopRowFirstInsideTheArray) {
  device->Cls(0x12, 0x34, 0x56);
  device->SetColor(255, 0, 0);
  device->DrawRect(0, 0, 2, 1);
  constexpr int kUntouched = -7;
  Array<int> pixels(8);
  for (int& p : pixels) p = kUntouched;
  device->ReadPixels(pixels, 0, 0, 2, 2, 1, 4);
  device->ReadPixels(pixels, 0, 0, 2, 2, 6, 4);  // would need 12 elements
  device->ReadPixels(pixels, 0, 0, 1, 1, -1, 1);
  const int grey = static_cast<int>(0xFF123456), red = static_cast<int>(kRed);
  EXPECT_EQ(
      std::vector<int>(pixels.begin(), pixels.end()),
      (std::vector<int>{kUntouched, red, red, kUntouched, kUntouched, grey, grey, kUntouched}));
}

// Opaque and distinct in every pixel, so a misplaced texel shows; the
// left column is half transparent red, which must come out premultiplied.
uint32_t Pattern(int x, int y) {
  if (x == 0) return 0x80FF0000;
  return 0xFF000000u | static_cast<uint32_t>(x * 2) << 16 | static_cast<uint32_t>(y * 4) << 8 |
         0x40;
}

// On a driver that refuses other sizes the texture is enlarged, the image
// sits in its top-left corner and the texture coordinates still cut out
// exactly the image.
TEST_F(GraphicsTest, ImagesDrawExactlyAtTheirOwnSizeAlsoInPowerOfTwoTextures) {
  const std::string path = dir.DataFile("sheet.png");
  WriteRgbaPng(path, 100, 60, Pattern);
  EXPECT_EQ(device->LoadSurface(String(dir.DataFile("absent.png").c_str())), nullptr);
  for (const bool pow2 : {false, true}) {
    gxtkSurface::requirePow2 = pow2;
    StartFrame(device);
    gxtkSurface* surface = device->LoadSurface(String(path.c_str()));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(std::pair(surface->Width(), surface->Height()), std::pair(100, 60));
    device->DrawSurface(surface, 0, 0);
    constexpr int kW = 101, kH = 61;
    Array<int> frame(kW * kH);
    device->ReadPixels(frame, 0, 0, kW, kH, 0, kW);
    int wrong = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 1; x < kW; ++x)
        wrong += static_cast<uint32_t>(frame[y * kW + x]) !=
                 (x < 100 && y < 60 ? Pattern(x, y) : kBlack);
    }
    EXPECT_EQ(wrong, 0) << "power of two: " << pow2;
    EXPECT_TRUE(NearPixel(static_cast<uint32_t>(frame[0]), 0xFF800000)) << std::hex << frame[0];
  }
}

// A texture keeps only the part of its picture that is not transparent:
// nothing opaque may be cut off, a sample past that part reads transparency,
// and a write past it lands. The surface is drawn before the write and after
// it, one copy below the other.
TEST_F(GraphicsTest, CroppedTexturesDrawTheWholePictureAndTakeWritesAnywhere) {
  struct Case {
    const char* name;
    int w, h, opaqueX, opaqueY;
    bool pow2;
  };
  const Case cases[] = {{"opaque far corner", 128, 64, 127, 63, false},
                        {"content filling a half", 128, 64, 63, 31, false},
                        {"cropped and enlarged to powers of two", 100, 60, 24, 14, true}};
  const std::string path = dir.DataFile("sparse.png");
  for (const Case& c : cases) {
    gxtkSurface::requirePow2 = c.pow2;
    WriteRgbaPng(path, c.w, c.h,
                 [&](int x, int y) { return x == c.opaqueX && y == c.opaqueY ? kRed : 0u; });
    StartFrame(device);
    gxtkSurface* surface = device->LoadSurface(String(path.c_str()));
    ASSERT_NE(surface, nullptr) << c.name;
    device->DrawSurface(surface, 0, 0);
    Array<int> green(1);
    green[0] = static_cast<int>(kGreen);
    device->WritePixels2(surface, green, c.w - 1, 0, 1, 1, 0, 1);
    device->DrawSurface(surface, 0, static_cast<float>(c.h + 1));
    const int frameW = c.w + 1, frameH = 2 * c.h + 2;
    Array<int> frame(frameW * frameH);
    device->ReadPixels(frame, 0, 0, frameW, frameH, 0, frameW);
    int wrong = 0;
    for (int py = 0; py < frameH; ++py) {
      const bool written = py > c.h;
      const int y = written ? py - c.h - 1 : py;
      for (int x = 0; x < frameW; ++x) {
        const uint32_t expected = x == c.opaqueX && y == c.opaqueY    ? kRed
                                  : written && x == c.w - 1 && y == 0 ? kGreen
                                                                      : kBlack;
        wrong += static_cast<uint32_t>(frame[py * frameW + x]) != expected;
      }
    }
    EXPECT_EQ(wrong, 0) << c.name;
  }
}

}  // namespace
}  // namespace vantor::testing
