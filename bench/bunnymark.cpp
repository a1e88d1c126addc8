// The bunnymark through the framework: N sprites moving as in
// bunnymark_plain.c, each drawn with one graphics-module call as a game
// draws, in the game's window, with the host's render step around them.
//
// Usage: bench_bunnymark [N] [SIZE] [FRAMES] [image2]; prints one line.
// With "image2" every sprite goes through DrawImage2 (angle 0, scale 1).
#include <GLFW/glfw3.h>

#include "bench/bunnymark.h"
#include "host/glfw_platform.h"
#include "host/graphics.h"
#include "modules/graphics.h"
#include "runtime/gc.h"

namespace vantor {
namespace {

gc_ref<Image> sprite;
void MarkSprite() { sprite.queue_mark(); }

struct Scene {
  BunnyOptions options{};
  Bunny* bunnies = nullptr;
  gxtkGraphics* device = nullptr;
  Image* image = nullptr;
};

Image* MakeSprite(gxtkGraphics* device, int size) {
  gxtkSurface* surface = device->CreateSurface(size, size);
  Array<int> texels(size * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) texels[y * size + x] = static_cast<int>(bunny_texel(x, y, size));
  }
  device->WritePixels2(surface, texels, 0, 0, size, size, 0, size);
  return gc_new<Image>()->Init(surface, 1, 0);
}

// One pass of the host's render step around the sprites.
void Frame(void* state) {
  auto* s = static_cast<Scene*>(state);
  bunny_move(s->bunnies, s->options.count, s->options.size);
  s->device->Validate();
  s->device->BeginRender();
  graphics::BeginRender();
  s->device->Cls(0, 0, 0);
  for (int i = 0; i < s->options.count; ++i) {
    const Bunny& b = s->bunnies[i];
    if (s->options.rotated) {
      graphics::DrawImage2(s->image, b.x, b.y, 0, 1, 1, 0);
    } else {
      graphics::DrawImage(s->image, b.x, b.y, 0);
    }
  }
  graphics::EndRender();
  s->device->EndRender();
  glfwPollEvents();
  gc_collect();
}

int Run(int argc, char** argv) {
  Scene scene;
  scene.options = bunny_options(argc, argv);
  if (!glfwInit()) return 1;
  auto platform = GlfwPlatform::Open();
  if (!platform) return 1;
  glfwSwapInterval(0);
  SetCurrentPlatform(platform.get());
  graphics::ModuleInit();
  scene.device = gc_new<gxtkGraphics>();
  graphics::SetGraphicsDevice(scene.device);
  scene.image = sprite = MakeSprite(scene.device, scene.options.size);
  gc_register_roots(MarkSprite);
  scene.bunnies = bunny_spawn(scene.options.count);
  bunny_measure(scene.options.rotated ? "framework-image2" : "framework", &scene.options, Frame,
                &scene);
  free(scene.bunnies);
  return 0;
}

}  // namespace
}  // namespace vantor

int main(int argc, char** argv) { return vantor::Run(argc, argv); }
