#include "tools/testing/game_harness.h"

#include <GLFW/glfw3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "game/game_view.h"
#include "game/run.h"
#include "game/startup.h"
#include "host/app.h"
#include "host/files.h"
#include "host/input.h"
#include "host/startup.h"
#include "modules/app.h"
#include "modules/audio.h"
#include "modules/graphics.h"
#include "runtime/gc.h"

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

}  // namespace

gxtkSample* SpyAudio::LoadSample(String path) {
  loads.push_back(Narrow(path));
  auto* sample = gc_new<SpySample>();
  sample->path = loads.back();
  return sample;
}

int SpyAudio::PlaySample(gxtkSample* sample, int, int) {
  played.push_back(static_cast<SpySample*>(sample)->path);
  return 0;
}

gxtkSurface* SpyGraphics::LoadSurface(String path) {
  loads.push_back(Narrow(path));
  return lastLoaded = gxtkNullGraphics::LoadSurface(path);
}

GameHarness::GameHarness(int width, int height)
    : GameHarness(HarnessOptions{width, height, std::nullopt, true}) {}

// The executable's start-up minus the main loop, in a fresh directory;
// the spies take the devices' places before the game's creation.
GameHarness::GameHarness(const HarnessOptions& options)
    : platform_(std::make_unique<ScriptedPlatform>()) {
  previousDirectory_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "vantor-game-XXXXXX").string();
  EXPECT_NE(mkdtemp(pattern.data()), nullptr);
  directory_ = pattern;
  fs::create_directory_symlink(fs::path(VANTOR_SOURCE_DIR) / "data", fs::path(directory_) / "data");
  EXPECT_EQ(chdir(directory_.c_str()), 0);
  if (options.savedRecord) {
    std::ofstream(fs::path(directory_) / kStateFileName, std::ios::binary) << *options.savedRecord;
  }
  platform_->width = options.width;
  platform_->height = options.height;
  StartInProcess(*platform_, GameStartupHooks());
  app_ = &RunningGame();
  audio_ = gc_new<SpyAudio>();
  host::app->audio = audio_;
  audio::SetAudioDevice(audio_);
  graphics_ = gc_new<SpyGraphics>();
  host::app->graphics = graphics_;
  graphics::SetGraphicsDevice(graphics_);
  host::app->InvokeOnCreate();
  Render();
  for (int frames = 0; options.finishLoading && app_->loadStep != 0 && frames < 100; ++frames) {
    Frame();
  }
}

GameHarness::~GameHarness() {
  CheckHeap("at the end of the test");
  StopInProcess();
  EXPECT_EQ(chdir(previousDirectory_.c_str()), 0);
  std::error_code ignored;
  fs::remove_all(directory_, ignored);
}

void GameHarness::CheckHeap(const std::string& when) const {
  EXPECT_TRUE(gc_check_heap()) << "the collector's heap is damaged " << when << " (update "
                               << updates_ << "); its first fault is printed above";
}

// Time passes as the main loop lets it: one period of the game's update
// rate before each update.
void GameHarness::Update(int count) {
  for (int i = 0; i < count; ++i) {
    if (host::app->updateRate) platform_->now += 1.0 / host::app->updateRate;
    host::app->InvokeOnUpdate();
    if (++updates_ % kHeapCheckUpdates == 0) CheckHeap("after an update");
  }
}

void GameHarness::Render() {
  graphics_->drawn.clear();
  host::app->InvokeOnRender();
}

void GameHarness::Frame(int count) {
  for (int i = 0; i < count; ++i) Update(), Render();
}

void GameHarness::Suspend() { host::app->InvokeOnSuspend(); }

void GameHarness::MoveTo(float x, float y) {
  platform_->mouseX = x * app_->scaleX;
  platform_->mouseY = y * app_->scaleY;
}

void GameHarness::Press() { host::app->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS); }
void GameHarness::Release() { host::app->OnMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE); }

void GameHarness::PressAt(float x, float y, int frames) {
  MoveTo(x, y);
  Press();
  Frame(frames);
}

void GameHarness::Tap(float x, float y) {
  PressAt(x, y);
  Release();
  Frame();
}

void GameHarness::KeyDown(int key) { host::app->input->OnKeyDown(key); }
void GameHarness::KeyUp(int key) { host::app->input->OnKeyUp(key); }

void GameHarness::KeyFrame(int key) {
  KeyDown(key);
  Frame();
  KeyUp(key);
  Frame();
}

void GameHarness::Type(const std::string& characters) {
  for (unsigned char c : characters) host::app->input->PutChar(c);
}

void GameHarness::StartRun() {
  KeyFrame(kKeyEnter);
  Frame();
  EXPECT_EQ(app_->gameMode, kModeRun);
}

int GameHarness::SoundSlotOf(const std::string& path) const {
  for (int slot = 0; slot < kSoundSlots; ++slot) {
    Sound* sound = app_->sounds[slot];
    const auto* spy = sound ? dynamic_cast<SpySample*>(sound->sample.get()) : nullptr;
    if (spy && spy->path == path) return slot;
  }
  return -1;
}

std::vector<int> GameHarness::Played() const {
  std::vector<int> slots;
  for (const std::string& path : audio_->played) {
    const int slot = SoundSlotOf(path);
    if (slot != kSfxAlarm && slot != kSfxSiren) slots.push_back(slot);
  }
  return slots;
}

int GameHarness::TimesPlayed(int slot) const {
  const std::vector<int> slots = Played();
  return static_cast<int>(std::count(slots.begin(), slots.end(), slot));
}

std::optional<std::string> GameHarness::SavedRecord() const {
  std::ifstream file(fs::path(directory_) / kStateFileName, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<DrawRecord> RecordsOf(const MyApp& app, float kind) {
  const GameView game(app);
  std::vector<DrawRecord> found;
  for (int i = 0; i < game.drawRecordCount(); ++i) {
    const DrawRecord record = game.drawRecord(i);
    if (record.kind == kind) found.push_back(record);
  }
  return found;
}

bool HasText(const MyApp& app, const std::string& text) {
  std::string drawn, wanted;
  for (const DrawRecord& glyph : RecordsOf(app, static_cast<float>(app.currentFont))) {
    drawn += static_cast<char>(glyph.frame + 32);
  }
  std::copy_if(text.begin(), text.end(), std::back_inserter(wanted),
               [](char c) { return c != ' '; });
  return drawn.find(wanted) != std::string::npos;
}

}  // namespace vantor::testing
