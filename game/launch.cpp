#include "game/launch.h"

#include <GLFW/glfw3.h>
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "game/desktop_identity.h"
#include "game/startup.h"
#include "host/log.h"
#include "host/places.h"
#include "host/startup.h"

namespace vantor {
namespace {

constexpr const char* kProgram = "vantor-game";
// The loader's first image: a data directory without it cannot be the
// game's.
constexpr const char* kDataMarker = "logo.png";

std::string RecordPlace() {
  const fs::path directory = RecordDirectory([](const char* name) { return std::getenv(name); });
  return (directory.empty() ? fs::path("$XDG_DATA_HOME/vantor") : directory).string();
}

std::string HelpFooter() {
  return std::string(
             "\nKeys: F11 fullscreen on/off, F12 screenshot (to the pictures directory, else\n"
             "the working directory), F3 frame statistics on/off.\n"
             "\nData: data/ in the working directory, else data/ beside the executable or\n"
             "above its build directory, else the installed data directory.\n"
             "The saved record is .vantorstate in the working directory when that holds\n"
             "data/, else ") +
         RecordPlace() + "/.vantorstate.\n";
}

// The primary monitor's work area; none without a monitor. GLFW must be
// initialised.
std::optional<WorkArea> PrimaryWorkArea() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  if (!monitor) return std::nullopt;
  int x = 0, y = 0, width = 0, height = 0;
  glfwGetMonitorWorkarea(monitor, &x, &y, &width, &height);
  if (width < 1 || height < 1) return std::nullopt;
  return WorkArea{width, height};
}

void ReportMissingData(const Settlement& settlement) {
  LogProblem("data", std::string("no game data found; looked for ") + kDataMarker + " in:");
  for (const fs::path& place : settlement.tried) LogProblem("data", "  " + place.string());
}

// The window for the request on the primary monitor; a scale that does not
// fit is lowered, and the player told so.
WindowOptions FittedWindow(const LaunchRequest& request) {
  std::ostringstream lowered;
  const WindowOptions window = FitWindow(request, PrimaryWorkArea(), lowered);
  std::string line = lowered.str();
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty()) LogProblem("window", line);
  return window;
}

}  // namespace

LaunchRequest ParseCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
  LaunchRequest request;
  int scale = 1;
  CLI::App app("Vantor: a bank robbery in nine phases.", kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " + VANTOR_VERSION);
  app.add_flag("--fullscreen", request.window.fullscreen,
               "Start fullscreen on the primary monitor (letterboxed)");
  app.add_option("--scale", scale, "Open a window N times 640x480")
      ->check(CLI::Range(1, kMaxWindowScale))
      ->type_name("N");
  app.footer(HelpFooter());
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    request.exitStatus = 0;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << "\n";
    request.exitStatus = 0;
  } catch (const CLI::ParseError& error) {
    err << kProgram << ": " << error.what() << "\nTry '" << kProgram << " --help'.\n";
    request.exitStatus = kExitUsage;
  }
  request.scale = scale;
  request.window.width = kDefaultWindowWidth * scale;
  request.window.height = kDefaultWindowHeight * scale;
  return request;
}

WindowOptions FitWindow(const LaunchRequest& request, std::optional<WorkArea> area,
                        std::ostream& err) {
  WindowOptions window = request.window;
  if (!area) return window;
  int scale = request.scale;
  while (scale > 1 && (kDefaultWindowWidth * scale > area->width ||
                       kDefaultWindowHeight * scale > area->height)) {
    --scale;
  }
  if (scale == request.scale) return window;
  window.width = kDefaultWindowWidth * scale;
  window.height = kDefaultWindowHeight * scale;
  err << "--scale " << request.scale << " makes a " << request.window.width << "x"
      << request.window.height << " window, larger than the screen's " << area->width << "x"
      << area->height << " work area; using --scale " << scale << " (" << window.width << "x"
      << window.height << ")" << std::endl;
  return window;
}

int GameMain(int argc, char** argv) {
  LaunchRequest request = ParseCommandLine(argc, argv, std::cout, std::cerr);
  if (request.exitStatus) return *request.exitStatus;
  const Settlement settlement = SettleDataAndRecord(kDataMarker);
  if (!settlement.found) {
    ReportMissingData(settlement);
    return kExitNoData;
  }
  request.window.identity = &GameWindowIdentity();
  return RunHost(argc, argv, GameStartupHooks(),
                 [&] { return GlfwPlatform::Open(FittedWindow(request)); });
}

}  // namespace vantor
