// GameView: the running game's state as the replay tool and the tests read
// it, without the power to change it. The fields keep the game's own names
// (MyApp's); the arrays are read through their layouts: worldCells as bags,
// city cells and bullets (game/world_cells.h), the draw list as typed
// records (game/draw_record.h), the settings and score tables as copies.
// Made by the replay session for its bot and its state lines, by the
// benchmarks and by the tests.
#pragma once

#include <cstddef>
#include <vector>

#include "game/myapp.h"
#include "game/world_cells.h"

namespace vantor {

class GameView {
 public:
  explicit GameView(const MyApp& app) : app_(app) {}
  // The game the start-up created (GameStartupHooks), once it runs.
  static GameView Running();

  // The mode machine, the screens over it and the pointer's scale.
  int gameMode() const { return app_.gameMode; }
  int loadStep() const { return app_.loadStep; }
  int menuSlide() const { return app_.menuSlide; }
  int creditsOpen() const { return app_.creditsOpen; }
  int landscape() const { return app_.landscape; }
  int paused() const { return app_.paused; }
  int gameOverFrame() const { return app_.gameOverFrame; }
  int currentFont() const { return app_.currentFont; }
  float scaleX() const { return app_.scaleX; }
  float scaleY() const { return app_.scaleY; }

  // The run.
  int phase() const { return app_.phase; }
  int score() const { return app_.score; }
  int loot() const { return app_.loot; }
  int bagsGrabbed() const { return app_.bagsGrabbed; }
  int timeLeft() const { return app_.timeLeft; }
  int copsToRam() const { return app_.copsToRam; }
  int hitsLeft() const { return app_.hitsLeft; }
  int playerHealth() const { return app_.playerHealth; }
  int sfxTimer() const { return app_.sfxTimer; }
  int carHeading() const { return app_.carHeading; }
  int reloadNeeded() const { return app_.reloadNeeded; }
  int playerPose() const { return app_.playerPose; }
  int copDucking() const { return app_.copDucking; }
  int playerShotTimer() const { return app_.playerShotTimer; }
  int copShotTimer() const { return app_.copShotTimer; }
  int shownTotal() const { return app_.shownTotal; }
  int runOver() const { return app_.runOver; }
  float playerX() const { return app_.playerX; }
  float playerY() const { return app_.playerY; }
  float playerSpeed() const { return app_.playerSpeed; }
  float carOffsetX() const { return app_.carOffsetX; }
  float carOffsetY() const { return app_.carOffsetY; }
  float cameraX() const { return app_.cameraX; }
  float cameraY() const { return app_.cameraY; }
  float chaseCarX() const { return app_.chaseCarX; }
  float chaseCarVelocity() const { return app_.chaseCarVelocity; }
  float targetCarX() const { return app_.targetCarX; }
  float targetCarVelocity() const { return app_.targetCarVelocity; }
  float reloadX() const { return app_.reloadX; }
  float reloadY() const { return app_.reloadY; }
  String enteredCode() const { return app_.enteredCode; }
  String targetCode() const { return app_.targetCode; }

  // What the input left: a press held, and whether it was used.
  int touchDown() const { return app_.touchDown; }
  int touchConsumed() const { return app_.touchConsumed; }
  int keyConsumed() const { return app_.keyConsumed; }
  // The keys' highlight in phases 1 and 2: the keypad key or bag it marks,
  // and whether it shows.
  int highlight() const { return app_.highlight; }
  int highlightShown() const { return app_.highlightShown; }

  // The run's cells through their layouts, and all 1024 of them.
  run::BagCells<const int> bag(int bag) const { return run::Bag(Cells(), bag); }
  int cityCell(int column, int row) const { return run::CityCell(Cells(), column, row); }
  run::BulletCells<const int> bullet(int slot) const { return run::Bullet(Cells(), slot); }
  std::vector<int> worldCells() const { return Copy(app_.worldCells); }

  // The draw list as the last update left it.
  int drawRecordCount() const { return app_.drawListLength / kRecordFloats; }
  DrawRecord drawRecord(int index) const {
    return DrawRecord::Read(app_.drawList.Data() +
                            static_cast<std::ptrdiff_t>(index) * kRecordFloats);
  }

  // The saved settings and the score tables.
  std::vector<int> settings() const { return Copy(app_.settings); }
  std::vector<int> highscores() const { return Copy(app_.highscores); }

 private:
  const int* Cells() const { return app_.worldCells.Data(); }
  static std::vector<int> Copy(const Array<int>& values) {
    return {values.begin(), values.begin() + values.Length()};
  }

  const MyApp& app_;
};

}  // namespace vantor
