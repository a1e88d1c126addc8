// gxtkGraphics and gxtkSurface: the host's drawing device and its textures.
//
// A batching renderer over fixed-function OpenGL. Colour, alpha and the 2D
// matrix are applied on the CPU while vertices are written into one
// interleaved 1024-vertex buffer; a batch goes to OpenGL only when the next
// primitive cannot join it (another kind, a full buffer, another surface),
// when blend or scissor change, on read-back or write, and at the end of the
// frame. Coordinates are window pixels with the origin at the top left.
//
// The graphics module is the only client; the host application creates the
// device, validates it before each update and render, calls BeginRender
// before the app's render callback and flushes and swaps after it. Main
// thread only (the thread that owns the OpenGL context).
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/object.h"
#include "runtime/array.h"
#include "runtime/text.h"

namespace vantor {

inline constexpr int kVertexCapacity = 1024;
inline constexpr int kQuadCapacity = kVertexCapacity / 4;
inline constexpr int kIndicesPerQuad = 6;  // two triangles
inline constexpr int kQuadIndexCount = kQuadCapacity * kIndicesPerQuad;

// Primitive kinds held in a batch.
enum BatchKind {
  kBatchPoints = 1,
  kBatchLines = 2,
  kBatchQuads = 4,
  kBatchFan = 5,
};

// The 20-byte vertex handed to OpenGL as interleaved client arrays.
struct gxtkVertex {
  float x, y, u, v;
  uint8_t r, g, b, a;
};
static_assert(sizeof(gxtkVertex) == 20);

// One quad's corner positions, in the order (x, y), (x+w, y), (x+w, y+h),
// (x, y+h) before any matrix.
struct gxtkCorners {
  float x[4], y[4];
};

// A 2D matrix: the point (x, y) goes to (x*ix + y*jx + tx, x*iy + y*jy + ty).
struct gxtkMatrix {
  float ix, iy, jx, jy, tx, ty;
};

class gxtkSurface : public gxtkObject {
 public:
  unsigned char* data = nullptr;  // decoded pixels until uploaded
  int width = 0;
  int height = 0;
  int depth = 0;  // bytes per pixel of data: 1 to 4
  unsigned int texture = 0;
  float texScaleU = 0;
  float texScaleV = 0;

  // Test switch: when set, every upload behaves as on a driver that refuses
  // texture sizes other than powers of two (the first allocation is treated
  // as failed), so the enlarged-texture path runs on any driver.
  static bool requirePow2;

  ~gxtkSurface() override;
  virtual int Discard();
  virtual int Width();
  virtual int Height();
  virtual int Loaded();
  virtual bool OnUnsafeLoadComplete();
  void SetData(unsigned char* pixels, int w, int h, int d);
  // Before writing w by h texels at (x, y): a texture that holds only part
  // of the picture and would not hold the write grows to the whole picture,
  // keeping its texels.
  void CoverWrite(int x, int y, int w, int h);

 private:
  int texWidth = 0, texHeight = 0;  // the allocated texture

  void Release();
  void Premultiply();
  bool AllocateTexture(int allocWidth, int allocHeight, unsigned int format);
  bool Upload(const unsigned char* pixels, int fitWidth, int fitHeight);
  void ReadBackPicture(unsigned char* picture);
};

class gxtkGraphics : public gxtkObject {
 public:
  int mode = 1;
  int width = 0;
  int height = 0;
  // Where the drawn area starts in the framebuffer (from the bottom left):
  // not 0 only when the platform letterboxes the picture.
  int originX = 0, originY = 0;
  uint32_t color = 0;
  float r = 0, g = 0, b = 0, alpha = 0;
  float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
  bool transformed = false;
  gxtkVertex vertices[kVertexCapacity] = {};
  uint16_t quadIndices[kQuadIndexCount] = {};
  int batchKind = 0;
  int batchCount = 0;
  gc_ref<gxtkSurface> batchSurface;

  // Draw calls issued since the last BeginRender (for tests and the frame
  // statistics display).
  int drawCalls = 0;
  int quadsDrawn = 0;  // quads sent to OpenGL this frame
  // Whether GL_TEXTURE_2D is enabled: Flush changes it only between
  // textured and untextured batches.
  bool textureEnabled = false;

  gxtkGraphics();
  void mark() override;

