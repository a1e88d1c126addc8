#include "host/frame_stats.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "host/graphics.h"
#include "runtime/gc.h"

namespace vantor::frame_stats {
namespace {

constexpr double kMillisecondsPerSecond = 1000;
constexpr int kBytesPerKb = 1024;

// The overlay's font: 3 x 5 pixel glyphs, one string of '#' and '.' per
// character, rows top to bottom. Only what the lines use.
constexpr int kGlyphWidth = 3, kGlyphHeight = 5;
struct Glyph {
  char character;
  const char* rows;
};
constexpr Glyph kFont[] = {
    {'0', "####.##.##.####"}, {'1', ".#.##..#..#.###"}, {'2', "###..#####..###"},
    {'3', "###..####..####"}, {'4', "#.##.####..#..#"}, {'5', "####..###..####"},
    {'6', "####..####.####"}, {'7', "###..#..#..#..#"}, {'8', "####.#####.####"},
    {'9', "####.####..####"}, {'.', ".............#."}, {'A', ".#.#.#####.##.#"},
    {'B', "##.#.###.#.###."}, {'C', "####..#..#..###"}, {'D', "##.#.##.##.###."},
    {'E', "####..####..###"}, {'G', "####..#.##.####"}, {'H', "#.##.#####.##.#"},
    {'K', "#.##.###.#.##.#"}, {'L', "#..#..#..#..###"}, {'M', "#.#####.##.##.#"},
    {'N', "##.#.##.##.##.#"}, {'P', "####.#####..#.."}, {'Q', ".#.#.##.###..##"},
    {'R', "####.###.#.##.#"}, {'S', "####..###..####"}, {'T', "###.#..#..#..#."},
    {'U', "#.##.##.##.####"}, {'W', "#.##.##.#####.#"},
};
// Screen pixels per font pixel, and the spacing around the text.
constexpr int kPixel = 2;
constexpr int kAdvance = (kGlyphWidth + 1) * kPixel;
constexpr int kLineHeight = (kGlyphHeight + 2) * kPixel;
constexpr int kMargin = 4 * kPixel;
constexpr float kPanelAlpha = 0.7f;

// The running second and the last whole one.
struct Window {
  double start = 0;
  int updates = 0, renders = 0;
  double updateSeconds = 0, renderSeconds = 0;
};
Window current;
Summary last;
double lastCollectSeconds = 0;
Listener listener = nullptr;

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Where there is no CPU clock per thread (a browser page, whose one thread
// runs the game), the monotonic clock stands in.
double ThreadCpuSeconds() {
  timespec now{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

double MeanMs(double seconds, int calls) {
  return calls ? seconds * kMillisecondsPerSecond / calls : 0;
}

// Closes the running second once it is over.
void Roll() {
  const double now = WallSeconds();
  if (current.start == 0) current.start = now;
  if (now - current.start < 1) return;
  last.updates = current.updates;
  last.renders = current.renders;
  last.updateMs = MeanMs(current.updateSeconds, current.updates);
  last.renderMs = MeanMs(current.renderSeconds, current.renders);
  current = Window{now};
}

const char* GlyphRows(char character) {
  for (const Glyph& glyph : kFont) {
    if (glyph.character == character) return glyph.rows;
  }
  return nullptr;  // a space, or a character the font lacks
}

// The overlay's triangles: two per rectangle, each corner with its colour.
struct OverlayVertex {
  float x, y;
  unsigned char r, g, b, a;
};
constexpr unsigned char kOpaque = 255;
constexpr unsigned char kPanelShade = static_cast<unsigned char>(kPanelAlpha * kOpaque);

void Rectangle(std::vector<OverlayVertex>& out, float x, float y, float width, float height,
               unsigned char grey, unsigned char alpha) {
  const float corners[6][2] = {{x, y}, {x + width, y},          {x + width, y + height},
                               {x, y}, {x + width, y + height}, {x, y + height}};
  for (const auto& corner : corners) out.push_back({corner[0], corner[1], grey, grey, grey, alpha});
}

void Text(std::vector<OverlayVertex>& out, const std::string& text, int x, int y) {
  for (const char character : text) {
    if (const char* rows = GlyphRows(character)) {
      for (int i = 0; rows[i]; ++i) {
        const int column = i % kGlyphWidth, row = i / kGlyphWidth;
        if (rows[i] == '#')
          Rectangle(out, x + column * kPixel, y + row * kPixel, kPixel, kPixel, kOpaque, kOpaque);
      }
    }
    x += kAdvance;
  }
}

}  // namespace

Timer::Timer(Span span) : span_(span), start_(ThreadCpuSeconds()) {}

Timer::~Timer() {
  const double spent = ThreadCpuSeconds() - start_;
  Roll();
  switch (span_) {
    case Span::kUpdate:
      ++current.updates;
      current.updateSeconds += spent;
      break;
    case Span::kRender:
      ++current.renders;
      current.renderSeconds += spent;
      break;
    case Span::kCollect:
      lastCollectSeconds = spent;
      break;
  }
  if (listener) listener(span_, spent);
}

void Listen(Listener newListener) { listener = newListener; }

void FrameShown(int drawCalls, int quads) {
  last.drawCalls = drawCalls;
  last.quads = quads;
  last.collectMs = lastCollectSeconds * kMillisecondsPerSecond;
  last.heapKb = gc_alloced_bytes / kBytesPerKb;
}

Summary Last() { return last; }

std::vector<std::string> Lines(const Summary& s) {
  // Four lines, each far shorter than 64 characters at any figure.
  char lines[4][64];
  std::snprintf(lines[0], sizeof lines[0], "UPS %d  RPS %d", s.updates, s.renders);
  std::snprintf(lines[1], sizeof lines[1], "UPDATE %.2f MS  RENDER %.2f MS", s.updateMs,
                s.renderMs);
  std::snprintf(lines[2], sizeof lines[2], "DRAW CALLS %d  QUADS %d", s.drawCalls, s.quads);
  std::snprintf(lines[3], sizeof lines[3], "HEAP %d KB  GC STEP %.3f MS", s.heapKb, s.collectMs);
  return {std::begin(lines), std::end(lines)};
}

void DrawOverlay(const std::vector<std::string>& lines, int width, int height) {
  size_t longest = 0;
  for (const std::string& line : lines) longest = std::max(longest, line.size());
  // Triangles from a client array, as the graphics device draws: the
  // browser's emulation of the fixed pipeline has no working glBegin.
  std::vector<OverlayVertex> vertices;
  const int lineCount = static_cast<int>(lines.size());
  Rectangle(vertices, 0, 0, 2 * kMargin + static_cast<int>(longest) * kAdvance,
            2 * kMargin + lineCount * kLineHeight, 0, kPanelShade);
  for (int i = 0; i < lineCount; ++i) Text(vertices, lines[i], kMargin, kMargin + i * kLineHeight);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_TEXTURE_2D);
  SetPixelView(0, 0, width, height);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  constexpr int stride = sizeof(OverlayVertex);
  glVertexPointer(2, GL_FLOAT, stride, &vertices[0].x);
  glColorPointer(4, GL_UNSIGNED_BYTE, stride, &vertices[0].r);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
  // The graphics device sets its own arrays at its next frame.
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace vantor::frame_stats
