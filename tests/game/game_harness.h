// GameHarness: the real game, started in-process for a test.
//
// Runs the framework start-up the executable runs (module initialisation,
// MyApp and its app bridge) against a real window under the test display,
// then lets the test call the host's guarded callbacks itself: updates,
// renders, suspend and resume. Input reaches the game the way a player's
// does: the pointer through the platform the input device samples, buttons
// and keys through the input device, typed characters through its queue.
// Sound goes to a spy device that records what the game asked for; the
// graphics device draws for real and also records what it was asked.
//
// Each harness works in a fresh temporary directory holding a link to the
// repository's data/, so the saved record a test writes never touches the
// repository. One harness at a time; it is meant to live for one test.
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
#include "host/input.h"

namespace vantor::testing {

// A sound device that plays nothing and remembers every request.
class SpyAudio : public gxtkAudio {
 public:
  enum class Call { kPlay, kStop, kRate, kVolume, kPan };
  struct Request {
    Call call;
    int channel;
    float value;       // rate, volume or pan
    std::string path;  // of the sample played
    int flags;
  };

  // Every path the game asked to load, in order.
  std::vector<std::string> loads;
  std::vector<Request> requests;

  gxtkSample* LoadSample(String path) override;
  int PlaySample(gxtkSample* sample, int channel, int flags) override;
  int StopChannel(int channel) override;
  int SetVolume(int channel, float volume) override;
  int SetPan(int channel, float pan) override;
  int SetRate(int channel, float rate) override;

  // The requests of one kind, in order.
  std::vector<Request> Of(Call call) const;
};

// The real graphics device, remembering what it was asked to draw since
// the last render began (the harness clears it at each render).
class SpyGraphics : public gxtkGraphics {
 public:
  enum class Call { kRect, kOval, kLine, kSurface, kColor, kAlpha };
  struct Request {
    Call call;
    float a, b, c, d;  // the drawing's rectangle or line, or the colour
    int sourceX = 0, sourceY = 0;  // the frame of a surface
    // The device's matrix when a surface was drawn: ix, iy, jx, jy, tx, ty.
    float matrix[6] = {1, 0, 0, 1, 0, 0};
  };

  std::vector<Request> requests;
  // Every image path the game asked to load, in order, and the surface the
  // last load gave.
  std::vector<std::string> loads;
  gxtkSurface* lastLoaded = nullptr;

  gxtkSurface* LoadSurface(String path) override;

  int SetAlpha(float alpha) override;
  int SetColor(float r, float g, float b) override;
  int DrawRect(float x, float y, float w, float h) override;
  int DrawLine(float x1, float y1, float x2, float y2) override;
  int DrawOval(float x, float y, float w, float h) override;
  int DrawSurface(gxtkSurface* surface, float x, float y) override;
  int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                   int srch) override;

  // The requests of one kind, in order.
  std::vector<Request> Of(Call call) const;
};

// The real window with a pointer and a joystick the test moves.
class ScriptedPlatform : public GlfwPlatform {
 public:
  using GlfwPlatform::GlfwPlatform;

  float mouseX = 0, mouseY = 0;  // framebuffer pixels
  std::vector<float> axes;
  std::vector<unsigned char> buttons;

  void MousePosition(float* x, float* y) override;
  int JoystickAxes(float* axes, int max) override;
  int JoystickButtons(unsigned char* buttons, int max) override;
};

struct HarnessOptions {
  int width = kDefaultWindowWidth;
  int height = kDefaultWindowHeight;
  // The saved record present before start-up; none when empty.
  std::optional<std::string> savedRecord;
  // Run the loader to its end before the test takes over.
  bool finishLoading = true;
};

class GameHarness {
 public:
  explicit GameHarness(const HarnessOptions& options = {});
  ~GameHarness();
  GameHarness(const GameHarness&) = delete;
  GameHarness& operator=(const GameHarness&) = delete;

  MyApp& app() const { return *app_; }
  SpyAudio& audio() const { return *audio_; }
  SpyGraphics& graphics() const { return *graphics_; }
  gxtkInput& input() const;
  ScriptedPlatform& platform() const { return *platform_; }

  // Host callbacks, each followed by the collector as in the main loop.
  void Update(int count = 1);
  void Render(int count = 1);
  // Update then render, as one pass of the main loop at a steady rate.
  void Frame(int count = 1);
  // Frames until the loader has finished; returns how many it took.
  int FinishLoading(int limit = 100);
  void Suspend();
  void Resume();

  // The pointer, in the game's virtual units (converted with the scale of
  // the last render).
  void MoveTo(float x, float y);
  void PressPointer();
  void ReleasePointer();
  // Press on (x, y) for one frame, then release for one frame.
  void Tap(float x, float y);

  // Keys in the input device's codes; characters into its typed queue.
  void KeyDown(int key);
  void KeyUp(int key);
  void Type(const std::string& characters);
  void SetJoystickAxis(int axis, float value);
  void SetJoystickButton(int button, bool down);

  // Resizes the real window and waits until the window system has done it.
  bool Resize(int width, int height);

  // The sound slot whose sample was loaded from `path`, or -1.
  int SoundSlotOf(const std::string& path) const;

  // The working directory of this harness and the saved record in it.
  const std::string& directory() const { return directory_; }
  std::optional<std::string> SavedRecord() const;
  void WriteSavedRecord(const std::string& record) const;

 private:
  void MakeDirectory(const HarnessOptions& options);
  void StartGame();

  std::string previousDirectory_;
  std::string directory_;
  std::unique_ptr<ScriptedPlatform> platform_;
  MyApp* app_ = nullptr;
  SpyAudio* audio_ = nullptr;
  SpyGraphics* graphics_ = nullptr;
};

// The standard output a callable prints, captured.
template <class F>
std::string CaptureOutput(F&& body) {
  ::testing::internal::CaptureStdout();
  body();
  return ::testing::internal::GetCapturedStdout();
}

// Draw-list records (15 floats each) of the current list.
struct DrawRecord {
  float kind, x, y, rotation, width, height, frame, alpha, red, green, blue;
};
std::vector<DrawRecord> DrawRecords(const MyApp& app);

// The elements of a game array, for comparing whole tables.
template <class T>
std::vector<T> Values(const Array<T>& array) {
  return std::vector<T>(array.begin(), array.end());
}

}  // namespace vantor::testing

