#include "tests/e2e/game_process.h"

#include <thread>

namespace vantor::e2e {
namespace {

// The loader takes 34 updates and the menu 32 more to fly in: about 1.1 s
// at 60 updates a second; the rest is slack for a busy machine.
constexpr auto kMenuReady = 2500ms;
// A press must last over at least one update (1/60 s) to be seen as down.
constexpr const char* kPressSeconds = "0.15";

}  // namespace

GameProcess::GameProcess(const WorkDir& work, const std::vector<std::string>& environment)
    : child_({VANTOR_GAME}, work.path(), environment) {
  if (!child_.started()) return;
  window_ = Shell("timeout 15 xdotool search --sync --onlyvisible --pid " +
                  std::to_string(child_.pid()) + " 2>/dev/null | head -n 1");
}

void GameProcess::WaitForMenu() const { std::this_thread::sleep_for(kMenuReady); }

void GameProcess::Click(int x, int y) const {
  Shell("xdotool mousemove --window " + window_ + " " + std::to_string(x) + " " +
        std::to_string(y) + " mousedown 1 sleep " + kPressSeconds + " mouseup 1");
}

std::optional<Image> GameProcess::Screenshot(const std::string& path) const {
  Shell("import -window " + window_ + " " + path + " 2>/dev/null");
  return LoadPng(path);
}

void GameProcess::Iconify() const { Shell("xdotool windowminimize " + window_); }

void GameProcess::Close() const { Shell("wmctrl -i -c " + window_); }

}  // namespace vantor::e2e
