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
// an empty stack, matrix arrays shorter than six values.
//
// The game calls these from its render callback (drawing) and from its
// update callback (loading images, which needs no frame); the app bridge
// publishes the host's device in `device` before the game's OnCreate. Main
// thread only. Every function that returns int returns 0.
#pragma once

#include "host/graphics.h"
#include "runtime/array.h"
#include "runtime/gc.h"
#include "runtime/text.h"

namespace vantor {

inline constexpr int kMatrixStackLevels = 32;
inline constexpr int kMatrixFloats = 6;

class Image;

// One cell of an image: its top left corner on the surface.
class Frame : public Object {
 public:
  int x;
  int y;
  Frame(int fx, int fy) : x(fx), y(fy) {}
};

// A run of equal cells (frames) cut from a host surface, drawn with its
// handle at the given point.
class Image : public Object {
 public:
  // Image flags.
  static constexpr int CentreHandle = 1;     // the handle at the centre, else top left
  static constexpr int PadX = 2;             // each cell has a 1-pixel border left and right
  static constexpr int PadY = 4;             // each cell has a 1-pixel border top and bottom
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
  virtual int SetHandle(float hx, float hy);  // the drawn point, from the cell's corner
  virtual int ApplyFlags(int newFlags);       // pads and centres as the flags say
  // frameCount cells side by side across the whole surface.
  virtual Image* Init(gxtkSurface* surf, int frameCount, int newFlags);
  // frameCount w x h cells of src from (x, y), row by row; a cell past src is a runtime error.
  virtual Image* Grab(int x, int y, int w, int h, int frameCount, int newFlags, Image* src);
  // A new image grabbed from this one; null unless this one has one frame.
  virtual Image* GrabImage(int x, int y, int w, int h, int frameCount, int newFlags);
  int Frames() const { return frames.Length(); }
};

// The drawing state of the frame being rendered (one, in `graphics::context`).
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
  virtual int Validate();  // sends the matrix to the device if it changed
};

namespace graphics {

extern gc_ref<gxtkGraphics> device;        // the host's device; set by the app bridge
extern gc_ref<gxtkGraphics> renderDevice;  // the device while a frame renders, else null
extern gc_ref<GraphicsContext> context;    // the drawing state

// Set-up and the frame.
void ModuleInit();                         // start-up: globals, a new context, collector roots
int SetGraphicsDevice(gxtkGraphics* dev);  // the app bridge publishes the host's device
int DeviceWidth();                         // the drawing area's width in pixels
int DeviceHeight();                        // the drawing area's height in pixels
int BeginRenderStep();  // starts a frame: identity matrix, white, opaque, alpha blend, no scissor
int BeginRender();      // BeginRenderStep when the device can draw (its Mode() is non-zero)
int EndRender();        // ends the frame: nothing is drawn until the next BeginRender

// Images: a data file's picture cut into frames; null when it cannot be
// loaded (the host says why on standard error) or frameCount is below 1.
Image* LoadImage(String path, int frameCount, int flags);  // frameCount cells side by side
// frameCount frameWidth x frameHeight cells, row by row from the top left.
Image* LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags);

// State: kept in the context, and sent to the device when a frame renders.
int SetColor(float r, float g, float b);             // 0 to 255 each; tints images, fills shapes
int SetAlpha(float a);                               // 0 transparent to 1 opaque
int SetBlend(int blend);                             // 0 alpha blending, 1 additive
int SetScissor(float x, float y, float w, float h);  // draws only inside this rectangle
int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);  // replaces it
int SetMatrix2(Array<float> m);  // SetMatrix from six values; kept for the framework's API
int Transform(float ix, float iy, float jx, float jy, float tx, float ty);  // applied first
int Transform2(Array<float> m);           // Transform from six values; kept for the framework's API
int Translate(float x, float y);          // moves what is drawn next by (x, y)
int Scale(float x, float y);              // scales what is drawn next about the origin
int Rotate(float angle);                  // degrees, counter-clockwise on the screen
int PushMatrix();                         // saves the matrix (up to 32 levels)
int PopMatrix();                          // restores the last saved matrix
int SetFont(Image* font, int firstChar);  // frames from firstChar on; null: the default font
// The default font's first frame is the space, the first printable character.
inline constexpr int kDefaultFontFirstChar = 32;

// Drawing: in the current matrix, colour, alpha and blend; nothing outside
// a rendered frame.
int DrawRect(float x, float y, float w, float h);                 // filled, top left at (x, y)
int DrawLine(float x1, float y1, float x2, float y2);             // one pixel wide
int DrawEllipse(float x, float y, float xRadius, float yRadius);  // filled, centred at (x, y)
int DrawImage(Image* image, float x, float y, int frame);         // the frame's handle at (x, y)
// Scaled about the handle, rotated about it (degrees), then the handle at (x, y).
int DrawImage2(Image* image, float x, float y, float rotation, float scaleX, float scaleY,
               int frame);

}  // namespace graphics
}  // namespace vantor
