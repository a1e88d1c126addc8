// GameHarness: the real game, started in-process for a test.
//
// Runs the framework start-up the executable runs against a real window
// under the test display, then lets the test call the host's callbacks
// itself. Input reaches the game the way a player's does: the pointer and
// joystick through the platform, keys and typed characters through the
// input device. Sound goes to a spy that records what the game asked for;
// the graphics device draws for real and also records what it was asked.
// Each harness works in a fresh temporary directory linking the
// repository's data/, so a saved record never touches the repository.
// One harness at a time; used by every test of tests/game.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/myapp.h"
#include "host/audio.h"
#include "host/glfw_platform.h"
#include "host/graphics.h"

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

// The real graphics device, remembering the image files loaded and the
// surfaces drawn in the current render.
class SpyGraphics : public gxtkGraphics {
 public:
  // A drawn quad: the rectangle at (x, y), then the matrix.
  struct Surface {
    float x, y, width, height;
    float matrix[6];  // ix, iy, jx, jy, tx, ty
  };
  std::vector<Surface> drawn;
  std::vector<std::string> loads;
  gxtkSurface* lastLoaded = nullptr;

  gxtkSurface* LoadSurface(String path) override;
  int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                   int srch) override;
  int DrawSurfaceRect(gxtkSurface* surface, float x, float y, float w, float h, int srcx,
                      int srcy, int srcw, int srch) override;
  int DrawSurfaceUnder(gxtkSurface* surface, const gxtkMatrix& m, int srcx, int srcy, int srcw,
                       int srch) override;
};

// The real window with a pointer and a joystick the test moves.
class ScriptedPlatform : public GlfwPlatform {
 public:
  using GlfwPlatform::GlfwPlatform;
  float mouseX = 0, mouseY = 0;  // framebuffer pixels
  std::vector<float> axes;
  std::vector<unsigned char> buttons;

  // A drawable size the test sets instead of the window's (0: the window's).
  int width = 0, height = 0;

  void MousePosition(float* x, float* y) override { *x = mouseX, *y = mouseY; }
  void WindowSize(int* w, int* h) override {
    if (!width) return GlfwPlatform::WindowSize(w, h);
    *w = width, *h = height;
  }
  int JoystickAxes(float* axes, int max) override;
  int JoystickButtons(unsigned char* buttons, int max) override;
};

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
};

// Draw-list records of the current list (15 floats each; the unused ones
// left out).
struct DrawRecord {
  float kind, x, y, rotation, width, height, frame, alpha, red, green, blue;
};
// Records of one image slot, or of one shape kind (kRecordRect...).
std::vector<DrawRecord> RecordsOf(const MyApp& app, float kind);

// Whether the current font's glyphs in the draw list spell `text` (spaces
// draw nothing and are left out).
bool HasText(const MyApp& app, const std::string& text);

}  // namespace vantor::testing
