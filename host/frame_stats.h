// Frame statistics for the F3 overlay: updates and renders in the last
// whole second, the main thread's CPU time per update and per render, the
// draw calls and quads of the last frame, the collector's heap and its last
// step. The host loop times its calls (host/app.cpp), the window platform
// reports each frame and draws the overlay (host/glfw_platform.cpp). Off
// screen unless switched on; recording costs two clock reads per call.
// Main thread only.
#pragma once

#include <string>
#include <vector>

namespace vantor::frame_stats {

enum class Span { kUpdate, kRender, kCollect };

// Adds the main thread's CPU time between construction and destruction to
// `span`.
class Timer {
 public:
  explicit Timer(Span span);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

 private:
  Span span_;
  double start_;
};

// What one whole second held.
struct Summary {
  int updates = 0, renders = 0;
  double updateMs = 0, renderMs = 0;  // mean CPU time per call
  double collectMs = 0;               // the last collector step
  int drawCalls = 0, quads = 0;       // the last frame
  int heapKb = 0;
};

// Something told of every timed call as it ends, with the call's CPU time
// (benchmarks: bench/frame_cost.cpp). Null, the default, tells no one.
using Listener = void (*)(Span span, double cpuSeconds);
void Listen(Listener listener);

// Called once per frame shown, with what the graphics device counted.
void FrameShown(int drawCalls, int quads);
// The last whole second (zeros until one has passed).
Summary Last();
// The overlay's lines for `summary`.
std::vector<std::string> Lines(const Summary& summary);

// Draws `lines` in a small pixel font on a dark panel at the top left of a
// `width` x `height` framebuffer, over whatever is there. Leaves the
// viewport and projection set for the whole framebuffer.
void DrawOverlay(const std::vector<std::string>& lines, int width, int height);

}  // namespace vantor::frame_stats
