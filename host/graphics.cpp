// gxtkGraphics: the batching renderer. Surfaces and image decoding live in
// host/surface.cpp.
#include "host/graphics.h"

#include <GL/gl.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/platform.h"

namespace vantor {

namespace {

// Per-kind limits of one batch: vertices per primitive and primitives.
constexpr int kPointVertices = 1;
constexpr int kLineVertices = 2;
constexpr int kQuadVertices = 4;
constexpr int kPointCapacity = kVertexCapacity / kPointVertices;
constexpr int kLineCapacity = kVertexCapacity / kLineVertices;

constexpr int kMinOvalSegments = 12;
constexpr int kMaxOvalSegments = kVertexCapacity;
constexpr float kTwoPi = 6.2831855f;
constexpr float kMaxChannel = 255.0f;
constexpr int kAdditiveBlend = 1;
constexpr int kByteMask = 255;

// Premultiplies the colour bytes of one 0xAARRGGBB pixel by its alpha.
uint32_t PremultiplyArgb(uint32_t p) {
  const uint32_t a = p >> 24;
  const uint32_t r = ((p >> 16) & kByteMask) * a / kByteMask;
  const uint32_t g = ((p >> 8) & kByteMask) * a / kByteMask;
  const uint32_t b = (p & kByteMask) * a / kByteMask;
  return a << 24 | r << 16 | g << 8 | b;
}

// Pixels travel to and from OpenGL as 0xAARRGGBB words, which are BGRA bytes
// in memory. WebGL takes RGBA bytes only, so there the red and blue bytes
// swap on the way (the swap is its own inverse).
#ifdef __EMSCRIPTEN__
constexpr GLenum kPixelTransferFormat = GL_RGBA;
uint32_t ArgbForTransfer(uint32_t p) {
  constexpr uint32_t kAlphaGreen = 0xFF00FF00u;
  constexpr int kRedShift = 16;
  return (p & kAlphaGreen) | (p >> kRedShift & kByteMask) | (p & kByteMask) << kRedShift;
}
#else
constexpr GLenum kPixelTransferFormat = GL_BGRA;
uint32_t ArgbForTransfer(uint32_t p) { return p; }
#endif

// Whether a rectangle of `width` by `rows` ints (both at least 1), its rows
// `pitch` apart from `offset`, lies inside an array of `length` ints. Keeps
// read-back and upload from touching memory outside the caller's array; an
// empty or misplaced rectangle does nothing.
bool RowsFit(int length, int width, int rows, int offset, int pitch) {
  if (width < 1 || rows < 1 || offset < 0 || pitch < 0) return false;
  const long last = static_cast<long>(offset) + static_cast<long>(rows - 1) * pitch + width;
  return last <= length;
}

// No texture has that name, so the first Flush of a frame binds.
constexpr unsigned int kUnknownTexture = ~0u;
unsigned int boundTexture = kUnknownTexture;

}  // namespace

void NoteTextureBound(unsigned int texture) { boundTexture = texture; }

void SetPixelView(int x, int y, int width, int height) {
  glViewport(x, y, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void NoteTextureDeleted(unsigned int texture) {
  if (boundTexture == texture) boundTexture = 0;
}

namespace {

using Corners = gxtkCorners;

void SetPosition(gxtkVertex& vertex, float x, float y, uint32_t rgba) {
  vertex.x = x;
  vertex.y = y;
  // `rgba` holds red in its low byte: on a little-endian machine its bytes
  // in memory are R, G, B, A, the vertex's order, so it goes in one store.
  static_assert(std::endian::native == std::endian::little);
  std::memcpy(&vertex.r, &rgba, sizeof rgba);
}

void SetVertex(gxtkVertex& vertex, float x, float y, float u, float v, uint32_t rgba) {
  SetPosition(vertex, x, y, rgba);
  vertex.u = u;
  vertex.v = v;
}

Corners UprightCorners(float x, float y, float w, float h) {
  return {{x, x + w, x + w, x}, {y, y, y + h, y + h}};
}

// The corners as Put transforms them, testing the matrix once per quad and
// sharing the products the corners have in common (the sums are formed in
// Put's order, so the results are the same).
[[gnu::always_inline]] inline Corners QuadCorners(const gxtkGraphics& d, float x, float y, float w,
                                                  float h) {
  if (!d.transformed) return UprightCorners(x, y, w, h);
  const float left = x;
  const float right = x + w;
  const float top = y;
  const float bottom = y + h;
  const float lx = left * d.ix, ly = left * d.iy, rx = right * d.ix, ry = right * d.iy;
  const float tx = top * d.jx, ty = top * d.jy, bx = bottom * d.jx, by = bottom * d.jy;
  return {{lx + tx + d.tx, rx + tx + d.tx, rx + bx + d.tx, lx + bx + d.tx},
          {ly + ty + d.ty, ry + ty + d.ty, ry + by + d.ty, ly + by + d.ty}};
}

// The corners of a w x h rectangle at the origin of `m`: what QuadCorners
// gives at (0, 0) under `m`, with the same products and sums, so that a
// sprite drawn under `m` lands exactly where setting `m` and drawing at the
// origin puts it.
[[gnu::always_inline]] inline Corners CornersUnder(const gxtkMatrix& m, float w, float h) {
  const float wx = w * m.ix, wy = w * m.iy, hx = h * m.jx, hy = h * m.jy;
  return {{m.tx, wx + m.tx, wx + hx + m.tx, hx + m.tx},
          {m.ty, wy + m.ty, wy + hy + m.ty, hy + m.ty}};
}

// A source rectangle's texture coordinates.
struct TexRect {
  float u0, v0, u1, v1;
};

[[gnu::always_inline]] inline TexRect TextureRect(const gxtkSurface& s, int srcx, int srcy,
                                                  int srcw, int srch) {
  return {static_cast<float>(srcx) * s.texScaleU, static_cast<float>(srcy) * s.texScaleV,
          static_cast<float>(srcx + srcw) * s.texScaleU,
          static_cast<float>(srcy + srch) * s.texScaleV};
}

[[gnu::always_inline]] inline void PutSprite(gxtkVertex* quad, const Corners& c, const TexRect& t,
                                             uint32_t rgba) {
  SetVertex(quad[0], c.x[0], c.y[0], t.u0, t.v0, rgba);
  SetVertex(quad[1], c.x[1], c.y[1], t.u1, t.v0, rgba);
  SetVertex(quad[2], c.x[2], c.y[2], t.u1, t.v1, rgba);
  SetVertex(quad[3], c.x[3], c.y[3], t.u0, t.v1, rgba);
}

}  // namespace

gxtkGraphics::gxtkGraphics() {
  for (int q = 0; q < kQuadCapacity; ++q) {
    const auto first = static_cast<uint16_t>(q * kQuadVertices);
    uint16_t* entry = &quadIndices[static_cast<std::ptrdiff_t>(q) * kIndicesPerQuad];
    entry[0] = first;
    entry[1] = first + 1;
    entry[2] = first + 2;
    entry[3] = first;
    entry[4] = first + 2;
    entry[5] = first + 3;
  }
}

void gxtkGraphics::mark() { batchSurface.queue_mark(); }

int gxtkGraphics::Mode() { return mode; }
int gxtkGraphics::Width() { return width; }
int gxtkGraphics::Height() { return height; }

bool gxtkGraphics::Validate() {
  width = 0;
  height = 0;
  if (Platform* platform = CurrentPlatform()) {
    platform->WindowSize(&width, &height);
    platform->ViewOrigin(&originX, &originY);
  }
  return width >= 1 && height >= 1;
}

bool gxtkGraphics::Letterboxed() const { return originX != 0 || originY != 0; }

void gxtkGraphics::ClipToView() {
  if (Letterboxed()) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(originX, originY, width, height);
  } else {
    glDisable(GL_SCISSOR_TEST);
  }
}

void gxtkGraphics::BeginRender() {
  drawCalls = 0;
  quadsDrawn = 0;
  if (!mode) return;
  if (Letterboxed()) {
    // The bars stay black; the game's own clearing is kept inside the view.
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  ClipToView();
  SetPixelView(originX, originY, width, height);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  constexpr int stride = sizeof(gxtkVertex);
  glVertexPointer(2, GL_FLOAT, stride, &vertices[0].x);
  glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].u);
  glColorPointer(4, GL_UNSIGNED_BYTE, stride, &vertices[0].r);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_TEXTURE_2D);
  textureEnabled = false;
  boundTexture = kUnknownTexture;
  batchCount = 0;
}

