// gxtkSurface (textures), the device's surface factories and image decoding.
#include <GL/gl.h>
#include <stb_image.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>
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

// Whether a texture may hold only the part of its picture that is not
// transparent. WebGL cannot upload part of a wider picture nor read a
// texture back, so the browser keeps whole pictures.
#ifdef __EMSCRIPTEN__
constexpr bool kCropToContent = false;
#else
constexpr bool kCropToContent = true;
#endif

struct Size {
  int width, height;
};

// The part of the picture, from its top-left corner, that holds every pixel
// with non-zero alpha; pictures without alpha are whole.
Size ContentExtent(const unsigned char* pixels, int width, int height, int depth) {
  if (!kCropToContent || !pixels || (depth != kLuminanceAlpha && depth != kRgba)) {
    return {width, height};
  }
  Size content{0, 0};
  for (int y = 0; y < height; ++y) {
    const unsigned char* alpha = pixels + (static_cast<long>(y) * width + 1) * depth - 1;
    for (int x = width - 1; x >= 0; --x) {
      if (alpha[static_cast<std::ptrdiff_t>(x) * depth]) {
        content = {std::max(content.width, x + 1), y + 1};
        break;
      }
    }
  }
  return content;
}

// A side of the texture: the picture's `side`, halved while the half still
// holds the `content` and one transparent texel beyond it. A sample past the
// texture's edge reads that texel, as it read the transparent picture there.
// Only halving, because the texture coordinates then scale by exactly two:
// every sample of a scaled or moving sprite lands on the texel it did at full
// size, which a size of any other ratio does not promise.
int FittedSide(int side, int content) {
  while (side % 2 == 0 && side / 2 > content) side /= 2;
  return side;
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
    for (int c = 0; c < colours; ++c)
      pixel[c] = static_cast<unsigned char>(pixel[c] * a / kMaxChannel);
  }
}

bool gxtkSurface::AllocateTexture(int allocWidth, int allocHeight, unsigned int format) {
  if (requirePow2 && (allocWidth != Pow2Size(allocWidth) || allocHeight != Pow2Size(allocHeight))) {
    return false;
  }
  ClearGlErrors();
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), allocWidth, allocHeight, 0, format,
               GL_UNSIGNED_BYTE, nullptr);
  return glGetError() == GL_NO_ERROR;
}

// Allocates the bound texture at fitWidth by fitHeight, or enlarged to powers
// of two where the driver needs that, and fills it from `pixels` (the whole
// picture, rows of `width` pixels) as far as the texture covers it.
bool gxtkSurface::Upload(const unsigned char* pixels, int fitWidth, int fitHeight) {
  const GLenum format = FormatForDepth(depth);
  int allocatedWidth = fitWidth;
  int allocatedHeight = fitHeight;
  if (!AllocateTexture(allocatedWidth, allocatedHeight, format)) {
    allocatedWidth = Pow2Size(fitWidth);
    allocatedHeight = Pow2Size(fitHeight);
    if (!AllocateTexture(allocatedWidth, allocatedHeight, format)) return false;
  }
  texWidth = allocatedWidth;
  texHeight = allocatedHeight;
  if (pixels) {
    const int columns = std::min(width, texWidth);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (columns != width) glPixelStorei(GL_UNPACK_ROW_LENGTH, width);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, columns, std::min(height, texHeight), format,
                    GL_UNSIGNED_BYTE, pixels);
    if (columns != width) glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  }
  texScaleU = 1.0f / static_cast<float>(texWidth);
  texScaleV = 1.0f / static_cast<float>(texHeight);
  return true;
}

// A depth outside 1 to 4 fails the load (the surface keeps no pixels) rather
// than ending the process: a bad image file must not take the game down.
// The texture holds only the part of the picture that is not transparent
// (see FittedSide): many sheets are mostly transparent towards the right and
// bottom, and the software renderer keeps every texel in memory.
bool gxtkSurface::OnUnsafeLoadComplete() {
  if (FormatForDepth(depth) == 0) {
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
  const Size content = ContentExtent(data, width, height, depth);
  const bool uploaded =
      Upload(data, FittedSide(width, content.width), FittedSide(height, content.height));
  FreeImage(data);
  data = nullptr;
  ReturnFreedPages();
  return uploaded;
}

// Copies the texels the texture holds into `picture`, the whole picture's
// zeroed bytes: beyond them it stays transparent, as the picture was there.
void gxtkSurface::ReadBackPicture([[maybe_unused]] unsigned char* picture) {
#ifndef __EMSCRIPTEN__
  std::vector<unsigned char> texels(static_cast<size_t>(texWidth) * texHeight * depth);
  glBindTexture(GL_TEXTURE_2D, texture);
  NoteTextureBound(texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, FormatForDepth(depth), GL_UNSIGNED_BYTE, texels.data());
  const size_t rowBytes = static_cast<size_t>(std::min(width, texWidth)) * depth;
  for (int y = 0; y < std::min(height, texHeight); ++y) {
    std::copy_n(texels.data() + static_cast<size_t>(y) * texWidth * depth, rowBytes,
                picture + static_cast<size_t>(y) * width * depth);
  }
#endif
}

void gxtkSurface::CoverWrite(int x, int y, int w, int h) {
  const bool pastRight = long{x} + w > texWidth && texWidth < width;
  const bool pastBottom = long{y} + h > texHeight && texHeight < height;
  if (!texture || (!pastRight && !pastBottom)) return;
  std::vector<unsigned char> picture(static_cast<size_t>(width) * height * depth, 0);
  ReadBackPicture(picture.data());
  Upload(picture.data(), width, height);
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
  auto* surface = gc_new<gxtkSurface>();
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
