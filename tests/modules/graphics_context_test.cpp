// The graphics module's drawing context: the begin-render reset, lazy
// matrices, the matrix stack, state forwarding and drawing outside a frame.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "modules/graphics.h"
#include "tests/modules/graphics_test_device.h"

namespace vantor::testing {
namespace {

using ContextTest = GraphicsModuleTest;
constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

TEST_F(ContextTest, BeginRenderResetsTheContextAndTheDevice) {
  graphics::SetColor(1, 2, 3);
  graphics::SetAlpha(0.25f);
  graphics::SetBlend(1);
  graphics::SetScissor(1, 2, 3, 4);
  graphics::Translate(5, 5);
  graphics::PushMatrix();
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));

  graphics::EndRender();
  EXPECT_EQ(graphics::renderDevice.get(), nullptr);
  graphics::BeginRender();
  const GraphicsContext* c = graphics::context;
  EXPECT_EQ(graphics::renderDevice.get(), device);
  EXPECT_EQ(c->matrixDepth, 0);
  EXPECT_EQ(c->tx, 0);
  EXPECT_EQ(c->transformed, 0);
  EXPECT_EQ(c->matrixDirty, 1);
  EXPECT_EQ(c->red, 255);
  EXPECT_EQ(c->alpha, 1);
  EXPECT_EQ(c->blend, 0);
  EXPECT_EQ(c->scissorWidth, kTestWindowWidth);
  EXPECT_EQ(c->scissorHeight, kTestWindowHeight);
  EXPECT_EQ(device->color, 0xFFFFFFFFu);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(ContextTest, AMatrixReachesTheDeviceOnceBeforeTheFirstDrawing) {
  graphics::SetMatrix(2, 0, 0, 2, 10, 0);
  EXPECT_EQ(device->setMatrixCalls, 0);
  graphics::DrawRect(0, 0, 1, 1);
  graphics::DrawRect(5, 0, 1, 1);
  EXPECT_EQ(device->setMatrixCalls, 1);
  EXPECT_EQ(device->vertices[0].x, 10);
  EXPECT_EQ(device->vertices[4].x, 20);
}

TEST_F(ContextTest, AnIdentityTransformStaysUntransformedButDirty) {
  graphics::DrawRect(0, 0, 1, 1);
  EXPECT_EQ(graphics::context->matrixDirty, 0);
  graphics::Transform(1, 0, 0, 1, 0, 0);
  EXPECT_EQ(graphics::context->transformed, 0);
  EXPECT_EQ(graphics::context->matrixDirty, 1);
}

TEST_F(ContextTest, TheGivenTransformAppliesBeforeTheCurrentOne) {
  graphics::Translate(10, 0);
  graphics::Scale(2, 3);
  graphics::DrawRect(1, 1, 1, 1);
  EXPECT_EQ(device->vertices[0].x, 12);  // scaled, then moved
  EXPECT_EQ(device->vertices[0].y, 3);
}

TEST_F(ContextTest, MatrixArraysGiveSixValuesAndShortOnesAreIgnored) {
  const float m[kMatrixFloats] = {2, 0, 0, 2, 4, 0};
  graphics::SetMatrix2(Array<float>(m, kMatrixFloats));
  graphics::Transform2(Array<float>(m, kMatrixFloats));
  EXPECT_EQ(graphics::context->ix, 4);
  EXPECT_EQ(graphics::context->tx, 12);
  graphics::SetMatrix2(Array<float>(m, 3));
  graphics::Transform2(Array<float>(m, 5));
  EXPECT_EQ(graphics::context->ix, 4);
  EXPECT_EQ(graphics::context->tx, 12);
}

TEST_F(ContextTest, RotatingNinetyDegreesTurnsARectangleUpward) {
  graphics::Translate(320, 240);
  graphics::Rotate(90);
  graphics::DrawRect(0, 0, 10, 1);
  EXPECT_EQ(Pixel(320, 231), kOpaqueWhite);
  EXPECT_EQ(Pixel(320, 239), kOpaqueWhite);
  EXPECT_EQ(Pixel(320, 228), kOpaqueBlack);
  EXPECT_EQ(Pixel(320, 241), kOpaqueBlack);
  EXPECT_EQ(Pixel(325, 239), kOpaqueBlack);
}

// Pushes beyond the 32 saved levels and pops of an empty stack are ignored.
TEST_F(ContextTest, TheMatrixStackIgnoresOverflowAndUnderflow) {
  for (int level = 1; level <= kMatrixStackLevels + 1; ++level) {
    graphics::Translate(1, 0);
    graphics::PushMatrix();
  }
  EXPECT_EQ(graphics::context->matrixDepth, kMatrixStackLevels * kMatrixFloats);
  EXPECT_EQ(graphics::context->tx, kMatrixStackLevels + 1);
  for (int level = kMatrixStackLevels; level >= 1; --level) {
    graphics::PopMatrix();
    EXPECT_EQ(graphics::context->tx, level);
  }
  graphics::PopMatrix();
  EXPECT_EQ(graphics::context->tx, 1);
  EXPECT_EQ(graphics::context->matrixDepth, 0);
}

TEST_F(ContextTest, ColourAlphaBlendAndScissorReachTheDeviceAtOnce) {
  graphics::SetColor(255, 128, 0);
  graphics::SetAlpha(0.5f);
  EXPECT_EQ(device->color, 0x7F00407Fu);
  graphics::SetScissor(10.9f, 20.2f, 30.7f, 40.5f);
  GLint box[4];
  glGetIntegerv(GL_SCISSOR_BOX, box);
  EXPECT_EQ(box[0], 10);
  EXPECT_EQ(box[1], kTestWindowHeight - 20 - 40);
  EXPECT_EQ(box[2], 30);
  graphics::DrawRect(0, 0, 1, 1);
  graphics::SetBlend(1);
  EXPECT_EQ(device->batchCount, 0);  // the blend change flushed
}

TEST_F(ContextTest, EllipsesAreGivenByCentreAndRadii) {
  graphics::DrawEllipse(100, 100, 20, 10);
  EXPECT_EQ(Pixel(100, 100), kOpaqueWhite);
  EXPECT_EQ(Pixel(118, 100), kOpaqueWhite);
  EXPECT_EQ(Pixel(100, 112), kOpaqueBlack);
  EXPECT_EQ(Pixel(122, 100), kOpaqueBlack);
}

TEST_F(ContextTest, NothingIsDrawnOutsideARenderedFrame) {
  Image* image = LoadFresh("tile.png", 4, 4, 1, 0, OpaqueGrey);
  ASSERT_NE(image, nullptr);
  graphics::EndRender();
  graphics::SetMatrix(2, 0, 0, 2, 0, 0);
  graphics::SetColor(10, 20, 30);
  graphics::DrawRect(0, 0, 5, 5);
  graphics::DrawLine(0, 0, 5, 5);
  graphics::DrawEllipse(5, 5, 5, 5);
  graphics::DrawImage(image, 0, 0, 0);
  graphics::DrawImage2(image, 0, 0, 45, 2, 2, 0);
  EXPECT_EQ(device->batchCount, 0);
  EXPECT_EQ(device->surfaceDraws, 0);
  EXPECT_EQ(device->setMatrixCalls, 0);
  EXPECT_EQ(graphics::context->red, 10);  // still recorded
}

}  // namespace
}  // namespace vantor::testing
