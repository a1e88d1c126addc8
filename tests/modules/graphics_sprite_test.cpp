// Drawing images under a matrix: the caller's matrix and stack survive every
// draw, the composed sprite matrix matches the general matrix operations to
// the bit, and batches on the texture bound last skip the bind safely.
#include <gtest/gtest.h>

#include <cstring>

#include "modules/graphics.h"
#include "tests/modules/graphics_test_device.h"

namespace vantor::testing {
namespace {

using SpriteTest = GraphicsModuleTest;

uint32_t OpaqueRed(int, int) { return 0xFFFF0000u; }
uint32_t OpaqueBlue(int, int) { return 0xFF0000FFu; }

TEST_F(SpriteTest, DrawingWithAFullStackLeavesTheCallersMatrixAlone) {
  Image* image = LoadFresh("tile.png", 4, 4, 1, Image::CentreHandle, OpaqueGrey);
  ASSERT_NE(image, nullptr);
  for (int level = 0; level < kMatrixStackLevels; ++level) {
    graphics::Translate(1, 0);
    graphics::PushMatrix();
  }
  graphics::Scale(2, 2);
  const GraphicsContext* c = graphics::context;
  graphics::DrawImage(image, 10, 10, 0);
  graphics::DrawImage2(image, 10, 10, 45, 2, 2, 0);
  EXPECT_EQ(c->ix, 2);
  EXPECT_EQ(c->tx, kMatrixStackLevels);
  EXPECT_EQ(c->matrixDepth, kMatrixStackLevels * kMatrixFloats);
  graphics::DrawRect(0, 0, 1, 1);  // the caller's matrix reaches the device again
  EXPECT_EQ(device->ix, 2);
  EXPECT_EQ(device->tx, kMatrixStackLevels);
}

// The vertices of one sprite drawn by DrawImage2 and by the matrix
// operations DrawImage2 is defined by.
void ExpectSameVertices(const gxtkVertex* a, const gxtkVertex* b) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::memcmp(&a[i], &b[i], sizeof(gxtkVertex)), 0) << "corner " << i;
  }
}

TEST_F(SpriteTest, AComposedSpriteMatrixEqualsTheGeneralOperations) {
  Image* image = LoadFresh("pair.png", 4, 2, 1, Image::CentreHandle, OpaqueGrey);
  ASSERT_NE(image, nullptr);
  graphics::SetMatrix(1.3f, 0.2f, -0.4f, 0.9f, 7.1f, 3.3f);
  for (const float angle : {0.0f, 33.3f}) {
    graphics::DrawImage2(image, 101.7f, 53.9f, angle, 1.7f, 0.6f, 0);
    graphics::PushMatrix();
    graphics::Translate(101.7f, 53.9f);
    graphics::Rotate(angle);
    graphics::Scale(1.7f, 0.6f);
    graphics::Translate(-image->handleX, -image->handleY);
    graphics::DrawImage(image, image->handleX, image->handleY, 0);
    graphics::PopMatrix();
    ExpectSameVertices(&device->vertices[0], &device->vertices[4]);
    device->Flush();
  }
}

// An upload binds its new texture between two batches of the old one.
TEST_F(SpriteTest, ATextureUploadedBetweenBatchesIsNotDrawnInstead) {
  Image* red = LoadFresh("red.png", 4, 4, 1, 0, OpaqueRed);
  ASSERT_NE(red, nullptr);
  graphics::DrawImage(red, 0, 0, 0);
  device->Flush();
  Image* blue = LoadFresh("blue.png", 4, 4, 1, 0, OpaqueBlue);
  ASSERT_NE(blue, nullptr);
  graphics::DrawImage(red, 10, 0, 0);
  graphics::DrawRect(20, 0, 4, 4);
  graphics::DrawImage(red, 30, 0, 0);
  device->Flush();
  EXPECT_EQ(Pixel(11, 1), 0xFFFF0000u);
  EXPECT_EQ(Pixel(21, 1), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(31, 1), 0xFFFF0000u);
}

}  // namespace
}  // namespace vantor::testing
