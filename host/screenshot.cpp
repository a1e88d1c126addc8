#include "host/screenshot.h"

#include <GL/gl.h>
#include <stb_image_write.h>

#include <ctime>
#include <string>
#include <vector>

namespace vantor {
namespace {

namespace fs = std::filesystem;

constexpr int kChannels = 4;  // RGBA
// Two screenshots in one second get a counter after the time.
constexpr int kMaxSameSecond = 100;

// vantor-20261207-183905.png, or -2, -3... when that exists.
fs::path FreeName(const fs::path& directory) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "vantor-%Y%m%d-%H%M%S", &local);
  for (int n = 1; n <= kMaxSameSecond; ++n) {
    const std::string suffix = n == 1 ? "" : "-" + std::to_string(n);
    fs::path path = directory / (stamp + suffix + ".png");
    std::error_code error;
    if (!fs::exists(path, error)) return path;
  }
  return fs::path();
}

}  // namespace

fs::path SaveScreenshot(const fs::path& directory, int width, int height) {
  if (width < 1 || height < 1) return fs::path();
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * kChannels);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  // OpenGL's rows run bottom to top; the file's alpha is opaque, as seen.
  for (size_t i = kChannels - 1; i < pixels.size(); i += kChannels) pixels[i] = 0xff;
  const fs::path path = FreeName(directory);
  const int stride = width * kChannels;
  const bool written =
      !path.empty() &&
      stbi_write_png(path.c_str(), width, height, kChannels,
                     pixels.data() + static_cast<size_t>(height - 1) * stride, -stride) != 0;
  return written ? path : fs::path();
}

}  // namespace vantor
