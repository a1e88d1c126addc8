// A graphics device that counts what the graphics module asks of it, and the
// fixture the module tests share: a fresh module context on a real frame.
#pragma once

#include <gtest/gtest.h>

#include "modules/graphics.h"
#include "tests/host/graphics_fixtures.h"

namespace vantor::testing {

class CountingDevice : public gxtkGraphics {
 public:
  int setMatrixCalls = 0;
  int surfaceDraws = 0;  // DrawSurface and DrawSurface2
  int wholeSurfaceDraws = 0;
  float lastSurfaceX = 0, lastSurfaceY = 0;

  int SetMatrix(float mix, float miy, float mjx, float mjy, float mtx, float mty) override {
    ++setMatrixCalls;
    return gxtkGraphics::SetMatrix(mix, miy, mjx, mjy, mtx, mty);
  }
  int DrawSurface(gxtkSurface* surface, float x, float y) override {
    ++wholeSurfaceDraws;
    Record(x, y);
    return gxtkGraphics::DrawSurface(surface, x, y);
  }
  int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                   int srch) override {
    Record(x, y);
    return gxtkGraphics::DrawSurface2(surface, x, y, srcx, srcy, srcw, srch);
  }

 private:
  void Record(float x, float y) {
    ++surfaceDraws;
    lastSurfaceX = x;
    lastSurfaceY = y;
  }
};

// A new module context with a counting device, a frame begun through the
// module and cleared to black, and a scratch data/ folder as the working
// directory.
class GraphicsModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(UseGlTestContext(), nullptr);
    graphics::ModuleInit();
    device = gc_new<CountingDevice>();
    graphics::SetGraphicsDevice(device);
    device->Validate();
    device->BeginRender();
    graphics::BeginRender();
    device->Cls(0, 0, 0);
    device->setMatrixCalls = 0;
  }
  void TearDown() override { graphics::EndRender(); }

  uint32_t Pixel(int x, int y) { return PixelAt(device, x, y); }

  // Loads data/<name> after writing it as a width x height RGBA image.
  template <class Fill>
  Image* LoadFresh(const char* name, int width, int height, int frames, int flags, Fill fill) {
    WriteRgbaPng(dir.DataFile(name), width, height, fill);
    return graphics::LoadImage(T(name), frames, flags);
  }

  ScratchDataDir dir;
  CountingDevice* device = nullptr;
};

inline uint32_t OpaqueGrey(int, int) { return 0xFF808080u; }

}  // namespace vantor::testing
