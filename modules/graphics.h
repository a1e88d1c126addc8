// The graphics module: the drawing interface game code sees.
//
// Keeps the frame's drawing state in one `GraphicsContext` (matrix and a
// 32-level matrix stack, colour, alpha, blend, scissor, font), turns image
// files into `Image`s made of frames cut from a host surface, and forwards
// every drawing call to the host graphics device. Matrix changes reach the
// device lazily, when something is drawn; colour, alpha, blend and scissor go
// at once. Drawing is meant to happen between BeginRender and EndRender; the
// app bridge brackets the game's render callback with them. Calls that could
// only corrupt memory are ignored instead: drawing outside a rendered frame,
// a frame index outside the image, pushing beyond 32 saved matrices, popping
// an empty stack, matrix arrays shorter than six values. Main thread only.
#pragma once

#include "host/graphics.h"
#include "runtime/array.h"
#include "runtime/gc.h"
#include "runtime/text.h"

namespace vantor {

inline constexpr int kMatrixStackLevels = 32;
inline constexpr int kMatrixFloats = 6;

class Image;

class Frame : public Object {
 public:
  int x;
  int y;
  Frame(int fx, int fy) : x(fx), y(fy) {}
};

class Image : public Object {
 public:
  // Image flags.
  static constexpr int CentreHandle = 1;    // the handle at the centre, else top left
  static constexpr int PadX = 2;            // each cell has a 1-pixel border left and right
  static constexpr int PadY = 4;            // each cell has a 1-pixel border top and bottom
  static constexpr int FullSurface = 65536;  // set when one frame covers the whole surface

  gc_ref<gxtkSurface> surface;
  int width = 0;
  int height = 0;
  Array<gc_ref<Frame>> frames;
  int flags = 0;
  float handleX = 0;
  float handleY = 0;
  gc_ref<Image> source;

  void mark() override;
  virtual int SetHandle(float hx, float hy);
  virtual int ApplyFlags(int newFlags);
  virtual Image* Init(gxtkSurface* surf, int frameCount, int newFlags);
  virtual Image* Grab(int x, int y, int w, int h, int frameCount, int newFlags, Image* src);
  virtual Image* GrabImage(int x, int y, int w, int h, int frameCount, int newFlags);
  int Frames() const { return frames.Length(); }
};

class GraphicsContext : public Object {
 public:
  gc_ref<Image> defaultFont;
  gc_ref<Image> font;
  int fontFirstChar = 0;
  int matrixDepth = 0;
  float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
  int transformed = 0;
  int matrixDirty = 0;
  float red = 0, green = 0, blue = 0;
  float alpha = 0;
  int blend = 0;
  float scissorX = 0, scissorY = 0, scissorWidth = 0, scissorHeight = 0;
  Array<float> matrixStack;

  GraphicsContext();
  void mark() override;
  virtual int Validate();
};

namespace graphics {

extern gc_ref<gxtkGraphics> device;
extern gc_ref<gxtkGraphics> renderDevice;
extern gc_ref<GraphicsContext> context;

void ModuleInit();  // globals, a new context, collector roots
int SetGraphicsDevice(gxtkGraphics* dev);
int DeviceWidth();
int DeviceHeight();
// The begin-render step (without the mode test) and its counterpart.
int BeginRenderStep();
int BeginRender();  // the same step, only when the device's mode is non-zero
int EndRender();

Image* LoadImage(String path, int frameCount, int flags);
Image* LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags);

int SetColor(float r, float g, float b);
int SetAlpha(float a);
int SetBlend(int blend);
int SetScissor(float x, float y, float w, float h);
int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int SetMatrix2(Array<float> m);
int Transform(float ix, float iy, float jx, float jy, float tx, float ty);
int Transform2(Array<float> m);
int Translate(float x, float y);
int Scale(float x, float y);
int Rotate(float angle);
int PushMatrix();
int PopMatrix();
int SetFont(Image* font, int firstChar);

int DrawRect(float x, float y, float w, float h);
int DrawLine(float x1, float y1, float x2, float y2);
int DrawEllipse(float x, float y, float xRadius, float yRadius);
int DrawImage(Image* image, float x, float y, int frame);
int DrawImage2(Image* image, float x, float y, float rotation, float scaleX, float scaleY,
               int frame);

}  // namespace graphics
}  // namespace vantor
