#include "host/window_identity.h"

#include <GLFW/glfw3.h>
#include <stb_image.h>

namespace vantor {
namespace {

constexpr int kRgbaChannels = 4;

}  // namespace

void HintWindowClass(const WindowIdentity& identity) {
#ifndef __EMSCRIPTEN__
  if (!identity.className) return;
  glfwWindowHintString(GLFW_X11_CLASS_NAME, identity.className);
  glfwWindowHintString(GLFW_X11_INSTANCE_NAME, identity.className);
#else
  (void)identity;
#endif
}

void SetWindowIcon(GLFWwindow* window, const WindowIdentity& identity) {
  std::vector<GLFWimage> images;
  for (const std::span<const unsigned char> file : identity.icons) {
    GLFWimage image{};
    int channels = 0;
    image.pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &image.width,
                                         &image.height, &channels, kRgbaChannels);
    if (image.pixels) images.push_back(image);
  }
  // GLFW copies the pixels into the window's property.
  if (!images.empty()) glfwSetWindowIcon(window, static_cast<int>(images.size()), images.data());
  for (const GLFWimage& image : images) stbi_image_free(image.pixels);
}

}  // namespace vantor
