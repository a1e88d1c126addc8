#include "tests/e2e/game_process.h"

#include <cstdlib>

namespace vantor::e2e {
namespace {

// The loader and the menu's flight take about a second; the rest is slack
// for a busy machine.
constexpr auto kMenuPatience = 20s;
const std::string kMenuReference = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/reference/menu.png";
// A click as a person makes it, held over several updates (1/60 s each).
constexpr const char* kPressSeconds = "0.15";

// The game unloads the graphics driver when it terminates GLFW, so in
// sanitizer builds the driver's known leak (tests/lsan.supp) can no longer
// be told apart at exit, and the slow unwinder that could tell it deadlocks
// in the driver's code generator. Leak checking is left to the replay runs
// of the same game, which keep the driver loaded; addresses and undefined
// behaviour are still checked here.
std::vector<std::string> WithoutLeakCheck(std::vector<std::string> environment) {
  if (const char* asan = std::getenv("ASAN_OPTIONS")) {
    environment.push_back(std::string("ASAN_OPTIONS=") + asan + ":detect_leaks=0");
  }
  return environment;
}

std::vector<std::string> Command(const std::string& program,
                                 const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {program};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

}  // namespace

GameProcess::GameProcess(const WorkDir& work, const std::vector<std::string>& environment)
    : GameProcess(work, {}, environment) {}

GameProcess::GameProcess(const WorkDir& work, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment)
    : GameProcess(VANTOR_GAME, work.path(), arguments, environment) {}

GameProcess::GameProcess(const std::string& program, const std::string& directory,
                         const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment)
    : directory_(directory),
      child_(Command(program, arguments), directory, WithoutLeakCheck(environment)) {
  if (!child_.started()) return;
  window_ = Shell("timeout 15 xdotool search --sync --onlyvisible --pid " +
                  std::to_string(child_.pid()) + " 2>/dev/null | head -n 1");
}

bool GameProcess::WaitForMenu() const {
  const std::optional<Image> reference = LoadPng(kMenuReference);
  const std::string shot = directory_ + "/waiting.png";
  return reference && WaitFor(
                          [&] {
                            const std::optional<Image> seen = Screenshot(shot);
                            return seen && LooksLike(*seen, *reference);
                          },
                          kMenuPatience);
}

// Raised first: other tests' windows may stand at the same place.
void GameProcess::Click(int x, int y) const {
  Shell("xdotool windowraise " + window_);
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
