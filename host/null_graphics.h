// gxtkNullGraphics: a drawing device without a window or OpenGL, that
// remembers what it is asked to draw.
//
// It stands in for gxtkGraphics where a game runs without a display: the
// game's in-process tests (tests/game), which check the game's logic and
// what its draw list sends to the device, and the record tests. It keeps
// the real device's state (colour and alpha packed as the real device packs
// them, the matrix and the blend) and its failure rules: a file that
// cannot be opened or whose header cannot be read loads nothing. A surface
// takes its size from its image file's header and holds neither pixels nor
// a texture, so loading costs no decoding; a file damaged past its header
// loads here though the real device refuses it. Read-back leaves the
// caller's array as it was.
//
// Every primitive goes into `drawn`, in order, until the owner clears it
// (the game harness does before each render). Its `mode` field is 0, so
// that the host's frame bracket (BeginRender, EndRender) makes no OpenGL
// call, while Mode() answers 1, so that the graphics module renders into it
// as into a window. Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "host/graphics.h"

namespace vantor {

// One primitive as the device was asked to draw it.
struct gxtkDrawn {
  enum Kind { kPoint, kRect, kLine, kOval, kPoly, kSprite };
  Kind kind;
  // The rectangle before the matrix: of a point, its place and no size; of
  // a line, from its first end (x, y) to (x + width, y + height); of a
  // polygon, the box around its points; of a sprite, its quad.
  float x, y, width, height;
  // The matrix it goes through, ix, iy, jx, jy, tx, ty: the device's, or a
  // sprite's own (the identity for DrawSurfaceRect, whose rectangle is final).
  float matrix[6];
  uint32_t color;                  // the premultiplied vertex colour, red in the low byte
  gxtkSurface* surface = nullptr;  // a sprite's while its image lives, else null
  int srcx = 0, srcy = 0, srcw = 0, srch = 0;  // a sprite's source rectangle
  int blend = 0;                               // the blend in force, as given to SetBlend
};

class gxtkNullGraphics : public gxtkGraphics {
 public:
  std::vector<gxtkDrawn> drawn;
  int blend = 0;  // as last given to SetBlend

  gxtkNullGraphics();

  int Mode() override;
  gxtkSurface* LoadSurface(String path) override;
  gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path) override;
  gxtkSurface* CreateSurface(int width, int height) override;
  int Cls(float r, float g, float b) override;
  int SetBlend(int blend) override;
  int SetScissor(int x, int y, int w, int h) override;
  int DrawPoint(float x, float y) override;
  int DrawRect(float x, float y, float w, float h) override;
  int DrawLine(float x1, float y1, float x2, float y2) override;
  int DrawOval(float x, float y, float w, float h) override;
  int DrawPoly(Array<float> verts) override;
  int DrawSurface(gxtkSurface* surface, float x, float y) override;
  int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                   int srch) override;
  int DrawSurfaceRect(gxtkSurface* surface, float x, float y, float w, float h, int srcx, int srcy,
                      int srcw, int srch) override;
  int DrawSurfaceUnder(gxtkSurface* surface, const gxtkMatrix& m, int srcx, int srcy, int srcw,
                       int srch) override;
  int ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                 int pitch) override;
  int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int width, int height,
                   int offset, int pitch) override;

  // The primitives of one kind in `drawn`, in order.
  std::vector<gxtkDrawn> Drawn(gxtkDrawn::Kind kind) const;

 private:
  gxtkMatrix Matrix() const;  // the device's
  void Record(gxtkDrawn::Kind kind, float x, float y, float w, float h, const gxtkMatrix& m,
              gxtkSurface* surface = nullptr, int srcx = 0, int srcy = 0, int srcw = 0,
              int srch = 0);
};

}  // namespace vantor
