#include "tools/replay/session.h"

#include <GLFW/glfw3.h>
#include <stb_image_write.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "game/ids.h"
#include "game/startup.h"
#include "host/input.h"
#include "host/log.h"
#include "host/startup.h"
#include "modules/app.h"
#include "tools/replay/state_line.h"

namespace vantor::replay {
namespace {

namespace fs = std::filesystem;

constexpr double kMillisPerSecond = 1000.0;
constexpr int kRgbBytes = 3;
// How long a resize may take the window system, in real time.
constexpr auto kResizePatience = std::chrono::seconds(5);
constexpr double kResizePollSeconds = 0.02;
constexpr int kFrameNumberDigits = 6;
// The first update of a phase may still show the last one's press; the
// second shows the phase as it begins.
constexpr int kPhaseShotUpdate = 2;

std::string FrameName(int update) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%0*d", kFrameNumberDigits, update);
  return name;
}

}  // namespace

Session::Session(SessionOptions options, Script script, Player* player)
    : options_(std::move(options)), script_(std::move(script)), player_(player) {}

Session::~Session() { Stop(); }

bool Session::Run() {
  if (!Start()) return false;
  while (!Done() && ok_) {
    if (!Step()) break;
  }
  // The bot's run ends with the state it left behind.
  if (player_) WriteState();
  Stop();
  return ok_;
}

bool Session::Start() {
  std::error_code error;
  fs::create_directories(options_.outDir, error);
  stateFile_.open(fs::path(options_.outDir) / "state.jsonl", std::ios::trunc);
  if (error || !stateFile_) {
    LogProblem("files", "cannot write into " + options_.outDir);
    return false;
  }
  if (!glfwInit()) {
    LogProblem("window", "no display for the game's window");
    return false;
  }
  WindowOptions window;
  window.width = options_.width;
  window.height = options_.height;
  window.visible = options_.visible;
  GLFWwindow* handle = GlfwPlatform::OpenWindow(window);
  if (!handle) {
    LogProblem("window", "the game's window did not open");
    return false;
  }
  platform_ = std::make_unique<VirtualPlatform>(handle);
  platform_->SetTime(options_.clockMillis / kMillisPerSecond);
  SetCurrentPlatform(platform_.get());
  OpenAudioDevice();
  StartInProcess(*platform_, GameStartupHooks());
  host::app->InvokeOnCreate();
  host::app->InvokeOnRender();
  return true;
}

void Session::Stop() {
  if (!platform_) return;
  // Textures belong to the window's context, so the world goes first.
  StopInProcess();
  CloseAudioDevice();
  platform_.reset();
  // GLFW is left initialised: the process ends right after, and terminating
  // would unload the graphics driver, whose one-time allocations the leak
  // checker of sanitizer builds then could no longer tell apart from ours
  // (tests/lsan.supp names them by the driver's library).
}

bool Session::Done() const {
  if (player_) return player_->Finished() || update_ >= options_.maxUpdates;
  const int last = options_.maxUpdates ? options_.maxUpdates : LastUpdate(script_);
  return update_ >= last;
}

// One update then one render at the next tick of the virtual clock.
bool Session::Step() {
  const int update = update_ + 1;
  platform_->SetTime((options_.clockMillis + update * kMillisPerSecond / kUpdateRate) /
                     kMillisPerSecond);
  if (!ApplyCommands()) return false;
  if (player_) player_->BeforeUpdate(*this, update);
  host::app->InvokeOnUpdate();
  update_ = update;
  QueueAutomaticShots(update);
  if (!pendingShots_.empty()) platform_->RequestCapture();
  host::app->InvokeOnRender();
  for (; pendingStates_ > 0; --pendingStates_) WriteState();
  return WriteShots();
}

void Session::QueueAutomaticShots(int update) {
  if (options_.shotsEvery > 0 && update % options_.shotsEvery == 0) {
    pendingShots_.push_back(FrameName(update));
  }
  const GameView running = game();
  const int phase = running.gameMode() == kModeRun ? running.phase() : 0;
  updatesInPhase_ = phase == shownPhase_ ? updatesInPhase_ + 1 : 1;
  shownPhase_ = phase;
  if (options_.phaseShots && phase > 0 && updatesInPhase_ == kPhaseShotUpdate) {
    pendingShots_.push_back("phase-" + std::to_string(phase));
  }
}

