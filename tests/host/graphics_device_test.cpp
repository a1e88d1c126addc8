// The batching renderer drawing into a real (llvmpipe) frame: colours,
// blending, scissor, clearing, read-back and write, batch boundaries, ovals
// and polygons.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>

#include "host/graphics.h"
#include "tests/host/graphics_fixtures.h"

namespace vantor::testing {
namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(UseGlTestContext(), nullptr);
    device = StartFrame(gc_new<gxtkGraphics>());
  }

  uint32_t Pixel(int x, int y) { return PixelAt(device, x, y); }

  gxtkGraphics* device = nullptr;
};

// ---------------------------------------------------------------------------
// Colour, blending, scissor and clearing

TEST_F(DeviceTest, ColourIsPremultipliedIntoEveryVertexAndReadsBack) {
  device->SetColor(255, 128, 0);
  device->SetAlpha(0.5f);
  device->DrawRect(10, 10, 20, 20);
  for (int i = 0; i < 4; ++i) {
    const gxtkVertex& v = device->vertices[i];
    EXPECT_EQ(v.r, 127);
    EXPECT_EQ(v.g, 64);
    EXPECT_EQ(v.b, 0);
    EXPECT_EQ(v.a, 127);
  }
  EXPECT_TRUE(NearPixel(Pixel(15, 15), 0xFF7F4000));
  EXPECT_EQ(Pixel(5, 5), kOpaqueBlack);
}

TEST_F(DeviceTest, AdditiveBlendAddsAndAlphaBlendReplaces) {
  device->Cls(50, 60, 70);
  device->SetBlend(1);
  device->SetColor(100, 100, 0);
  device->DrawRect(0, 0, 10, 10);
  EXPECT_TRUE(NearPixel(Pixel(5, 5), 0xFF96A046));

  device->SetBlend(0);
  device->DrawRect(0, 0, 10, 10);
  EXPECT_TRUE(NearPixel(Pixel(5, 5), 0xFF646400));
}

