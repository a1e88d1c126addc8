// The game's drawing: the drawing state, the draw list the screens record
// into during an update, the bitmap-font text writer, image and font loading
// in the art variant that suits the window, and the replay of the list into
// the graphics module at every render, scaled from the virtual screen.
#include <cmath>

#include "game/myapp.h"
#include "modules/graphics.h"

namespace vantor {
namespace {

// The last start a new record may have. It is one float short of the last
// start that fits, so the list holds 2499 records where its 37500 floats
// would hold 2500: the list has always dropped the 2500th, and keeps doing so.
constexpr int kLastRecordStart = kDrawListFloats - kRecordFloats - 1;

// Where the fields lie in a record (game/draw_record.h).
constexpr int kKind = DrawRecord::kKind;
constexpr int kX = DrawRecord::kX;
constexpr int kY = DrawRecord::kY;
constexpr int kRotation = DrawRecord::kRotation;
constexpr int kWidth = DrawRecord::kWidth;
constexpr int kHeight = DrawRecord::kHeight;
constexpr int kFrame = DrawRecord::kFrame;
constexpr int kAlpha = DrawRecord::kAlpha;
constexpr int kRed = DrawRecord::kRed;
constexpr int kGreen = DrawRecord::kGreen;
constexpr int kBlue = DrawRecord::kBlue;

// Font sheets: 128 glyph cells of 16 by 16 virtual units for the character
// codes from 32 on.
constexpr int kFontCellSize = 16;
constexpr int kFontGlyphs = 128;
constexpr int kFirstGlyphCode = 32;
constexpr int kLastDrawnCode = 159;
constexpr int kBackslash = '\\';

bool Given(float value) { return value > kNotGiven; }

}  // namespace

int MyApp::m_ResetDraw() {
  drawSizeX = 1;
  drawSizeY = 1;
  drawRotation = 0;
  drawRed = 255;
  drawGreen = 255;
  drawBlue = 255;
  drawAlpha = 1;
  return 0;
}

int MyApp::m_SetSize(float sx, float sy) {
  drawSizeX = sx;
  drawSizeY = Given(sy) ? sy : sx;
  return 0;
}

int MyApp::m_SetRot(float angle) {
  drawRotation = -angle;
  return 0;
}

int MyApp::m_SetCol(float r, float g, float b, float a) {
  drawRed = r;
  drawGreen = g;
  drawBlue = b;
  if (Given(a)) drawAlpha = a;
  return 0;
}

void MyApp::SetColour(Colour colour, float alpha) {
  m_SetCol(colour.red, colour.green, colour.blue, alpha);
}

int MyApp::m_Alpha(float a) {
  drawAlpha = a;
  return 0;
}

int MyApp::m_CLS2D(float r, float g, float b, float a) {
  if (Given(r)) {
    clearRed = r;
    clearGreen = g;
    clearBlue = b;
    clearAlpha = a;
  }
  m_ResetDraw();
  drawListLength = 0;
  return 0;
}

// The next record with the drawing state filled in, or null when the list is
// full (the record is then dropped).
float* MyApp::NewRecord(float kind) {
  if (drawListLength > kLastRecordStart) return nullptr;
  float* record = drawList.Data() + drawListLength;
  drawListLength += kRecordFloats;
  record[kKind] = kind;
  record[kRotation] = drawRotation;
  record[kAlpha] = drawAlpha;
  record[kRed] = drawRed;
  record[kGreen] = drawGreen;
  record[kBlue] = drawBlue;
  return record;
}

int MyApp::m_DrawImg(int slot, float x, float y, int frame) {
  float* record = NewRecord(static_cast<float>(slot));
  if (!record) return 0;
  record[kX] = x;
  record[kY] = y;
  record[kWidth] = drawSizeX;
  record[kHeight] = drawSizeY;
  record[kFrame] = static_cast<float>(frame);
  return 0;
}

// A rectangle or an ellipse: its box, or centre and radii, in the record.
int MyApp::AppendShape(float kind, float x, float y, float w, float h) {
  float* record = NewRecord(kind);
  if (!record) return 0;
  record[kX] = x;
  record[kY] = y;
  record[kWidth] = w;
  record[kHeight] = h;
  record[kFrame] = 0;
  return 0;
}

int MyApp::m_Rect(float x, float y, float w, float h) {
  return AppendShape(kRecordRect, x, y, w, h);
}

int MyApp::m_Oval(float x, float y, float rx, float ry) {
  return AppendShape(kRecordOval, x, y, rx, ry);
}

// Lays the text out glyph by glyph along the rotation set by m_SetRot. The
// alignment counts every unit of the text, line breaks included.
int MyApp::m_Text(float x, float y, String text, float xAlign, float yAlign) {
  const float angle = -drawRotation * kDegreesToRadians;
  const float cosA = std::cos(angle);
  const float sinA = std::sin(angle);
  const float advance = static_cast<float>(imageFrameInfo[currentFont * 3]) * drawSizeX;
  const float lineHeight = static_cast<float>(imageFrameInfo[currentFont * 3 + 1]) * drawSizeY;
  const int length = text.Length();
  const float along = advance * static_cast<float>(length - 1) * (xAlign * 0.5f);
  const float across = lineHeight * (yAlign - 1) * 0.5f;
  const float startX = x - cosA * along + sinA * across;
  const float startY = y - sinA * along - cosA * across;
  float penX = startX;
  float penY = startY;
  int line = 0;
  for (int i = 0; i < length;) {
    const int code = text[i];
    if (code == kBackslash && i + 1 < length && text[i + 1] == 'n') {
      ++line;
      penX = startX - sinA * lineHeight * static_cast<float>(line);
      penY = startY + cosA * lineHeight * static_cast<float>(line);
      i += 2;
      continue;
    }
    ++i;
    if (code == 0) continue;
    if (code > kFirstGlyphCode && code <= kLastDrawnCode) {
      m_DrawImg(currentFont, penX, penY, code - kFirstGlyphCode);
    }
    penX += cosA * advance;
    penY += sinA * advance;
  }
  return 0;
}

// The file of an art sheet in the variant chosen for the window.
String MyApp::ArtFileName(String name) {
  if (artScale == 2) return name + T("-hd.png");
  if (artScale == 4) return name + T("-hd2.png");
  return name + T(".png");
}

int MyApp::m_LoadImg(int slot, String name, int cellWidth, int cellHeight, int frameCount,
                     int flags) {
  const int width = cellWidth * artScale;
  const int height = cellHeight * artScale;
  images[slot] = nullptr;
  images[slot] = graphics::LoadImage2(ArtFileName(name), width, height, frameCount, flags);
  imageFrameInfo[slot * 3] = width;
  imageFrameInfo[slot * 3 + 1] = height;
  imageFrameInfo[slot * 3 + 2] = frameCount;
  return 0;
}

int MyApp::m_LoadFont(int slot, String name, int advance, int lineHeight) {
  const int cell = kFontCellSize * artScale;
  images[slot] =
      graphics::LoadImage2(ArtFileName(name), cell, cell, kFontGlyphs, Image::CentreHandle);
  imageFrameInfo[slot * 3] = advance;
  imageFrameInfo[slot * 3 + 1] = lineHeight;
  imageFrameInfo[slot * 3 + 2] = kFontGlyphs;
  currentFont = slot;
  return 0;
}

// One uniform scale from the design size to the window, chosen by the side
// that needs the larger factor; the virtual screen is the window in those
// units, so one of its sides is exactly the design's and nothing is cut off.
void MyApp::ScaleToDevice() {
  const auto width = static_cast<float>(graphics::DeviceWidth());
  const auto height = static_cast<float>(graphics::DeviceHeight());
  float sx = width / game::rawscrw;
  float sy = height / game::rawscrh;
  if (sy > sx) {
    scaleAxis = 2;
    sx = sy;
  } else {
    scaleAxis = 1;
    sy = sx;
  }
  scaleX = sx;
  scaleY = sy;
  game::jscrw = width / sx;
  game::jscrh = height / sx;
  landscape = game::jscrh > game::jscrw ? 0 : 1;
}

void MyApp::ReplayDrawList() {
  for (int start = 0; start < drawListLength - (kRecordFloats - 1); start += kRecordFloats) {
    ReplayRecord(drawList.Data() + start);
  }
  graphics::SetAlpha(0.5f);
  graphics::SetColor(255, 255, 255);
}

void MyApp::ReplayRecord(const float* floats) {
  const DrawRecord record = DrawRecord::Read(floats);
  const float sx = scaleX;
  const float sy = scaleY;
  graphics::SetAlpha(record.alpha);
  graphics::SetColor(record.red, record.green, record.blue);
  const float x = record.x * sx;
  const float y = record.y * sy;
  const float w = record.width * sx;
  const float h = record.height * sy;
  if (record.kind == kRecordRect) {
    graphics::DrawRect(x, y, w, h);
  } else if (record.kind == kRecordOval) {
    graphics::DrawEllipse(x, y, w, h);
  } else if (record.kind == kRecordLine) {
    graphics::DrawLine(x, y, w, h);
  } else if (record.kind > -1 && record.kind < kImageSlots) {
    Image* image = images[static_cast<int>(record.kind)];
    if (!image) return;
    graphics::DrawImage2(image, x, y, record.rotation, w * artScaleInverse, h * artScaleInverse,
                         static_cast<int>(record.frame));
  }
}

}  // namespace vantor
