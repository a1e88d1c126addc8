// The replay session: the real game (the same MyApp on the same host
// devices as vantor-game) run in-process under a virtual clock, one update
// then one render per step, with input from a script and, optionally, from
// the autoplay bot. Writes the screenshots and state lines the script asks
// for. Created by the tool's entry point (tools/vantor-replay.cpp); the bot
// (autoplay.cpp) drives the game through the input methods below.
#pragma once

#include <fstream>
#include <memory>
#include <string>

#include "game/game_view.h"
#include "tools/replay/script.h"
#include "tools/replay/virtual_platform.h"

namespace vantor::replay {

struct SessionOptions {
  int width = kDefaultWindowWidth;
  int height = kDefaultWindowHeight;
  double clockMillis = 0;  // the clock at creation
  std::string outDir;      // shots and state.jsonl
  int shotsEvery = 0;      // 0: only the scripted shots
  // A shot named phase-N in the second update of each phase N of a run.
  bool phaseShots = false;
  int maxUpdates = 0;  // 0: until the script's last update
  bool visible = false;
};

class Session;

// Something that plays: asked before every update what to do.
class Player {
 public:
  virtual ~Player() = default;
  // Called before update `update` runs; acts through the session.
  virtual void BeforeUpdate(Session& session, int update) = 0;
  virtual bool Finished() const = 0;
};

class Session {
 public:
  Session(SessionOptions options, Script script, Player* player);
  virtual ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Runs to the end of the script (or until the player finishes or the
  // update bound is reached). Returns false when the window could not be
  // opened or a file could not be written.
  bool Run();
  // Or a step at a time, for a driver with a clock of its own (the bot's
  // touch page, web/replay/main.cpp): Start opens the window and the game,
  // each Step runs one update and one render.
  bool Start();
  bool Step();

  // The game as it stands, to read.
  GameView game() const { return GameView::Running(); }
  int updatesRun() const { return update_; }

  // Input, as a player gives it. Pointer positions are window pixels. The
  // touch page takes the bot's pointer as advice instead.
  virtual void PointerTo(float x, float y);
  virtual void PointerDown();
  virtual void PointerUp();
  void KeyDown(int code);
  void KeyUp(int code);
  void Type(const std::string& text);
  // A gamepad: connected once, then its buttons and its stick from -1 to 1.
  void ConnectPad() { platform_->ConnectPad(); }
  void PadButton(int button, bool down);
  void PadStick(float x, float y);
  // The presses given so far: pointer, keys and pad buttons or stick pushes.
  struct Presses {
    int pointer = 0, keys = 0, pad = 0;
  };
  const Presses& presses() const { return presses_; }
  // Window events.
  void Iconify();
  void Restore();
  bool Resize(int width, int height);

  // A state line into state.jsonl now.
  void WriteState();

 private:
  void Stop();
  // Applies the script's commands for the coming update; false on quit.
  bool ApplyCommands();
  bool Apply(const Command& command);
  // The automatic shots due after update `update`.
  void QueueAutomaticShots(int update);
  bool WriteShots();
  bool WritePng(const std::string& name);
  bool Done() const;

  SessionOptions options_;
  Script script_;
  size_t nextCommand_ = 0;
  Player* player_;
  std::unique_ptr<VirtualPlatform> platform_;
  int update_ = 0;
  std::vector<std::string> pendingShots_;
  int pendingStates_ = 0;
  int shownPhase_ = 0;  // the phase of the last update, and how long it lasted
  int updatesInPhase_ = 0;
  std::ofstream stateFile_;
  Presses presses_;
  bool ok_ = true;
};

}  // namespace vantor::replay
