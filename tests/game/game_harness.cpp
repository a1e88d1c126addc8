#include "tests/game/game_harness.h"

#include <GLFW/glfw3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "game/startup.h"
#include "host/app.h"
#include "host/files.h"
#include "host/startup.h"
#include "modules/app.h"
#include "modules/audio.h"
#include "modules/graphics.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

// A sample that only knows where it came from.
class SpySample : public gxtkSample {
 public:
  std::string path;
};

std::string Narrow(const String& text) {
  std::string out;
  for (int i = 0; i < text.Length(); ++i) out += static_cast<char>(text[i]);
  return out;
}

void InitialiseWindowSystem() {
  static const bool initialised = glfwInit() == GLFW_TRUE;
  ASSERT_TRUE(initialised) << "no display for the game's window";
}

constexpr int kResizeWaitMillis = 3000;

}  // namespace

gxtkSample* SpyAudio::LoadSample(String path) {
  loads.push_back(Narrow(path));
  SpySample* sample = gc_new<SpySample>();
  sample->path = loads.back();
  return sample;
}

int SpyAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  const auto* spy = dynamic_cast<SpySample*>(sample);
  requests.push_back({Call::kPlay, channel, 0, spy ? spy->path : std::string(), flags});
  return 0;
}

int SpyAudio::StopChannel(int channel) {
  requests.push_back({Call::kStop, channel, 0, {}, 0});
  return 0;
}

int SpyAudio::SetVolume(int channel, float volume) {
  requests.push_back({Call::kVolume, channel, volume, {}, 0});
  return 0;
}

int SpyAudio::SetPan(int channel, float pan) {
  requests.push_back({Call::kPan, channel, pan, {}, 0});
  return 0;
}

int SpyAudio::SetRate(int channel, float rate) {
  requests.push_back({Call::kRate, channel, rate, {}, 0});
  return 0;
}

std::vector<SpyAudio::Request> SpyAudio::Of(Call call) const {
  std::vector<Request> found;
  for (const Request& request : requests) {
    if (request.call == call) found.push_back(request);
  }
  return found;
}

int SpyGraphics::SetAlpha(float alpha) {
  requests.push_back({Call::kAlpha, alpha, 0, 0, 0});
  return gxtkGraphics::SetAlpha(alpha);
}

int SpyGraphics::SetColor(float r, float g, float b) {
  requests.push_back({Call::kColor, r, g, b, 0});
  return gxtkGraphics::SetColor(r, g, b);
}

int SpyGraphics::DrawRect(float x, float y, float w, float h) {
  requests.push_back({Call::kRect, x, y, w, h});
  return gxtkGraphics::DrawRect(x, y, w, h);
}

int SpyGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  requests.push_back({Call::kLine, x1, y1, x2, y2});
  return gxtkGraphics::DrawLine(x1, y1, x2, y2);
}

int SpyGraphics::DrawOval(float x, float y, float w, float h) {
  requests.push_back({Call::kOval, x, y, w, h});
  return gxtkGraphics::DrawOval(x, y, w, h);
}

int SpyGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
  requests.push_back({Call::kSurface, x, y, static_cast<float>(surface->width),
                      static_cast<float>(surface->height)});
  return gxtkGraphics::DrawSurface(surface, x, y);
}

gxtkSurface* SpyGraphics::LoadSurface(String path) {
  loads.push_back(Narrow(path));
  return lastLoaded = gxtkGraphics::LoadSurface(path);
}

int SpyGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy,
                              int srcw, int srch) {
  requests.push_back({Call::kSurface, x, y, static_cast<float>(srcw), static_cast<float>(srch),
                      srcx, srcy, {ix, iy, jx, jy, tx, ty}});
  return gxtkGraphics::DrawSurface2(surface, x, y, srcx, srcy, srcw, srch);
}

std::vector<SpyGraphics::Request> SpyGraphics::Of(Call call) const {
  std::vector<Request> found;
  for (const Request& request : requests) {
    if (request.call == call) found.push_back(request);
  }
  return found;
}

void ScriptedPlatform::MousePosition(float* x, float* y) {
  *x = mouseX;
  *y = mouseY;
}

int ScriptedPlatform::JoystickAxes(float* out, int max) {
  const int count = std::min(max, static_cast<int>(axes.size()));
  std::copy(axes.begin(), axes.begin() + count, out);
  return count;
}

int ScriptedPlatform::JoystickButtons(unsigned char* out, int max) {
  const int count = std::min(max, static_cast<int>(buttons.size()));
  std::copy(buttons.begin(), buttons.begin() + count, out);
  return count;
}

GameHarness::GameHarness(const HarnessOptions& options) {
  InitialiseWindowSystem();
  MakeDirectory(options);
  WindowOptions window;
  window.width = options.width;
  window.height = options.height;
  GLFWwindow* handle = GlfwPlatform::OpenWindow(window);
  EXPECT_NE(handle, nullptr) << "the game's window did not open";
  if (!handle) return;
  platform_ = std::make_unique<ScriptedPlatform>(handle);
  StartGame();
  if (options.finishLoading) FinishLoading();
}

