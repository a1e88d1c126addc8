// GameHarness: the real game, started in-process for a test.
//
// Runs the framework start-up the executable runs, over a scripted window
// and a drawing device without OpenGL, then lets the test call the host's
// callbacks itself: no display is needed. Input reaches the game the way a
// player's does: the pointer and joystick through the platform, keys and
// typed characters through the input device. The clock moves one update
// period with each update, so a test runs the same every time. Sound goes
// to a spy that records what the game asked for; the graphics device
// records what it was asked to draw and which image files it loaded. The
// collector's heap is checked every kHeapCheckUpdates updates and when the
// harness goes, so a fault in the game's use of the collector fails the
// test near the update that made it. Each harness works in a fresh
// temporary directory linking the repository's data/, so a saved record
// never touches the repository. One harness at a time; used by every test
// of tests/game; built as vantor_game_testing.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/myapp.h"
#include "host/audio.h"
#include "host/glfw_platform.h"
#include "host/null_graphics.h"
#include "tools/testing/fake_platform.h"

namespace vantor::testing {

// A sound device that plays nothing and remembers every request.
class SpyAudio : public gxtkAudio {
 public:
  std::vector<std::string> loads, played;  // the paths loaded and played, in order

  gxtkSample* LoadSample(String path) override;
  int PlaySample(gxtkSample* sample, int channel, int flags) override;
  int StopChannel(int) override { return 0; }
  int SetVolume(int, float) override { return 0; }
  int SetPan(int, float) override { return 0; }
  int SetRate(int, float) override { return 0; }
};

// The device without OpenGL, remembering also the image files loaded.
// `drawn` holds what the current render drew.
class SpyGraphics : public gxtkNullGraphics {
 public:
  using Surface = gxtkDrawn;  // an entry of `drawn`, by its earlier name
  std::vector<std::string> loads;
  gxtkSurface* lastLoaded = nullptr;

  gxtkSurface* LoadSurface(String path) override;
};

// The window: its size, the pointer (in framebuffer pixels) and the
// joystick the test moves, and the clock.
using ScriptedPlatform = FakePlatform;

// Updates between two checks of the collector's heap: often enough that a
// fault shows within a few seconds of game time after it was made, rarely
// enough that the walk over the heap costs the tests little.
inline constexpr int kHeapCheckUpdates = 300;

struct HarnessOptions {
  int width = kDefaultWindowWidth;
  int height = kDefaultWindowHeight;
  std::optional<std::string> savedRecord;  // present before start-up
  bool finishLoading = true;
};

// Key codes of the input device.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyRight = 39;

class GameHarness {
 public:
  explicit GameHarness(const HarnessOptions& options = {});
  GameHarness(int width, int height);
  ~GameHarness();

  MyApp& app() const { return *app_; }
  SpyAudio& audio() const { return *audio_; }
  SpyGraphics& graphics() const { return *graphics_; }
  ScriptedPlatform& platform() const { return *platform_; }

  // Host callbacks; Frame is one update then one render.
  void Update(int count = 1);
  void Render();
  void Frame(int count = 1);
  void Suspend();
  // The collector's heap check; fails the test naming `when` if it fails.
  void CheckHeap(const std::string& when) const;

  // The pointer in the game's virtual units.
  void MoveTo(float x, float y);
  void Press();
  void Release();
  // Presses at (x, y) and holds for `frames` frames.
  void PressAt(float x, float y, int frames = 1);
  // A frame pressed at (x, y), then a frame released.
  void Tap(float x, float y);
  void KeyDown(int key);
  void KeyUp(int key);
  // A frame with the key down, then a frame with it up.
  void KeyFrame(int key);
  void Type(const std::string& characters);
  // From the title menu with the start key; the run's first update is done.
  void StartRun();

  // The sound slot whose sample came from `path`, or -1.
  int SoundSlotOf(const std::string& path) const;
  // Slots of the sounds started since the last ForgetSounds, in order,
  // without the ambient alarm and siren a phase repeats on its own.
  std::vector<int> Played() const;
  int TimesPlayed(int slot) const;
  void ForgetSounds() { audio_->played.clear(); }

  std::optional<std::string> SavedRecord() const;

 private:
  std::string previousDirectory_, directory_;
  std::unique_ptr<ScriptedPlatform> platform_;
  MyApp* app_ = nullptr;
  SpyAudio* audio_ = nullptr;
  SpyGraphics* graphics_ = nullptr;
  int updates_ = 0;
};

// Records of the current draw list of one image slot, or of one shape kind
// (kRecordRect...).
std::vector<DrawRecord> RecordsOf(const MyApp& app, float kind);

// Whether the current font's glyphs in the draw list spell `text` (spaces
// draw nothing and are left out).
bool HasText(const MyApp& app, const std::string& text);

}  // namespace vantor::testing