TEST_F(DeviceTest, ScissorClipsWithTheYOriginAtTheTop) {
  device->SetScissor(10, 20, 30, 40);
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  GLint box[4];
  glGetIntegerv(GL_SCISSOR_BOX, box);
  EXPECT_EQ(box[1], kTestWindowHeight - 20 - 40);

  device->DrawRect(0, 0, kTestWindowWidth, kTestWindowHeight);
  EXPECT_EQ(Pixel(10, 20), kOpaqueWhite);
  EXPECT_EQ(Pixel(39, 59), kOpaqueWhite);
  EXPECT_EQ(Pixel(9, 20), kOpaqueBlack);
  EXPECT_EQ(Pixel(10, 19), kOpaqueBlack);
  EXPECT_EQ(Pixel(40, 20), kOpaqueBlack);
  EXPECT_EQ(Pixel(10, 60), kOpaqueBlack);

  device->SetScissor(0, 0, device->Width(), device->Height());
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(DeviceTest, ClsDiscardsBufferedPrimitives) {
  device->DrawRect(0, 0, 100, 100);
  EXPECT_EQ(device->batchCount, 1);
  device->Cls(0, 0, 0);
  device->Flush();
  EXPECT_EQ(device->drawCalls, 0);
  EXPECT_EQ(Pixel(50, 50), kOpaqueBlack);
}

// ---------------------------------------------------------------------------
// Read-back and write

TEST_F(DeviceTest, ReadPixelsGivesArgbIntsWithTheTopRowFirst) {
  device->Cls(0x12, 0x34, 0x56);
  device->SetColor(255, 0, 0);
  device->DrawRect(0, 0, 2, 1);

  constexpr int kUntouched = -7;
  Array<int> pixels(8);
  for (int& p : pixels) p = kUntouched;
  device->ReadPixels(pixels, 0, 0, 2, 2, 1, 4);
  const int expected[8] = {kUntouched,          static_cast<int>(0xFFFF0000),
                           static_cast<int>(0xFFFF0000), kUntouched,
                           kUntouched,          static_cast<int>(0xFF123456),
                           static_cast<int>(0xFF123456), kUntouched};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(pixels[i], expected[i]) << "element " << i;
}

TEST_F(DeviceTest, ReadAndWriteStayInsideTheCallersArray) {
  Array<int> pixels(3);
  for (int& p : pixels) p = 5;
  device->ReadPixels(pixels, 0, 0, 2, 2, 0, 2);
  device->ReadPixels(pixels, 0, 0, 1, 1, -1, 1);
  for (int p : pixels) EXPECT_EQ(p, 5);

  gxtkSurface* surface = device->CreateSurface(2, 2);
  ASSERT_NE(surface, nullptr);
  Array<int> green(4);
  for (int& p : green) p = static_cast<int>(0xFF00FF00);
  device->WritePixels2(surface, green, 0, 0, 2, 2, 0, 2);
  Array<int> red(1);
  red[0] = static_cast<int>(0xFFFF0000);
  device->WritePixels2(surface, red, 0, 0, 2, 2, 0, 2);  // needs 4 values
  device->DrawSurface(surface, 0, 0);
  EXPECT_EQ(Pixel(0, 0), 0xFF00FF00);
}

TEST_F(DeviceTest, WritePixelsPremultipliesIntoTheTexture) {
  gxtkSurface* surface = device->CreateSurface(2, 1);
  ASSERT_NE(surface, nullptr);
  Array<int> pixels(2);
  pixels[0] = static_cast<int>(0x80FF0000);
  pixels[1] = static_cast<int>(0xFF00FF00);
  device->WritePixels2(surface, pixels, 0, 0, 2, 1, 0, 2);
  device->DrawSurface(surface, 0, 0);
  EXPECT_TRUE(NearPixel(Pixel(0, 0), 0xFF800000));
  EXPECT_EQ(Pixel(1, 0), 0xFF00FF00);
}

// ---------------------------------------------------------------------------
// Batch boundaries

// How many draw calls a sequence costs: what ends a batch and what does not.
TEST_F(DeviceTest, BatchesEndOnlyWhenTheyMust) {
  gxtkSurface* a = device->CreateSurface(4, 4);
  gxtkSurface* b = device->CreateSurface(4, 4);
  const struct {
    const char* name;
    std::function<void()> draw;
    int drawCalls;
  } cases[] = {
      {"a full quad buffer", [&] { for (int i = 0; i <= kQuadCapacity; ++i) device->DrawRect(i, 0, 1, 1); }, 2},
      {"every surface change", [&] { for (gxtkSurface* s : {a, b, a}) device->DrawSurface(s, 0, 0); }, 3},
      {"frames of one surface after a rectangle",
       [&] {
         device->DrawRect(0, 0, 4, 4);
         device->DrawSurface2(a, 0, 0, 0, 0, 2, 2);
         device->DrawSurface2(a, 4, 0, 2, 2, 2, 2);
       },
       2},
      {"a blend change",
       [&] {
         device->DrawRect(0, 0, 10, 10);
         device->SetBlend(1);
         device->DrawRect(0, 0, 10, 10);
       },
       2},
      {"full point and line buffers and kind changes",
       [&] {
         for (int i = 0; i <= kVertexCapacity; ++i) device->DrawPoint(i % 600, 0);
         for (int i = 0; i <= kVertexCapacity / 2; ++i) device->DrawLine(0, 1, 10, 1);
         device->DrawRect(0, 0, 1, 1);
       },
       5},
      {"colour, alpha and matrix changes share one",
       [&] {
         device->DrawRect(0, 0, 10, 10);
         device->SetColor(0, 255, 0);
         device->SetAlpha(1);
         device->SetMatrix(1, 0, 0, 1, 20, 0);
         device->DrawRect(0, 0, 10, 10);
       },
       1},
  };
  for (const auto& c : cases) {
    StartFrame(device);
    c.draw();
    device->Flush();
    EXPECT_EQ(device->drawCalls, c.drawCalls) << c.name;
  }
  // The last case's rectangles keep their own colour and place.
  EXPECT_EQ(Pixel(5, 5), kOpaqueWhite);
  EXPECT_EQ(Pixel(25, 5), 0xFF00FF00);
}

// ---------------------------------------------------------------------------
// Ovals and polygons

TEST_F(DeviceTest, OvalSegmentsFollowTheRadiiOnScreen) {
  EXPECT_EQ(device->OvalSegments(10, 10), 12);
  EXPECT_EQ(device->OvalSegments(100, 50), 72);
  EXPECT_EQ(device->OvalSegments(4000, 4000), 1024);
  EXPECT_EQ(device->OvalSegments(-100, -50), 72);
  device->SetMatrix(2, 0, 0, 2, 0, 0);
  EXPECT_EQ(device->OvalSegments(100, 50), 148);
  device->SetMatrix(0, 2, -2, 0, 0, 0);  // rotated a quarter turn and scaled
  EXPECT_EQ(device->OvalSegments(100, 50), 148);
}

TEST_F(DeviceTest, AnOvalFlushesWhatIsPendingAndIsDrawnAtOnce) {
  device->DrawRect(300, 300, 5, 5);
  device->DrawOval(100, 100, 100, 50);
  EXPECT_EQ(device->drawCalls, 2);
  EXPECT_EQ(device->batchCount, 0);
  EXPECT_EQ(Pixel(150, 125), kOpaqueWhite);
  EXPECT_EQ(Pixel(195, 125), kOpaqueWhite);
  EXPECT_EQ(Pixel(102, 102), kOpaqueBlack);
  EXPECT_EQ(Pixel(150, 153), kOpaqueBlack);
}

TEST_F(DeviceTest, PolygonsOutsideThreeTo1024PointsDrawNothingAtAll) {
  device->DrawRect(300, 300, 5, 5);
  device->DrawPoly(Array<float>(4));
  device->DrawPoly(Array<float>((kVertexCapacity + 1) * 2));
  EXPECT_EQ(device->drawCalls, 0);
  EXPECT_EQ(device->batchCount, 1);

  const float triangle[6] = {10, 10, 60, 10, 10, 60};
  device->DrawPoly(Array<float>(triangle, 6));
  EXPECT_EQ(device->drawCalls, 2);
  EXPECT_EQ(Pixel(20, 20), kOpaqueWhite);
  EXPECT_EQ(Pixel(55, 55), kOpaqueBlack);
}

}  // namespace
}  // namespace vantor::testing
