// The graphics module: drawing context, matrix stack, images and fonts.
#include "modules/graphics.h"

#include <algorithm>
#include <cmath>

#include "modules/data.h"
#include "runtime/debug.h"

namespace vantor {

namespace {

constexpr int kMatrixStackFloats = kMatrixStackLevels * kMatrixFloats;
constexpr float kDegreesToRadians = 0.0174532924f;
constexpr float kWhite = 255;
constexpr int kDefaultFontFrames = 96;
const char* const kDefaultFontFile = "zeph_font.png";
const char* const kFrameOutsideSurface = "Image frame outside surface";

bool IsIdentity(float ix, float iy, float jx, float jy, float tx, float ty) {
  return ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0;
}

// The sprite paths compose their matrices here instead of through
// Transform, dropping the terms that multiply by 0 or 1: the products they
// keep are the same, so the vertices come out bit for bit as through the
// general path.
using Affine = gxtkMatrix;

Affine CurrentMatrix(const GraphicsContext* c) {
  return {c->ix, c->iy, c->jx, c->jy, c->tx, c->ty};
}

// Translate(x, y) applied before `m`.
Affine Translated(const Affine& m, float x, float y) {
  return {m.ix, m.iy, m.jx, m.jy, x * m.ix + y * m.jx + m.tx, x * m.iy + y * m.jy + m.ty};
}

// `given` applied before `m`: the general product.
Affine Composed(const Affine& given, const Affine& m) {
  return {given.ix * m.ix + given.iy * m.jx,        given.ix * m.iy + given.iy * m.jy,
          given.jx * m.ix + given.jy * m.jx,        given.jx * m.iy + given.jy * m.jy,
          given.tx * m.ix + given.ty * m.jx + m.tx, given.tx * m.iy + given.ty * m.jy + m.ty};
}

// On the screen, with y pointing down, a positive angle turns
// counter-clockwise.
Affine Rotation(float angle) {
  const float r = angle * kDegreesToRadians;
  const auto s = static_cast<float>(std::sin(static_cast<double>(r)));
  const auto c = static_cast<float>(std::cos(static_cast<double>(r)));
  return {c, -s, s, c, 0, 0};
}

// Rotate(angle) applied before `m`; at angle 0 it is the identity.
Affine Rotated(const Affine& m, float angle) {
  return angle == 0 ? m : Composed(Rotation(angle), m);
}

// Scale(x, y) applied before `m`.
Affine Scaled(const Affine& m, float x, float y) {
  return {x * m.ix, x * m.iy, y * m.jx, y * m.jy, m.tx, m.ty};
}

}  // namespace

// ---------------------------------------------------------------------------
// Image

void Image::mark() {
  surface.queue_mark();
  frames.queue_mark();
  source.queue_mark();
}

int Image::SetHandle(float hx, float hy) {
  handleX = hx;
  handleY = hy;
  flags &= ~CentreHandle;
  return 0;
}

int Image::ApplyFlags(int newFlags) {
  flags = newFlags;
  if (flags & PadX) {
    for (Frame* frame : frames) frame->x += 1;
    width -= 2;
  }
  if (flags & PadY) {
    for (Frame* frame : frames) frame->y += 1;
    height -= 2;
  }
  if (flags & CentreHandle) SetHandle(width * 0.5f, height * 0.5f);
  if (frames.Length() == 1 && frames[0]->x == 0 && frames[0]->y == 0 && width == surface->Width() &&
      height == surface->Height()) {
    flags |= FullSurface;
  }
  return 0;
}

Image* Image::Init(gxtkSurface* surf, int frameCount, int newFlags) {
  surface = surf;
  width = surface->Width() / frameCount;
  height = surface->Height();
  frames = Array<gc_ref<Frame>>(frameCount);
  for (int i = 0; i < frameCount; ++i) frames[i] = gc_new<Frame>(i * width, 0);
  ApplyFlags(newFlags);
  return this;
}

// Cells are read left to right, wrapping to column 0 of the next row, and
// offset by the source's own first frame.
Image* Image::Grab(int x, int y, int w, int h, int frameCount, int newFlags, Image* src) {
  source = src;
  surface = src->surface;
  width = w;
  height = h;
  frames = Array<gc_ref<Frame>>(frameCount);
  const Frame* origin = src->frames[0];
  int cx = x;
  int cy = y;
  for (int i = 0; i < frameCount; ++i) {
    if (cx + width > src->width) {
      cy += height;
      cx = 0;
      if (width > src->width) dbg_error(kFrameOutsideSurface);
    }
    if (cy + height > src->height) dbg_error(kFrameOutsideSurface);
    frames[i] = gc_new<Frame>(cx + origin->x, cy + origin->y);
    cx += width;
  }
  ApplyFlags(newFlags);
  return this;
}

Image* Image::GrabImage(int x, int y, int w, int h, int frameCount, int newFlags) {
  if (frames.Length() != 1) return nullptr;
  return gc_new<Image>()->Grab(x, y, w, h, frameCount, newFlags, this);
}

// ---------------------------------------------------------------------------
// GraphicsContext

GraphicsContext::GraphicsContext() : matrixStack(kMatrixStackFloats) {}

void GraphicsContext::mark() {
  defaultFont.queue_mark();
  font.queue_mark();
  matrixStack.queue_mark();
}

int GraphicsContext::Validate() {
  if (matrixDirty && graphics::renderDevice) {
    graphics::renderDevice->SetMatrix(ix, iy, jx, jy, tx, ty);
    matrixDirty = 0;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Module functions

namespace graphics {

gc_ref<gxtkGraphics> device;
gc_ref<gxtkGraphics> renderDevice;
gc_ref<GraphicsContext> context;

namespace {

void MarkRoots() {
  device.queue_mark();
  renderDevice.queue_mark();
  context.queue_mark();
}

// The frame to draw, or null when the index lies outside the image: such a
// draw is skipped rather than reading past the frame array.
const Frame* FrameAt(const Image* image, int frame) {
  if (!image || frame < 0 || frame >= image->frames.Length()) return nullptr;
  return image->frames[frame];
}

// Draws frame `f` of `image` with its top-left corner at (x, y).
void DrawFrame(const Image* image, const Frame* f, float x, float y) {
  if (image->flags & Image::FullSurface) {
    renderDevice->DrawSurface(image->surface, x, y);
  } else {
    renderDevice->DrawSurface2(image->surface, x, y, f->x, f->y, image->width, image->height);
  }
}

// Whether `m` (a matrix or the context's) neither turns nor shears: a
// sprite under it is an upright rectangle.
template <class Matrix>
bool Upright(const Matrix& m) {
  return m.iy == 0 && m.jx == 0;
}

// Draws frame `f` with its top-left corner at (x, y), its width scaled by
// `sx` and its height by `sy`. Returns the device's 0, so that callers can
// end in it.
[[gnu::always_inline]] inline int DrawUpright(const Image* image, const Frame* f, float x, float y,
                                              float sx, float sy) {
  const int w = image->width, h = image->height;
  return renderDevice->DrawSurfaceRect(image->surface, x, y, static_cast<float>(w) * sx,
                                       static_cast<float>(h) * sy, f->x, f->y, w, h);
}

// Draws frame `f` at the origin of `m`, as a push, a transform and a pop
// would, without touching the context's matrix, its stack or the device's
// matrix. An upright sprite goes as its rectangle: (tx, ty) and its size
// times (ix, jy) are the products and sums the full matrix gives its
// corners, less the terms that are zero.
int DrawFrameUnder(const Image* image, const Frame* f, const Affine& m) {
  if (Upright(m)) return DrawUpright(image, f, m.tx, m.ty, m.ix, m.jy);
  return renderDevice->DrawSurfaceUnder(image->surface, m, f->x, f->y, image->width, image->height);
}

// DrawImage2 in general: kept out of line, so that the upright sprite's
// path stays short.
[[gnu::noinline]] int DrawTurned(const Image* image, const Frame* f, float x, float y,
                                 float rotation, float scaleX, float scaleY) {
  const Affine placed = Rotated(Translated(CurrentMatrix(context), x, y), rotation);
  return DrawFrameUnder(
      image, f, Translated(Scaled(placed, scaleX, scaleY), -image->handleX, -image->handleY));
}

}  // namespace

void ModuleInit() {
  device = nullptr;
  renderDevice = nullptr;
  context = gc_new<GraphicsContext>();
  gc_register_roots(MarkRoots);
}

int SetGraphicsDevice(gxtkGraphics* dev) {
  device = dev;
  return 0;
}

int DeviceWidth() { return device->Width(); }
int DeviceHeight() { return device->Height(); }

int BeginRenderStep() {
  renderDevice = device;
  context->matrixDepth = 0;
  SetMatrix(1, 0, 0, 1, 0, 0);
  SetColor(kWhite, kWhite, kWhite);
  SetAlpha(1);
  SetBlend(0);
  SetScissor(0, 0, static_cast<float>(device->Width()), static_cast<float>(device->Height()));
  return 0;
}

int BeginRender() {
  if (device && device->Mode() != 0) BeginRenderStep();
  return 0;
}

int EndRender() {
  renderDevice = nullptr;
  return 0;
}

Image* LoadImage(String path, int frameCount, int flags) {
  // A frame count below 1 has no frame width; report it like a missing file.
  if (frameCount < 1) return nullptr;
  gxtkSurface* surface = device->LoadSurface(data::FixDataPath(path));
  if (!surface) return nullptr;
  return gc_new<Image>()->Init(surface, frameCount, flags);
}

Image* LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags) {
  Image* sheet = LoadImage(path, 1, 0);
  if (!sheet) return nullptr;
  return sheet->GrabImage(0, 0, frameWidth, frameHeight, frameCount, flags);
}

// State setters. Outside a rendered frame there is no device to forward to;
// the context still records the value for the next Validate or render.

int SetColor(float r, float g, float b) {
  context->red = r;
  context->green = g;
  context->blue = b;
  if (renderDevice) renderDevice->SetColor(r, g, b);
  return 0;
}

int SetAlpha(float a) {
  context->alpha = a;
  if (renderDevice) renderDevice->SetAlpha(a);
  return 0;
}

int SetBlend(int blend) {
  context->blend = blend;
  if (renderDevice) renderDevice->SetBlend(blend);
  return 0;
}

int SetScissor(float x, float y, float w, float h) {
  context->scissorX = x;
  context->scissorY = y;
  context->scissorWidth = w;
  context->scissorHeight = h;
  if (renderDevice) {
    renderDevice->SetScissor(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                             static_cast<int>(h));
  }
  return 0;
}

int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
  GraphicsContext* c = context;
  c->ix = ix;
  c->iy = iy;
  c->jx = jx;
  c->jy = jy;
  c->tx = tx;
  c->ty = ty;
  c->transformed = IsIdentity(ix, iy, jx, jy, tx, ty) ? 0 : 1;
  c->matrixDirty = 1;
  return 0;
}

// A matrix array shorter than six values is ignored rather than read past.
int SetMatrix2(Array<float> m) {
  if (m.Length() < kMatrixFloats) return 0;
  return SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// The given transform applies first, then the current one.
int Transform(float ix, float iy, float jx, float jy, float tx, float ty) {
  const Affine m = Composed({ix, iy, jx, jy, tx, ty}, CurrentMatrix(context));
  return SetMatrix(m.ix, m.iy, m.jx, m.jy, m.tx, m.ty);
}

int Transform2(Array<float> m) {
  if (m.Length() < kMatrixFloats) return 0;
  return Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int Translate(float x, float y) { return Transform(1, 0, 0, 1, x, y); }

int Scale(float x, float y) { return Transform(x, 0, 0, y, 0, 0); }

int Rotate(float angle) {
  const Affine r = Rotation(angle);
  return Transform(r.ix, r.iy, r.jx, r.jy, r.tx, r.ty);
}

// A push beyond the 32 saved levels is ignored, as is a pop of an empty
// stack: the matrix stays as it is and nothing outside the stack is touched.
int PushMatrix() {
  GraphicsContext* c = context;
  if (c->matrixDepth + kMatrixFloats > c->matrixStack.Length()) return 0;
  float* slot = &c->matrixStack[c->matrixDepth];
  const float saved[kMatrixFloats] = {c->ix, c->iy, c->jx, c->jy, c->tx, c->ty};
  std::copy(saved, saved + kMatrixFloats, slot);
  c->matrixDepth += kMatrixFloats;
  return 0;
}

int PopMatrix() {
  GraphicsContext* c = context;
  const int d = c->matrixDepth - kMatrixFloats;
  if (d < 0) return 0;
  const float* m = &c->matrixStack[d];
  SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
  c->matrixDepth = d;
  return 0;
}

int SetFont(Image* font, int firstChar) {
  GraphicsContext* c = context;
  if (!font) {
    if (!c->defaultFont) {
      c->defaultFont = LoadImage(T(kDefaultFontFile), kDefaultFontFrames, Image::PadX);
    }
    font = c->defaultFont;
    firstChar = kDefaultFontFirstChar;
  }
  c->font = font;
  c->fontFirstChar = firstChar;
  return 0;
}

// Drawing. Without a render device (outside a rendered frame) nothing is
// drawn.

int DrawRect(float x, float y, float w, float h) {
  context->Validate();
  if (renderDevice) renderDevice->DrawRect(x, y, w, h);
  return 0;
}

int DrawLine(float x1, float y1, float x2, float y2) {
  context->Validate();
  if (renderDevice) renderDevice->DrawLine(x1, y1, x2, y2);
  return 0;
}

int DrawEllipse(float x, float y, float xRadius, float yRadius) {
  context->Validate();
  if (renderDevice) renderDevice->DrawOval(x - xRadius, y - yRadius, xRadius * 2, yRadius * 2);
  return 0;
}

int DrawImage(Image* image, float x, float y, int frame) {
  const Frame* f = FrameAt(image, frame);
  if (!f || !renderDevice) return 0;
  GraphicsContext* c = context;
  const float left = x - image->handleX;
  const float top = y - image->handleY;
  if (!c->transformed) {
    if (c->matrixDirty) c->Validate();  // mostly clean: no call per sprite
    DrawFrame(image, f, left, top);
    return 0;
  }
  return DrawFrameUnder(image, f, Translated(CurrentMatrix(c), left, top));
}

// Scaled about the handle, then rotated about it, then placed with the
// handle at (x, y).
int DrawImage2(Image* image, float x, float y, float rotation, float scaleX, float scaleY,
               int frame) {
  const Frame* f = FrameAt(image, frame);
  if (!f || !renderDevice) return 0;
  const GraphicsContext* c = context;
  if (rotation != 0 || !Upright(*c)) {
    return DrawTurned(image, f, x, y, rotation, scaleX, scaleY);
  }
  // DrawTurned's composition, less the terms that are zero.
  const float sx = scaleX * c->ix, sy = scaleY * c->jy;
  return DrawUpright(image, f, -image->handleX * sx + (x * c->ix + c->tx),
                     -image->handleY * sy + (y * c->jy + c->ty), sx, sy);
}

}  // namespace graphics
}  // namespace vantor
