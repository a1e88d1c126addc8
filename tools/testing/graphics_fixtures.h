// Shared helpers of the graphics tests (host device and graphics module):
// PNG files written at test time, a scratch working directory with a data/
// folder, a device ready to draw a frame, and pixel read-back.
#pragma once

#include <stb_image_write.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/graphics.h"
#include "runtime/gc.h"
#include "tools/testing/gl_test_context.h"
#include "tools/testing/temp_dir.h"

namespace vantor::testing {

// A scratch working directory holding data/, so that relative asset names
// resolve into it for the life of the object.
class ScratchDataDir : public ScopedWorkDir {
 public:
  ScratchDataDir() { std::filesystem::create_directory(Path() / "data"); }

  // Absolute path of a file under data/.
  std::string DataFile(const std::string& name) const { return (Path() / "data" / name).string(); }
};

// Writes an RGBA PNG whose pixel (x, y) is fill(x, y) as 0xAARRGGBB.
template <class Fill>
void WriteRgbaPng(const std::string& path, int width, int height, Fill fill) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = fill(x, y);
      pixels.insert(pixels.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                   static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)});
    }
  }
  ASSERT_NE(stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4), 0) << path;
}

// A device with the window's size and a frame begun: white, opaque,
// alpha blending, no scissor, identity matrix, cleared to black.
inline gxtkGraphics* StartFrame(gxtkGraphics* device) {
  device->Validate();
  device->BeginRender();
  device->SetColor(255, 255, 255);
  device->SetAlpha(1);
  device->SetBlend(0);
  device->SetScissor(0, 0, device->Width(), device->Height());
  device->SetMatrix(1, 0, 0, 1, 0, 0);
  device->Cls(0, 0, 0);
  return device;
}

// One pixel of the frame (top-left origin) as 0xAARRGGBB.
inline uint32_t PixelAt(gxtkGraphics* device, int x, int y) {
  Array<int> pixel(1);
  device->ReadPixels(pixel, x, y, 1, 1, 0, 1);
  return static_cast<uint32_t>(pixel[0]);
}

// Whether two 0xAARRGGBB pixels differ by at most one per channel.
inline bool NearPixel(uint32_t actual, uint32_t expected) {
  bool near = true;
  for (int shift = 0; shift < 32; shift += 8)
    near &= std::abs(int(actual >> shift & 255) - int(expected >> shift & 255)) <= 1;
  return near;
}

}  // namespace vantor::testing
