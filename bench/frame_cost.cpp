// Frame cost: the real game driven by the replay tool's bot through a won
// run (tools/replay), timed call by call. Prints, for the loader, the menu,
// every phase of the run and the other screens: the main thread's CPU time
// of each update and each render (median, 99th percentile, maximum), the
// part of the render spent inside the graphics driver, the collector steps,
// the draw calls and quads per frame, and the collector's bytes allocated
// per update. It asserts nothing.
//
// The driver's part is the time inside the drawing calls, the clear and the
// buffer swap: this program defines those functions itself, so the host's
// calls land here and are timed around the real ones. Each timed call adds
// one clock read to the driver's figure.
//
//   ./scripts/with-display ./build/bench/bench_frame_cost [WIDTHxHEIGHT]
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <dlfcn.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "game/game_view.h"
#include "game/ids.h"
#include "host/app.h"
#include "host/frame_stats.h"
#include "host/graphics.h"
#include "modules/app.h"
#include "runtime/gc.h"
#include "tools/replay/autoplay.h"
#include "tools/replay/work_directory.h"

namespace {

namespace fs = std::filesystem;
using vantor::frame_stats::Span;

constexpr double kMillisPerSecond = 1000;
constexpr double kNanosPerSecond = 1e9;
constexpr double kPercentile = 0.99;
constexpr int kMaxUpdates = 20000;  // the bot gives up after as many as the tool's default
constexpr size_t kBytesPerKb = 1024;

// A figure of /proc/self/status, in kilobytes ("VmRSS", "VmHWM").
long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string word;
  long kilobytes = 0;
  while (status >> word) {
    if (word == field + ":") return status >> kilobytes ? kilobytes : 0;
  }
  return 0;
}

// CLOCK_THREAD_CPUTIME_ID: the main thread's; CLOCK_PROCESS_CPUTIME_ID: all
// threads', the driver's too.
double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / kNanosPerSecond;
}

// CPU time spent inside the driver since the last render began.
double driverSeconds = 0;

// Times a call into the driver.
template <class Call>
void InDriver(Call call) {
  const double start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  call();
  driverSeconds += CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
}

template <class Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// What one screen (a phase, the menu...) cost, one entry per call.
struct Screen {
  std::vector<double> updateMs, renderMs, driverMs, collectMs;
  std::vector<int> drawCalls, quads;
  std::vector<int> allocatedBytes;  // per update
  long residentKb = 0;              // the highest seen after an update
  long mallocKb = 0;                // malloc's bytes in use then
};