void gxtkGraphics::EnableTexture(bool enable) {
  if (textureEnabled == enable) return;
  textureEnabled = enable;
  if (enable) {
    glEnable(GL_TEXTURE_2D);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
}

// Texturing stays as the last batch left it, and so does the binding, so a
// run of batches on one texture changes neither.
void gxtkGraphics::Flush() {
  if (batchCount == 0) return;
  EnableTexture(batchSurface.get() != nullptr);
  if (batchSurface && batchSurface->texture != boundTexture) {
    glBindTexture(GL_TEXTURE_2D, batchSurface->texture);
    boundTexture = batchSurface->texture;
  }
  switch (batchKind) {
    case kBatchPoints:
      glDrawArrays(GL_POINTS, 0, batchCount);
      break;
    case kBatchLines:
      glDrawArrays(GL_LINES, 0, batchCount * kLineVertices);
      break;
    case kBatchQuads:
      glDrawElements(GL_TRIANGLES, batchCount * kIndicesPerQuad, GL_UNSIGNED_SHORT, quadIndices);
      quadsDrawn += batchCount;
      break;
    case kBatchFan:
      glDrawArrays(GL_TRIANGLE_FAN, 0, batchCount);
      break;
  }
  ++drawCalls;
  batchCount = 0;
}

void gxtkGraphics::EndRender() {
  if (mode && batchCount) Flush();
  if (Platform* platform = CurrentPlatform()) platform->SwapBuffers();
}

int gxtkGraphics::Cls(float red, float green, float blue) {
  batchCount = 0;
  glClearColor(red / kMaxChannel, green / kMaxChannel, blue / kMaxChannel, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  return 0;
}

// The products are truncated and OR-ed in unmasked, exactly as the colour has
// always been packed; in-range arguments never overlap.
void gxtkGraphics::UpdateColor() {
  const auto channel = [this](float value) { return static_cast<int>(value * alpha); };
  color = static_cast<uint32_t>(channel(r) | channel(g) << 8 | channel(b) << 16 |
                                channel(kMaxChannel) << 24);
}

int gxtkGraphics::SetAlpha(float a) {
  alpha = a;
  UpdateColor();
  return 0;
}

int gxtkGraphics::SetColor(float red, float green, float blue) {
  r = red;
  g = green;
  b = blue;
  UpdateColor();
  return 0;
}

int gxtkGraphics::SetBlend(int blend) {
  Flush();
  glBlendFunc(GL_ONE, blend == kAdditiveBlend ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
  return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int w, int h) {
  Flush();
  if (x == 0 && y == 0 && w == Width() && h == Height()) {
    ClipToView();
  } else {
    glEnable(GL_SCISSOR_TEST);
    glScissor(originX + x, originY + Height() - y - h, w, h);
  }
  return 0;
}

int gxtkGraphics::SetMatrix(float mix, float miy, float mjx, float mjy, float mtx, float mty) {
  ix = mix;
  iy = miy;
  jx = mjx;
  jy = mjy;
  tx = mtx;
  ty = mty;
  transformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
  return 0;
}

void gxtkGraphics::Restart(int kind, gxtkSurface* surface) {
  Flush();
  batchKind = kind;
  batchSurface = surface;
}

gxtkVertex* gxtkGraphics::BeginFan() {
  Flush();
  batchKind = kBatchFan;
  batchSurface = nullptr;
  return vertices;
}

void gxtkGraphics::EndFan(int vertexCount) {
  batchCount = vertexCount;
  Flush();
}

void gxtkGraphics::Put(gxtkVertex* vertex, float px, float py) const {
  if (transformed) {
    SetPosition(*vertex, px * ix + py * jx + tx, px * iy + py * jy + ty, color);
  } else {
    SetPosition(*vertex, px, py, color);
  }
}

void gxtkGraphics::PutQuad(gxtkVertex* quad, float x, float y, float w, float h) const {
  const Corners c = QuadCorners(*this, x, y, w, h);
  const uint32_t rgba = color;
  for (int i = 0; i < kQuadVertices; ++i) SetPosition(quad[i], c.x[i], c.y[i], rgba);
}

int gxtkGraphics::DrawPoint(float x, float y) {
  Put(Admit(kBatchPoints, kPointCapacity, kPointVertices, nullptr), x, y);
  return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
  PutQuad(Admit(kBatchQuads, kQuadCapacity, kQuadVertices, nullptr), x, y, w, h);
  return 0;
}

int gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  gxtkVertex* line = Admit(kBatchLines, kLineCapacity, kLineVertices, nullptr);
  Put(&line[0], x1, y1);
  Put(&line[1], x2, y2);
  return 0;
}

int gxtkGraphics::OvalSegments(float w, float h) const {
  const float xr = w * 0.5f;
  const float yr = h * 0.5f;
  int n;
  if (transformed) {
    const float across = std::sqrt((xr * ix) * (xr * ix) + (xr * iy) * (xr * iy));
    const float down = std::sqrt((yr * jx) * (yr * jx) + (yr * jy) * (yr * jy));
    n = static_cast<int>(across + down);
  } else {
    n = std::abs(static_cast<int>(xr)) + std::abs(static_cast<int>(yr));
  }
  if (n < kMinOvalSegments) return kMinOvalSegments;
  if (n > kMaxOvalSegments) return kMaxOvalSegments;
  // A multiple of four puts a vertex at each end of both axes, so the
  // outline is symmetric about them.
  return n & ~3;
}

int gxtkGraphics::DrawOval(float x, float y, float w, float h) {
  gxtkVertex* fan = BeginFan();
  const int n = OvalSegments(w, h);
  const float xr = w * 0.5f;
  const float yr = h * 0.5f;
  const float cx = x + xr;
  const float cy = y + yr;
  for (int i = 0; i < n; ++i) {
    const float th = kTwoPi * static_cast<float>(i) / static_cast<float>(n);
    Put(&fan[i], cx + std::cos(th) * xr, cy - std::sin(th) * yr);
  }
  EndFan(n);
  return 0;
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
  const int n = verts.Length() / 2;
  if (n < 3 || n > kVertexCapacity) return 0;
  gxtkVertex* fan = BeginFan();
  for (int i = 0; i < n; ++i) Put(&fan[i], verts[i * 2], verts[i * 2 + 1]);
  EndFan(n);
  return 0;
}

[[gnu::always_inline]] inline gxtkVertex* gxtkGraphics::AdmitSprite(gxtkSurface* surface) {
  if (batchSurface.get() != surface || batchCount >= kQuadCapacity) [[unlikely]] {
    Restart(kBatchQuads, surface);
  }
  return &vertices[static_cast<std::ptrdiff_t>(batchCount++) * kQuadVertices];
}

// Writes one sprite's quad, inline in each sprite entry point. The corners
// come computed and the rest is read before the batch is admitted, so that
// only the rare flush needs registers saved.
[[gnu::always_inline]] inline void gxtkGraphics::PutTexturedQuad(gxtkSurface* surface,
                                                                 const Corners& c, int srcx,
                                                                 int srcy, int srcw, int srch) {
  const TexRect t = TextureRect(*surface, srcx, srcy, srcw, srch);
  gxtkVertex* quad = AdmitSprite(surface);
  PutSprite(quad, c, t, color);
}

// The whole surface is the source rectangle at the origin: the texture
// coordinates come out as (w * texScaleU, h * texScaleV) at the far corner.
int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
  const int w = surface->width, h = surface->height;
  PutTexturedQuad(surface, QuadCorners(*this, x, y, static_cast<float>(w), static_cast<float>(h)),
                  0, 0, w, h);
  return 0;
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                               int srch) {
  PutTexturedQuad(surface,
                  QuadCorners(*this, x, y, static_cast<float>(srcw), static_cast<float>(srch)),
                  srcx, srcy, srcw, srch);
  return 0;
}

int gxtkGraphics::DrawSurfaceRect(gxtkSurface* surface, float x, float y, float w, float h,
                                  int srcx, int srcy, int srcw, int srch) {
  PutTexturedQuad(surface, UprightCorners(x, y, w, h), srcx, srcy, srcw, srch);
  return 0;
}

int gxtkGraphics::DrawSurfaceUnder(gxtkSurface* surface, const gxtkMatrix& m, int srcx, int srcy,
                                   int srcw, int srch) {
  PutTexturedQuad(surface, CornersUnder(m, static_cast<float>(srcw), static_cast<float>(srch)),
                  srcx, srcy, srcw, srch);
  return 0;
}

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
  Flush();
  if (!RowsFit(pixels.Length(), w, h, offset, pitch)) return 0;
  std::vector<uint32_t> buffer(static_cast<size_t>(w) * h);
  glReadPixels(originX + x, originY + Height() - y - h, w, h, kPixelTransferFormat,
               GL_UNSIGNED_BYTE, buffer.data());
  for (int i = 0; i < h; ++i) {
    const uint32_t* row = &buffer[static_cast<size_t>(h - 1 - i) * w];
    for (int j = 0; j < w; ++j) {
      pixels[offset + i * pitch + j] = static_cast<int>(ArgbForTransfer(row[j]));
    }
  }
  return 0;
}

int gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h,
                               int offset, int pitch) {
  Flush();
  if (!RowsFit(pixels.Length(), w, h, offset, pitch)) return 0;
  std::vector<uint32_t> buffer(static_cast<size_t>(w) * h);
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      const auto p = static_cast<uint32_t>(pixels[offset + i * pitch + j]);
      buffer[static_cast<size_t>(i) * w + j] = ArgbForTransfer(PremultiplyArgb(p));
    }
  }
  surface->CoverWrite(x, y, w, h);
  glBindTexture(GL_TEXTURE_2D, surface->texture);
  NoteTextureBound(surface->texture);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, kPixelTransferFormat, GL_UNSIGNED_BYTE,
                  buffer.data());
  return 0;
}

}  // namespace vantor
