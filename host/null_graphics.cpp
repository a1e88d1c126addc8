#include "host/null_graphics.h"

#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "host/files.h"

namespace vantor {

namespace {

constexpr gxtkMatrix kIdentity = {1, 0, 0, 1, 0, 0};

}  // namespace

gxtkNullGraphics::gxtkNullGraphics() { mode = 0; }

int gxtkNullGraphics::Mode() { return 1; }

gxtkSurface* gxtkNullGraphics::LoadSurface(String path) {
  return LoadSurface__UNSAFE__(gc_new<gxtkSurface>(), path);
}

gxtkSurface* gxtkNullGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
  std::FILE* file = OpenAsset(path);
  if (!file) return nullptr;
  int w = 0, h = 0, d = 0;
  const bool read = stbi_info_from_file(file, &w, &h, &d) != 0;
  if (!read) ReportAssetFailure(path, stbi_failure_reason());
  std::fclose(file);
  if (!read) return nullptr;
  surface->SetData(nullptr, w, h, d);
  return surface;
}

gxtkSurface* gxtkNullGraphics::CreateSurface(int w, int h) {
  constexpr int kRgba = 4;  // as the real device creates them
  auto* surface = gc_new<gxtkSurface>();
  surface->SetData(nullptr, w, h, kRgba);
  return surface;
}

// The screen is cleared: what was drawn on it is gone.
int gxtkNullGraphics::Cls(float, float, float) {
  drawn.clear();
  return 0;
}

int gxtkNullGraphics::SetBlend(int value) {
  blend = value;
  return 0;
}

int gxtkNullGraphics::SetScissor(int, int, int, int) { return 0; }

gxtkMatrix gxtkNullGraphics::Matrix() const { return {ix, iy, jx, jy, tx, ty}; }

void gxtkNullGraphics::Record(gxtkDrawn::Kind kind, float x, float y, float w, float h,
                              const gxtkMatrix& m, gxtkSurface* surface, int srcx, int srcy,
                              int srcw, int srch) {
  drawn.push_back({kind,
                   x,
                   y,
                   w,
                   h,
                   {m.ix, m.iy, m.jx, m.jy, m.tx, m.ty},
                   color,
                   surface,
                   srcx,
                   srcy,
                   srcw,
                   srch,
                   blend});
}

int gxtkNullGraphics::DrawPoint(float x, float y) {
  Record(gxtkDrawn::kPoint, x, y, 0, 0, Matrix());
  return 0;
}

int gxtkNullGraphics::DrawRect(float x, float y, float w, float h) {
  Record(gxtkDrawn::kRect, x, y, w, h, Matrix());
  return 0;
}

int gxtkNullGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  Record(gxtkDrawn::kLine, x1, y1, x2 - x1, y2 - y1, Matrix());
  return 0;
}

int gxtkNullGraphics::DrawOval(float x, float y, float w, float h) {
  Record(gxtkDrawn::kOval, x, y, w, h, Matrix());
  return 0;
}

// As on the real device, a polygon of fewer than 3 or more than
// kVertexCapacity points draws nothing.
int gxtkNullGraphics::DrawPoly(Array<float> verts) {
  const int n = verts.Length() / 2;
  if (n < 3 || n > kVertexCapacity) return 0;
  float left = verts[0], top = verts[1], right = left, bottom = top;
  for (int i = 1; i < n; ++i) {
    left = std::min(left, verts[i * 2]), right = std::max(right, verts[i * 2]);
    top = std::min(top, verts[i * 2 + 1]), bottom = std::max(bottom, verts[i * 2 + 1]);
  }
  Record(gxtkDrawn::kPoly, left, top, right - left, bottom - top, Matrix());
  return 0;
}

int gxtkNullGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
  const int w = surface->width, h = surface->height;
  Record(gxtkDrawn::kSprite, x, y, static_cast<float>(w), static_cast<float>(h), Matrix(), surface,
         0, 0, w, h);
  return 0;
}

int gxtkNullGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy,
                                   int srcw, int srch) {
  Record(gxtkDrawn::kSprite, x, y, static_cast<float>(srcw), static_cast<float>(srch), Matrix(),
         surface, srcx, srcy, srcw, srch);
  return 0;
}

int gxtkNullGraphics::DrawSurfaceRect(gxtkSurface* surface, float x, float y, float w, float h,
                                      int srcx, int srcy, int srcw, int srch) {
  Record(gxtkDrawn::kSprite, x, y, w, h, kIdentity, surface, srcx, srcy, srcw, srch);
  return 0;
}

int gxtkNullGraphics::DrawSurfaceUnder(gxtkSurface* surface, const gxtkMatrix& m, int srcx,
                                       int srcy, int srcw, int srch) {
  Record(gxtkDrawn::kSprite, 0, 0, static_cast<float>(srcw), static_cast<float>(srch), m, surface,
         srcx, srcy, srcw, srch);
  return 0;
}

int gxtkNullGraphics::ReadPixels(Array<int>, int, int, int, int, int, int) { return 0; }

int gxtkNullGraphics::WritePixels2(gxtkSurface*, Array<int>, int, int, int, int, int, int) {
  return 0;
}

std::vector<gxtkDrawn> gxtkNullGraphics::Drawn(gxtkDrawn::Kind kind) const {
  std::vector<gxtkDrawn> found;
  std::copy_if(drawn.begin(), drawn.end(), std::back_inserter(found),
               [kind](const gxtkDrawn& d) { return d.kind == kind; });
  return found;
}

}  // namespace vantor