bool Session::ApplyCommands() {
  const int update = update_ + 1;
  while (nextCommand_ < script_.commands.size() &&
         script_.commands[nextCommand_].update == update) {
    if (!Apply(script_.commands[nextCommand_++])) return false;
  }
  return true;
}

bool Session::Apply(const Command& command) {
  switch (command.kind) {
    case CommandKind::kPress:
      PointerTo(command.x, command.y);
      PointerDown();
      break;
    case CommandKind::kRelease:
      PointerUp();
      break;
    case CommandKind::kMove:
      PointerTo(command.x, command.y);
      break;
    case CommandKind::kKey:
      KeyDown(command.x);
      break;
    case CommandKind::kKeyUp:
      KeyUp(command.x);
      break;
    case CommandKind::kChar:
      Type(command.text);
      break;
    case CommandKind::kIconify:
      Iconify();
      break;
    case CommandKind::kRestore:
      Restore();
      break;
    case CommandKind::kResize:
      if (!Resize(command.x, command.y)) {
        LogProblem("window",
                   "line " + std::to_string(command.line) + ": the window did not resize");
        ok_ = false;
      }
      break;
    case CommandKind::kShot:
      pendingShots_.push_back(command.text);
      break;
    case CommandKind::kState:
      ++pendingStates_;
      break;
    case CommandKind::kQuit:
      return false;
  }
  return true;
}

// A shot asked for while the game is suspended has no frame: the host does
// not render then.
bool Session::WriteShots() {
  if (pendingShots_.empty()) return true;
  if (!platform_->HasCapture()) {
    LogProblem("shots", "update " + std::to_string(update_) + ": no frame rendered for " +
                            pendingShots_.front() + ".png");
    pendingShots_.clear();
    return ok_ = false;
  }
  for (const std::string& name : pendingShots_) {
    if (!WritePng(name)) return ok_ = false;
  }
  pendingShots_.clear();
  return true;
}

bool Session::WritePng(const std::string& name) {
  const Frame& frame = platform_->captured();
  const std::string path = (fs::path(options_.outDir) / (name + ".png")).string();
  if (!stbi_write_png(path.c_str(), frame.width, frame.height, kRgbBytes, frame.rgb.data(),
                      frame.width * kRgbBytes)) {
    LogProblem("files", "cannot write " + path);
    return false;
  }
  return true;
}

void Session::WriteState() {
  if (!stateFile_.is_open()) return;
  stateFile_ << StateLine(game(), update_) << '\n';
  stateFile_.flush();
}

void Session::PointerTo(float x, float y) { platform_->SetPointer(x, y); }

void Session::PointerDown() {
  ++presses_.pointer;
  host::app->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
}

void Session::PointerUp() { host::app->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE); }

void Session::KeyDown(int code) {
  ++presses_.keys;
  host::app->input->OnKeyDown(code);
}

void Session::KeyUp(int code) { host::app->input->OnKeyUp(code); }

void Session::Type(const std::string& text) {
  for (const unsigned char c : text) host::app->input->PutChar(c);
}

void Session::PadButton(int button, bool down) {
  presses_.pad += down ? 1 : 0;
  platform_->SetPadButton(button, down);
}

void Session::PadStick(float x, float y) {
  presses_.pad += x != 0 || y != 0 ? 1 : 0;
  platform_->SetPadStick(x, y);
}

// The host loop suspends the game while its window is iconified and resumes
// it when the window comes back; the replay does both at the scripted update
// so that the window manager's timing never enters a replay.
void Session::Iconify() { host::app->InvokeOnSuspend(); }

void Session::Restore() { host::app->InvokeOnResume(); }

bool Session::Resize(int width, int height) {
  GLFWwindow* window = platform_->Window();
  glfwSetWindowSize(window, width, height);
  const auto deadline = std::chrono::steady_clock::now() + kResizePatience;
  while (std::chrono::steady_clock::now() < deadline) {
    glfwWaitEventsTimeout(kResizePollSeconds);
    int w = 0, h = 0;
    platform_->WindowSize(&w, &h);
    if (w == width && h == height) return true;
  }
  return false;
}

}  // namespace vantor::replay