GameHarness::~GameHarness() {
  // Textures go with their objects, so the window outlives the world.
  if (platform_) StopInProcess();
  platform_.reset();
  if (!previousDirectory_.empty()) {
    EXPECT_EQ(chdir(previousDirectory_.c_str()), 0);
  }
  std::error_code ignored;
  if (!directory_.empty()) fs::remove_all(directory_, ignored);
}

void GameHarness::MakeDirectory(const HarnessOptions& options) {
  previousDirectory_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "vantor-game-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  directory_ = pattern;
  fs::create_directory_symlink(fs::path(VANTOR_SOURCE_DIR) / "data", fs::path(directory_) / "data");
  ASSERT_EQ(chdir(directory_.c_str()), 0);
  if (options.savedRecord) WriteSavedRecord(*options.savedRecord);
}

// The framework start-up of the executable, minus the main loop; then the
// spies take the devices' places before the game's creation.
void GameHarness::StartGame() {
  StartInProcess(*platform_, GameStartupHooks());
  app_ = static_cast<MyApp*>(app::device->app.get());
  audio_ = gc_new<SpyAudio>();
  host::app->audio = audio_;
  audio::SetAudioDevice(audio_);
  graphics_ = gc_new<SpyGraphics>();
  host::app->graphics = graphics_;
  graphics::SetGraphicsDevice(graphics_);
  host::app->InvokeOnCreate();
  Render();
}

gxtkInput& GameHarness::input() const { return *host::app->input; }

void GameHarness::Update(int count) {
  for (int i = 0; i < count; ++i) host::app->InvokeOnUpdate();
}

void GameHarness::Render(int count) {
  for (int i = 0; i < count; ++i) {
    graphics_->requests.clear();
    host::app->InvokeOnRender();
  }
}

void GameHarness::Frame(int count) {
  for (int i = 0; i < count; ++i) {
    Update();
    Render();
  }
}

int GameHarness::FinishLoading(int limit) {
  int frames = 0;
  while (app_->loadStep != 0 && frames < limit) {
    Frame();
    ++frames;
  }
  return frames;
}

void GameHarness::Suspend() { host::app->InvokeOnSuspend(); }

void GameHarness::Resume() { host::app->InvokeOnResume(); }

void GameHarness::MoveTo(float x, float y) {
  platform_->mouseX = x * app_->scaleX;
  platform_->mouseY = y * app_->scaleY;
}

void GameHarness::PressPointer() { host::app->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS); }

void GameHarness::ReleasePointer() {
  host::app->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
}

void GameHarness::Tap(float x, float y) {
  MoveTo(x, y);
  PressPointer();
  Frame();
  ReleasePointer();
  Frame();
}

void GameHarness::KeyDown(int key) { input().OnKeyDown(key); }

void GameHarness::KeyUp(int key) { input().OnKeyUp(key); }

void GameHarness::Type(const std::string& characters) {
  for (unsigned char c : characters) input().PutChar(c);
}

void GameHarness::SetJoystickAxis(int axis, float value) {
  // Six axes so that the input device keeps them where they are.
  platform_->axes.resize(kJoyAxisCount, 0.0f);
  platform_->axes[axis] = value;
}

void GameHarness::SetJoystickButton(int button, bool down) {
  if (static_cast<int>(platform_->buttons.size()) <= button) platform_->buttons.resize(button + 1);
  platform_->buttons[button] = down ? 1 : 0;
}

bool GameHarness::Resize(int width, int height) {
  GLFWwindow* window = platform_->Window();
  glfwSetWindowSize(window, width, height);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kResizeWaitMillis);
  while (std::chrono::steady_clock::now() < deadline) {
    glfwWaitEventsTimeout(0.05);
    int w = 0, h = 0;
    glfwGetFramebufferSize(window, &w, &h);
    if (w == width && h == height) return true;
  }
  return false;
}

int GameHarness::SoundSlotOf(const std::string& path) const {
  for (int slot = 0; slot < kSoundSlots; ++slot) {
    Sound* sound = app_->sounds[slot];
    const auto* spy = sound ? dynamic_cast<SpySample*>(sound->sample.get()) : nullptr;
    if (spy && spy->path == path) return slot;
  }
  return -1;
}

std::optional<std::string> GameHarness::SavedRecord() const {
  std::ifstream file(fs::path(directory_) / kStateFileName, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void GameHarness::WriteSavedRecord(const std::string& record) const {
  std::ofstream file(fs::path(directory_) / kStateFileName, std::ios::binary);
  file << record;
}

// The record layout other tools read too: 15 floats, kind, x, y, rotation,
// width, height, frame, alpha at 0 to 7 and red, green, blue at 10 to 12.
constexpr int kFloatsPerRecord = 15;

std::vector<DrawRecord> DrawRecords(const MyApp& app) {
  std::vector<DrawRecord> records;
  for (int start = 0; start + kFloatsPerRecord <= app.drawListLength; start += kFloatsPerRecord) {
    const float* r = app.drawList.Data() + start;
    records.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[10], r[11], r[12]});
  }
  return records;
}

}  // namespace vantor::testing