// Start-up milestones: the first frame and the first frame of the menu, in
// seconds of wall time since main began and of the process's CPU time.
struct Milestone {
  double wall = -1, cpu = -1;
};
Milestone firstFrame, firstMenuFrame;
double startWall = 0;

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Reach(Milestone& milestone) {
  if (milestone.wall >= 0) return;
  milestone.wall = WallSeconds() - startWall;
  milestone.cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

std::map<std::string, Screen> screens;
std::vector<std::string> order;  // screens in the order first seen
Screen* current = nullptr;
std::string currentName;
int heapAfterLastCollect = 0;

std::string ScreenName(const vantor::GameView& game) {
  if (game.loadStep() > 0) return "loader";
  if (game.gameMode() == vantor::kModeRun) return "phase " + std::to_string(game.phase());
  if (game.gameMode() == vantor::kModeMenu) return "menu";
  if (game.gameMode() == vantor::kModeStartRun) return "start run";
  if (game.gameMode() == vantor::kModeEnterScore) return "enter score";
  return "mode " + std::to_string(game.gameMode());
}

void Enter(const std::string& name) {
  if (!screens.count(name)) order.push_back(name);
  current = &screens[name];
  currentName = name;
}

// Every timed call of the host loop, as it ends. An update's screen is the
// one it leaves behind; its render and collector steps count there too.
void OnTimed(Span span, double seconds) {
  const double ms = seconds * kMillisPerSecond;
  if (span == Span::kCollect) {
    if (current) current->collectMs.push_back(ms);
    heapAfterLastCollect = vantor::gc_alloced_bytes;
    return;
  }
  vantor::gxtkApp& host = *vantor::host::app;
  if (span == Span::kUpdate) {
    Enter(ScreenName(vantor::GameView::Running()));
    // Only a sweep, inside a collector step, lowers the count.
    current->updateMs.push_back(ms);
    current->allocatedBytes.push_back(vantor::gc_alloced_bytes - heapAfterLastCollect);
    const long resident = StatusKb("VmRSS");
    if (resident > current->residentKb) {
      current->residentKb = resident;
      current->mallocKb = static_cast<long>(mallinfo2().uordblks / kBytesPerKb);
    }
    return;
  }
  if (!current) Enter("first frame");
  Reach(firstFrame);
  if (currentName == "menu") Reach(firstMenuFrame);
  current->renderMs.push_back(ms);
  current->driverMs.push_back(driverSeconds * kMillisPerSecond);
  current->drawCalls.push_back(host.graphics->drawCalls);
  current->quads.push_back(host.graphics->quadsDrawn);
  driverSeconds = 0;
}

template <class T>
T Quantile(std::vector<T> values, double q) {
  if (values.empty()) return T{};
  const size_t at = std::min(values.size() - 1, static_cast<size_t>(q * values.size()));
  std::nth_element(values.begin(), values.begin() + static_cast<long>(at), values.end());
  return values[at];
}

template <class T>
T Maximum(const std::vector<T>& values) {
  return values.empty() ? T{} : *std::max_element(values.begin(), values.end());
}

std::vector<double> Difference(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> result(a.size());
  for (size_t i = 0; i < a.size(); ++i) result[i] = a[i] - b[i];
  return result;
}

void PrintTimes(const char* label, const std::vector<double>& ms) {
  std::printf("  %s %.3f/%.3f/%.3f", label, Quantile(ms, 0.5), Quantile(ms, kPercentile),
              Maximum(ms));
}

void PrintScreen(const std::string& name, const Screen& s) {
  long allocated = 0;
  int allocating = 0;
  for (const int bytes : s.allocatedBytes) {
    allocated += bytes;
    allocating += bytes > 0;
  }
  std::printf("%-11s updates %5zu", name.c_str(), s.updateMs.size());
  PrintTimes("update", s.updateMs);
  PrintTimes("render_own", Difference(s.renderMs, s.driverMs));
  PrintTimes("driver", s.driverMs);
  PrintTimes("collect", s.collectMs);
  std::printf(
      "  draws %d/%d  quads %d/%d  gc_bytes_per_update %.1f  allocating_updates %d"
      "  rss_kb %ld  malloc_kb %ld\n",
      Quantile(s.drawCalls, 0.5), Maximum(s.drawCalls), Quantile(s.quads, 0.5), Maximum(s.quads),
      s.updateMs.empty() ? 0.0 : double(allocated) / s.updateMs.size(), allocating, s.residentKb,
      s.mallocKb);
}

}  // namespace

// The host's calls into the driver, timed around the real ones.
extern "C" {
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
  static const auto real = Real<decltype(&glDrawElements)>("glDrawElements");
  InDriver([&] { real(mode, count, type, indices); });
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  static const auto real = Real<decltype(&glDrawArrays)>("glDrawArrays");
  InDriver([&] { real(mode, first, count); });
}
void glClear(GLbitfield mask) {
  static const auto real = Real<decltype(&glClear)>("glClear");
  InDriver([&] { real(mask); });
}
void glfwSwapBuffers(GLFWwindow* window) {
  static const auto real = Real<decltype(&glfwSwapBuffers)>("glfwSwapBuffers");
  InDriver([&] { real(window); });
}
}

int main(int argc, char** argv) {
  startWall = WallSeconds();
  vantor::replay::SessionOptions options;
  if (argc > 1 && std::sscanf(argv[1], "%dx%d", &options.width, &options.height) != 2) {
    std::fprintf(stderr, "usage: bench_frame_cost [WIDTHxHEIGHT]\n");
    return 2;
  }
  std::string pattern = (fs::temp_directory_path() / "vantor-frame-cost-XXXXXX").string();
  const fs::path dir = mkdtemp(pattern.data());
  options.outDir = (dir / "out").string();
  options.maxUpdates = kMaxUpdates;
  if (!vantor::replay::EnterWorkDirectory((dir / "work").string())) return 1;

  vantor::frame_stats::Listen(OnTimed);
  vantor::replay::Autoplay bot(vantor::replay::Goal::kWin);
  vantor::replay::Session session(options, {}, &bot);
  const bool ran = session.Run();
  vantor::frame_stats::Listen(nullptr);
  fs::remove_all(dir);

  std::printf("frame cost at %dx%d, %s; ms of CPU time median/p99/max per call\n", options.width,
              options.height, bot.Report(session.updatesRun()).c_str());
  for (const std::string& name : order) PrintScreen(name, screens[name]);
  std::printf("start-up: first frame %.3f s (CPU %.3f s), first menu frame %.3f s (CPU %.3f s)\n",
              firstFrame.wall, firstFrame.cpu, firstMenuFrame.wall, firstMenuFrame.cpu);
  std::printf("peak resident %ld KB\n", StatusKb("VmHWM"));
  return ran && bot.Succeeded() ? 0 : 1;
}
