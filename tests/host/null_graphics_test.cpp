// The drawing device without OpenGL: what it records is what the real
// device draws, and it loads and refuses image files as the real one does.
// Runs without a display.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/null_graphics.h"
#include "tools/testing/graphics_fixtures.h"

namespace vantor::testing {
namespace {

struct Point {
  float x, y;
};

// Where the record puts the corners of its rectangle (or the ends of its
// line), in the order the real device writes its vertices.
std::vector<Point> Corners(const gxtkDrawn& d) {
  const float* m = d.matrix;
  const auto place = [m](float x, float y) {
    return Point{x * m[0] + y * m[2] + m[4], x * m[1] + y * m[3] + m[5]};
  };
  const float right = d.x + d.width, bottom = d.y + d.height;
  switch (d.kind) {
    case gxtkDrawn::kPoint:
      return {place(d.x, d.y)};
    case gxtkDrawn::kLine:
      return {place(d.x, d.y), place(right, bottom)};
    default:
      return {place(d.x, d.y), place(right, d.y), place(right, bottom), place(d.x, bottom)};
  }
}

// Each case is drawn alone on a fresh real device, whose first primitive
// starts a batch without drawing anything (so no OpenGL context is needed),
// and on the null device, under a turned and scaled matrix and a colour at
// half alpha.
TEST(NullGraphics, RecordsEachPrimitiveWhereTheRealDeviceDrawsIt) {
  auto* surface = gc_new<gxtkSurface>();
  surface->SetData(nullptr, 40, 30, 4);
  const gxtkMatrix own = {0, 2, -3, 0, 50, 60};
  const struct {
    const char* name;
    std::function<void(gxtkGraphics&)> draw;
    int vertices;
  } cases[] = {
      {"point", [](gxtkGraphics& d) { d.DrawPoint(3, 4); }, 1},
      {"line", [](gxtkGraphics& d) { d.DrawLine(3, 4, 10, -2); }, 2},
      {"rectangle", [](gxtkGraphics& d) { d.DrawRect(3, 4, 20, 10); }, 4},
      {"whole surface", [=](gxtkGraphics& d) { d.DrawSurface(surface, 3, 4); }, 4},
      {"frame of a surface", [=](gxtkGraphics& d) { d.DrawSurface2(surface, 3, 4, 8, 6, 16, 12); },
       4},
      {"upright sprite",
       [=](gxtkGraphics& d) { d.DrawSurfaceRect(surface, 3, 4, 32, 24, 8, 6, 16, 12); }, 4},
      {"sprite under its own matrix",
       [=](gxtkGraphics& d) { d.DrawSurfaceUnder(surface, own, 8, 6, 16, 12); }, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* real = gc_new<gxtkGraphics>();
    auto* null = gc_new<gxtkNullGraphics>();
    for (gxtkGraphics* device : {real, static_cast<gxtkGraphics*>(null)}) {
      device->SetMatrix(0.5f, 1, -1, 0.5f, 100, 200);
      device->SetColor(255, 128, 0);
      device->SetAlpha(0.5f);
      c.draw(*device);
    }
    ASSERT_EQ(null->drawn.size(), 1u);
    const std::vector<Point> corners = Corners(null->drawn[0]);
    ASSERT_EQ(corners.size(), static_cast<size_t>(c.vertices));
    for (int v = 0; v < c.vertices; ++v) {
      EXPECT_NEAR(corners[v].x, real->vertices[v].x, 1e-3) << "vertex " << v;
      EXPECT_NEAR(corners[v].y, real->vertices[v].y, 1e-3) << "vertex " << v;
      uint32_t colour = 0;
      std::memcpy(&colour, &real->vertices[v].r, sizeof colour);
      EXPECT_EQ(null->drawn[0].color, colour) << "vertex " << v;
    }
    const bool sprite = c.vertices == 4 && null->drawn[0].kind == gxtkDrawn::kSprite;
    EXPECT_EQ(null->drawn[0].surface, sprite ? surface : nullptr);
  }
}

// Ellipses and polygons keep their rectangle and their matrix; a polygon
// of fewer than three points draws nothing, as on the real device. The
// blend in force goes with each primitive, and clearing the screen forgets
// what was drawn.
TEST(NullGraphics, RecordsShapesWithTheirBlendAndForgetsThemWhenCleared) {
  auto* device = gc_new<gxtkNullGraphics>();
  device->SetBlend(1);
  device->DrawOval(10, 20, 30, 40);
  Array<float> two(4), three(6);
  const float points[] = {5, 9, -3, 2, 7, 4};
  std::memcpy(three.Data(), points, sizeof points);
  device->DrawPoly(two);
  device->SetBlend(0);
  device->DrawPoly(three);
  ASSERT_EQ(device->drawn.size(), 2u)
      << "the oval and the polygon of three points; two points draw nothing";
  const gxtkDrawn& oval = device->drawn[0];
  const gxtkDrawn& poly = device->drawn[1];
  EXPECT_TRUE(oval.kind == gxtkDrawn::kOval && oval.x == 10 && oval.y == 20 && oval.width == 30 &&
              oval.height == 40 && oval.blend == 1);
  EXPECT_TRUE(poly.kind == gxtkDrawn::kPoly && poly.x == -3 && poly.y == 2 && poly.width == 10 &&
              poly.height == 7 && poly.blend == 0)
      << "the box around the points";
  EXPECT_EQ(device->Drawn(gxtkDrawn::kPoly).size(), 1u);
  device->Cls(0, 0, 0);
  EXPECT_TRUE(device->drawn.empty());
}

// A surface takes its size from the file; a missing file, or one whose
// header is not an image, loads nothing and says so on standard error.
// Created surfaces have the size asked for. The graphics module is told
// that frames are drawn, though the host's frame bracket has nothing to do.
TEST(NullGraphics, LoadsImagesByTheirHeaderAndRefusesWhatIsNoImage) {
  ScratchDataDir dir;
  WriteRgbaPng(dir.DataFile("sheet.png"), 100, 40, [](int, int) { return 0xFF808080u; });
  WriteFile("data/text.png", "not an image");
  auto* device = gc_new<gxtkNullGraphics>();
  EXPECT_TRUE(device->Mode() != 0 && device->mode == 0);
  const gxtkSurface* sheet = device->LoadSurface(T("vantor://data/sheet.png"));
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(sheet->width == 100 && sheet->height == 40 && sheet->depth == 4 && !sheet->data &&
              !sheet->texture);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(device->LoadSurface(T("vantor://data/missing.png")), nullptr);
  EXPECT_EQ(device->LoadSurface(T("vantor://data/text.png")), nullptr);
  const std::string said = ::testing::internal::GetCapturedStderr();
  for (const char* name : {"missing.png", "text.png"})
    EXPECT_NE(said.find(std::string("cannot load ./data/") + name), std::string::npos) << said;
  const gxtkSurface* created = device->CreateSurface(16, 8);
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->width == 16 && created->height == 8 && !created->texture);
}

}  // namespace
}  // namespace vantor::testing
