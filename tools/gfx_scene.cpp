// gfx_scene: draws a fixed test scene with the real renderer and writes the
// frame to a PNG file, so the renderer's output can be checked by eye:
// filled and translucent rectangles, additive rectangles, a scissored
// rectangle, lines, an oval, a polygon, an image rotated and scaled about
// its centre, and text in the default font.
//
// Usage: gfx_scene OUTPUT.png [IMAGE]   (IMAGE defaults to "logo.png")
// Run it from a directory holding data/zeph_font.png and data/IMAGE, under
// an X display (./scripts/with-display).
#include <GLFW/glfw3.h>
#include <stb_image_write.h>

#include <string>
#include <vector>

#include "host/glfw_platform.h"
#include "host/graphics.h"
#include "host/log.h"
#include "modules/graphics.h"

namespace vantor {
namespace {

constexpr int kRgbaBytes = 4;

// One line of text in the current font, one frame per character.
void DrawText(const char* text, float x, float y) {
  const GraphicsContext* c = graphics::context;
  if (!c->font) return;
  for (const char* p = text; *p; ++p) {
    graphics::DrawImage(c->font, x, y, *p - c->fontFirstChar);
    x += static_cast<float>(c->font->width);
  }
}

void DrawShapes() {
  graphics::SetColor(220, 40, 40);
  graphics::DrawRect(20, 20, 120, 80);
  graphics::SetColor(40, 200, 60);
  graphics::SetAlpha(0.5f);
  graphics::DrawRect(80, 60, 120, 80);  // translucent over the red one
  graphics::SetAlpha(1);
  graphics::SetBlend(1);
  graphics::SetColor(0, 0, 200);
  graphics::DrawRect(160, 20, 60, 60);  // additive: bright blue over the background
  graphics::SetBlend(0);

  graphics::SetColor(255, 220, 0);
  graphics::DrawEllipse(320, 80, 70, 40);

  graphics::SetColor(0, 180, 255);
  // Convex, as the device draws polygons as one triangle fan.
  const float hexagon[] = {500, 20, 580, 60, 580, 140, 500, 180, 420, 140, 420, 60};
  graphics::device->DrawPoly(Array<float>(hexagon, sizeof hexagon / sizeof hexagon[0]));

  graphics::SetColor(255, 255, 255);
  for (int i = 0; i < 8; ++i) {
    graphics::DrawLine(20, 160 + i * 6, 220, 160 + i * 12);
  }

  graphics::SetScissor(250, 160, 100, 50);
  graphics::SetColor(255, 120, 0);
  graphics::DrawRect(200, 140, 200, 200);  // clipped to 100 x 50
  graphics::SetScissor(0, 0, graphics::DeviceWidth(), graphics::DeviceHeight());
}

void DrawPicture(Image* picture) {
  if (!picture) {
    LogProblem("scene", "the image is not found under data/; the scene is drawn without it");
    return;
  }
  graphics::SetColor(255, 255, 255);
  graphics::DrawImage(picture, 140, 330, 0);
  graphics::DrawImage2(picture, 420, 330, 30, 0.75f, 1.25f, 0);
}

void DrawCaption() {
  graphics::SetColor(255, 255, 255);
  DrawText("VANTOR scene: 0123456789 !?", 20, 420);
  graphics::PushMatrix();
  graphics::Scale(2, 2);
  graphics::SetColor(255, 200, 80);
  DrawText("Hello, renderer", 10, 222);
  graphics::PopMatrix();
}

// The frame as RGBA bytes, top row first.
std::vector<unsigned char> CaptureFrame(int width, int height) {
  Array<int> pixels(width * height);
  graphics::device->ReadPixels(pixels, 0, 0, width, height, 0, width);
  std::vector<unsigned char> rgba;
  rgba.reserve(static_cast<size_t>(width) * height * kRgbaBytes);
  for (int p : pixels) {
    const auto argb = static_cast<unsigned int>(p);
    rgba.insert(rgba.end(),
                {static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 8),
                 static_cast<unsigned char>(argb), static_cast<unsigned char>(argb >> 24)});
  }
  return rgba;
}

int Run(const char* output, const char* imageName) {
  if (!glfwInit()) {
    LogProblem("window", "glfwInit failed: no display?");
    return 1;
  }
  auto platform = GlfwPlatform::Open({.visible = false});
  if (!platform) {
    LogProblem("window", "cannot open a hidden window");
    glfwTerminate();
    return 1;
  }
  SetCurrentPlatform(platform.get());
  graphics::ModuleInit();
  auto* device = gc_new<gxtkGraphics>();
  graphics::SetGraphicsDevice(device);
  graphics::SetFont(nullptr, 32);
  Image* picture = graphics::LoadImage(T(imageName), 1, Image::CentreHandle);

  device->Validate();
  device->BeginRender();
  graphics::BeginRender();
  device->Cls(30, 34, 60);
  DrawShapes();
  DrawPicture(picture);
  DrawCaption();
  const int width = device->Width();
  const int height = device->Height();
  const std::vector<unsigned char> frame = CaptureFrame(width, height);
  graphics::EndRender();
  device->EndRender();

  const bool written =
      stbi_write_png(output, width, height, kRgbaBytes, frame.data(), width * kRgbaBytes) != 0;
  platform.reset();
  glfwTerminate();
  if (!written) LogProblem("scene", std::string("cannot write ") + output);
  return written ? 0 : 1;
}

}  // namespace
}  // namespace vantor

int main(int argc, char** argv) {
  vantor::SetLogProgram("gfx_scene");
  if (argc < 2) {
    vantor::LogProblem("command line", "usage: gfx_scene OUTPUT.png [IMAGE]");
    return 2;
  }
  return vantor::Run(argv[1], argc > 2 ? argv[2] : "logo.png");
}
