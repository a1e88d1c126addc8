// The app bridge's graphics wiring, driven through the host's own create
// and render steps: the default font is selected before the game's create
// step, and the render device is set only while the game renders.
#include <gtest/gtest.h>

#include "host/app.h"
#include "modules/app.h"
#include "modules/graphics.h"
#include "tests/host/graphics_fixtures.h"

namespace vantor::testing {
namespace {

class ProbeApp : public App {
 public:
  gc_ref<Image> fontAtCreate;
  int firstCharAtCreate = 0;
  int renders = 0;
  bool renderDeviceSetDuringRender = false;

  void mark() override { fontAtCreate.queue_mark(); }
  int m_OnCreate() override {
    fontAtCreate = graphics::context->font;
    firstCharAtCreate = graphics::context->fontFirstChar;
    return 0;
  }
  int m_OnRender() override {
    ++renders;
    renderDeviceSetDuringRender =
        graphics::renderDevice && graphics::renderDevice.get() == graphics::device.get();
    graphics::DrawRect(0, 0, 10, 10);
    return 0;
  }
};

TEST(GraphicsBridgeTest, CreateFindsTheDefaultFontAndRendersLeaveNoRenderDevice) {
  ASSERT_NE(UseGlTestContext(), nullptr);
  ScratchDataDir dir;
  WriteRgbaPng(dir.DataFile("zeph_font.png"), 96 * 8, 10, [](int, int) { return 0xFFFFFFFFu; });
  graphics::ModuleInit();
  app::ModuleInit();
  ProbeApp* probe = gc_new<ProbeApp>();
  probe->g_new();
  gc_mark();
  AppDevice* bridge = app::device;
  ASSERT_NE(bridge, nullptr);
  EXPECT_EQ(graphics::device.get(), bridge->GraphicsDevice());

  bridge->InvokeOnCreate();
  ASSERT_NE(probe->fontAtCreate.get(), nullptr);
  EXPECT_EQ(probe->fontAtCreate.get(), graphics::context->defaultFont.get());
  EXPECT_EQ(probe->firstCharAtCreate, 32);
  EXPECT_EQ(graphics::renderDevice.get(), nullptr);

  for (int frame = 1; frame <= 2; ++frame) {
    bridge->InvokeOnRender();
    EXPECT_EQ(probe->renders, frame);
    EXPECT_TRUE(probe->renderDeviceSetDuringRender);
    EXPECT_EQ(graphics::device->drawCalls, 1);
    EXPECT_EQ(graphics::renderDevice.get(), nullptr);
  }
}

}  // namespace
}  // namespace vantor::testing
