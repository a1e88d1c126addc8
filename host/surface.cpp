// gxtkSurface (textures), the device's surface factories and image decoding.
#include <GL/gl.h>
#include <stb_image.h>

#include <cstdio>
#ifndef __EMSCRIPTEN__
#include <malloc.h>
#endif

#include "host/files.h"
#include "host/graphics.h"
#include "runtime/gc.h"

namespace vantor {

namespace {

constexpr int kMaxChannel = 255;
// Errors glGetError may still hold from earlier calls; each call clears one.
constexpr int kMaxPendingErrors = 8;
constexpr int kLargestPow2 = 1 << 30;

enum Depth { kLuminance = 1, kLuminanceAlpha = 2, kRgb = 3, kRgba = 4 };

// The OpenGL format for `depth` bytes per pixel, 0 for any other depth.
GLenum FormatForDepth(int depth) {
  switch (depth) {
    case kLuminance:
      return GL_LUMINANCE;
    case kLuminanceAlpha:
      return GL_LUMINANCE_ALPHA;
    case kRgb:
      return GL_RGB;
    case kRgba:
      return GL_RGBA;
    default:
      return 0;
  }
}

void ClearGlErrors() {
  for (int i = 0; i < kMaxPendingErrors && glGetError() != GL_NO_ERROR; ++i) {
  }
}

// The decoder's buffers, as large as the picture, were freed in the middle
// of the heap, where the C library's allocator keeps their pages resident
// unless asked to give them back. (The browser's heap only ever grows.)
void ReturnFreedPages() {
#ifndef __EMSCRIPTEN__
  malloc_trim(0);
#endif
}

}  // namespace

bool gxtkSurface::requirePow2 = false;

gxtkSurface::~gxtkSurface() { Release(); }

void gxtkSurface::Release() {
  if (texture) {
    glDeleteTextures(1, &texture);
    NoteTextureDeleted(texture);
    texture = 0;
  }
  if (data) {
    FreeImage(data);
    data = nullptr;
  }
}

int gxtkSurface::Discard() {
  Release();
  return 0;
}

int gxtkSurface::Width() { return width; }
int gxtkSurface::Height() { return height; }
int gxtkSurface::Loaded() { return 1; }

void gxtkSurface::SetData(unsigned char* pixels, int w, int h, int d) {
  data = pixels;
  width = w;
  height = h;
  depth = d;
}

// Colour channels are scaled by alpha once here, so that blending with
// GL_ONE, GL_ONE_MINUS_SRC_ALPHA is correct for images and vertex colours
// alike.
void gxtkSurface::Premultiply() {
  if (!data || (depth != kLuminanceAlpha && depth != kRgba)) return;
  const long count = static_cast<long>(width) * height;
  const int colours = depth - 1;
  for (long i = 0; i < count; ++i) {
    unsigned char* pixel = data + i * depth;
    const int a = pixel[colours];
    for (int c = 0; c < colours; ++c) pixel[c] = static_cast<unsigned char>(pixel[c] * a / kMaxChannel);
  }
}

bool gxtkSurface::AllocateTexture(int texWidth, int texHeight, unsigned int format) {
  if (requirePow2 && (texWidth != Pow2Size(texWidth) || texHeight != Pow2Size(texHeight))) {
    return false;
  }
  ClearGlErrors();
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), texWidth, texHeight, 0, format,
               GL_UNSIGNED_BYTE, nullptr);
  return glGetError() == GL_NO_ERROR;
}

// A depth outside 1 to 4 fails the load (the surface keeps no pixels) rather
// than ending the process: a bad image file must not take the game down.
bool gxtkSurface::OnUnsafeLoadComplete() {
  const GLenum format = FormatForDepth(depth);
  if (format == 0) {
    Release();
    return false;
  }
  Premultiply();
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  NoteTextureBound(texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  int texWidth = width;
  int texHeight = height;
  if (!AllocateTexture(texWidth, texHeight, format)) {
    texWidth = Pow2Size(width);
    texHeight = Pow2Size(height);
    if (!AllocateTexture(texWidth, texHeight, format)) {
      FreeImage(data);
      data = nullptr;
      return false;
    }
  }
  if (data) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, data);
  }
  texScaleU = 1.0f / static_cast<float>(texWidth);
  texScaleV = 1.0f / static_cast<float>(texHeight);
  FreeImage(data);
  data = nullptr;
  ReturnFreedPages();
  return true;
}

gxtkSurface* gxtkGraphics::LoadSurface(String path) {
  gxtkSurface* surface = LoadSurface__UNSAFE__(gc_new<gxtkSurface>(), path);
  if (surface && !surface->OnUnsafeLoadComplete()) return nullptr;
  return surface;
}

gxtkSurface* gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
  int w = 0, h = 0, d = 0;
  unsigned char* pixels = loadImage(path, &w, &h, &d);
  if (!pixels) return nullptr;
  surface->SetData(pixels, w, h, d);
  // A replaced image is usually large: let the next collection free it.
  gc_force_sweep = true;
  return surface;
}

gxtkSurface* gxtkGraphics::CreateSurface(int w, int h) {
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->SetData(nullptr, w, h, kRgba);
  return surface->OnUnsafeLoadComplete() ? surface : nullptr;
}

unsigned char* loadImage(const String& path, int* width, int* height, int* depth) {
  std::FILE* file = OpenAsset(path);
  if (!file) return nullptr;
  unsigned char* pixels = stbi_load_from_file(file, width, height, depth, 0);
  if (!pixels) ReportAssetFailure(path, stbi_failure_reason());
  std::fclose(file);
  return pixels;
}

void FreeImage(unsigned char* pixels) { stbi_image_free(pixels); }

int Pow2Size(int n) {
  int size = 1;
  while (size < n && size < kLargestPow2) size <<= 1;
  return size;
}

}  // namespace vantor