  virtual int Mode();
  virtual int Width();
  virtual int Height();
  virtual gxtkSurface* LoadSurface(String path);
  virtual gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path);
  virtual gxtkSurface* CreateSurface(int width, int height);
  virtual int Cls(float r, float g, float b);
  virtual int SetAlpha(float alpha);
  virtual int SetColor(float r, float g, float b);
  virtual int SetBlend(int blend);
  virtual int SetScissor(int x, int y, int w, int h);
  virtual int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
  virtual int DrawPoint(float x, float y);
  virtual int DrawRect(float x, float y, float w, float h);
  virtual int DrawLine(float x1, float y1, float x2, float y2);
  virtual int DrawOval(float x, float y, float w, float h);
  virtual int DrawPoly(Array<float> verts);
  virtual int DrawSurface(gxtkSurface* surface, float x, float y);
  virtual int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                           int srch);
  // The sprite paths' two operations. Each draws the source rectangle of
  // DrawSurface2 in one call, whatever the device's matrix, which stays as
  // it is: the graphics module composes a sprite's matrix itself instead of
  // setting the device's around every sprite.
  // DrawSurfaceRect stretches it over the upright w x h rectangle at (x, y).
  virtual int DrawSurfaceRect(gxtkSurface* surface, float x, float y, float w, float h, int srcx,
                              int srcy, int srcw, int srch);
  // DrawSurfaceUnder draws it at srcw x srch at the origin of `m`.
  virtual int DrawSurfaceUnder(gxtkSurface* surface, const gxtkMatrix& m, int srcx, int srcy,
                               int srcw, int srch);
  virtual int ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                         int pitch);
  virtual int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int width,
                           int height, int offset, int pitch);

  // Reads the window size (and the view's origin); true when both sides
  // are at least 1.
  bool Validate();
  bool Letterboxed() const;
  // Scissors to the view when letterboxed, else switches scissoring off.
  void ClipToView();
  void BeginRender();
  void Flush();
  void EndRender();

  // Segments DrawOval uses for a w by h ellipse under the current matrix.
  int OvalSegments(float w, float h) const;

 private:
  // The batch admission rule: makes room for one primitive of `kind` and
  // returns its first vertex record. Inline, as it runs for every sprite.
  gxtkVertex* Admit(int kind, int capacity, int verticesPerPrimitive, gxtkSurface* surface) {
    if (batchKind != kind || batchCount >= capacity || batchSurface.get() != surface) [[unlikely]] {
      Restart(kind, surface);
    }
    return &vertices[static_cast<std::ptrdiff_t>(batchCount++) * verticesPerPrimitive];
  }
  // Admit for a textured quad. Only quad batches carry a surface, so a batch
  // on the same surface is of the same kind: one test fewer per sprite.
  gxtkVertex* AdmitSprite(gxtkSurface* surface);
  // Flushes and starts a batch of `kind` on `surface`; out of line, so that
  // the sprite paths save no registers for it when the batch has room.
  [[gnu::noinline, gnu::cold]] void Restart(int kind, gxtkSurface* surface);
  // Starts a one-fan batch, flushing what is pending.
  gxtkVertex* BeginFan();
  void EndFan(int vertexCount);
  void Put(gxtkVertex* vertex, float px, float py) const;
  void PutQuad(gxtkVertex* quad, float x, float y, float w, float h) const;
  void EnableTexture(bool enable);
  void PutTexturedQuad(gxtkSurface* surface, const gxtkCorners& c, int srcx, int srcy, int srcw,
                       int srch);
  void UpdateColor();
};

// The texture bound to GL_TEXTURE_2D as far as Flush knows, so that it binds
// only when a batch's texture differs. Whoever else binds or deletes a
// texture reports it; BeginRender forgets it, as the binding at the start of
// a frame is not known.
void NoteTextureBound(unsigned int texture);
void NoteTextureDeleted(unsigned int texture);

// Draws into the WIDTH x HEIGHT view whose lower-left corner is at window
// pixel (X, Y), one unit per pixel with the origin at the top left, as the
// game and the frame statistics overlay both draw.
void SetPixelView(int x, int y, int width, int height);

// Decodes an image file through fopenFile; null when it cannot be opened or
// decoded. Free the result with FreeImage.
unsigned char* loadImage(const String& path, int* width, int* height, int* depth);
void FreeImage(unsigned char* pixels);
int Pow2Size(int n);

}  // namespace vantor
