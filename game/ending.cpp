// The end of a run: the closing screen of a won run (phase 9), the
// game-over overlay that slides in over the last scene and away over the
// menu, and entering the run's score into the tables. Called from
// MyApp::m_Game (phase 9) and by the mode machine (m_GameOver in modes 10,
// 1 and 2; m_LoadMenu in mode 2).
#include <algorithm>

#include "game/myapp.h"
#include "game/run.h"

namespace vantor {

using namespace run;
using game::jscrh;
using game::jscrw;

namespace {

constexpr int kSlidePerUpdate = 12;
constexpr float kDarkeningUpdates = 40;
constexpr float kDarkeningMax = 0.7f;
constexpr int kOverlayFadeStep = 2;

}  // namespace

// ---- Phase 9: the closing screen ---------------------------------------

void MyApp::PhaseClosing() {
  m_ResetDraw();
  m_SetSize(3);
  m_Text(jscrw * 0.5f, 32, T("Congratulations"), 1, 1);
  m_SetSize(2);
  m_Text(64, 64, T("You escaped with the loot,\\nand lived to spend it!"), 0, 0);
  m_SetCol(255, 255, 0, 1);
  m_Text(jscrw * 0.5f, jscrh * 0.4f, T("Loot Grabbed : ") + String(loot), 1, 1);
  m_SetCol(255, 125, 0, 1);
  m_Text(jscrw * 0.5f, jscrh * 0.5f, T("Time Bonus : ") + String(kBonusPerUpdate * timeLeft), 1,
         1);
  m_SetCol(0, 125, 255, 1);
  m_Text(jscrw * 0.5f, jscrh * 0.6f, T("Total : ") + m_rstr(shownTotal, 8, T("0")), 1, 1);
  score = kBonusPerUpdate * timeLeft + loot;
  m_SetCol(255, 100, 100, 1);
  m_SetSize(3);
  m_Text(jscrw * 0.5f, jscrh * 0.8f, T("[Game Over]"), 1, 1);
  if (touchConsumed == 0 && touchDown > 0 && runOver == 0) runOver = 1;
}

// ---- The game-over overlay ---------------------------------------------

int MyApp::m_GameOver() {
  if (gameOverFrame > 0) {
    m_SetCol(0, 0, 0, std::min(gameOverFrame / kDarkeningUpdates, kDarkeningMax));
    m_Rect(-1, -1, jscrw + 2, jscrh + 2);
    const int h = std::min(kSlidePerUpdate * gameOverFrame, static_cast<int>(jscrh * 0.45f));
    // Two bands grow in from the left and from the right...
    m_ResetDraw();
    m_SetCol(255, 255, 0, 0.5f);
    m_Rect(-1, jscrh * 0.45f - 8, 2 * h, 16);
    m_SetCol(255, 128, 0, 0.5f);
    m_Rect(jscrw - 2 * h, jscrh * 0.55f - 8, 2 * h + 1, 16);
    // ...and the two words come in from the top and the bottom edge.
    m_ResetDraw();
    m_SetSize(4);
    m_SetCol(255, 180, 180, 1);
    m_Text(jscrw * 0.35f, h, T("GAME"), 1, 1);
    m_Text(jscrw * 0.65f, jscrh - h, T("OVER"), 1, 1);
    m_MyNth();
    if (score > 0 && loopIndex >= 1) DrawNewHighscore(h);
  }
  if (gameMode == kModeRun) {
    // The last scene keeps running under the overlay, then the menu takes over.
    gameOverFrame += 1;
    if (gameOverFrame >= kOverlayUpdates) {
      gameMode = kModeEnterScore;
      gameOverFrame = kOverlayHandOver;
    }
  } else if (gameMode < kModeRun) {
    gameOverFrame = std::max(gameOverFrame - kOverlayFadeStep, 0);
  }
  return 0;
}

// Announced only for a score the tables will take at that rank; a lost or
// quit run (score 0) never is.
void MyApp::DrawNewHighscore(int slide) {
  m_SetSize(1);
  m_SetCol(0, 125, 255, 0.5f);
  m_Rect(jscrw * 0.35f, jscrh - slide / 1.5f - 16, jscrw * 0.3f, 32);
  m_SetSize(2);
  m_SetCol(100, 255, 100, 1);
  m_Text(jscrw * 0.5f, jscrh - slide / 1.5f, T("New Highscore\\n           ") + m_MyNth(), 0.5f,
         2);
}

// ---- Entering the score ------------------------------------------------

int MyApp::m_LoadMenu() {
  const int best = kTableSize * (scoreTableIndex - 1);
  // Only a strictly greater score enters the best ten, so equal scores stay
  // ahead of the new one.
  scratch = -1;
  for (int i = 0; i < kTableSize && scratch < 0; ++i) {
    if (score > highscores[best + i]) scratch = i;
  }
  if (scratch >= 0) {
    for (int i = best + kTableSize - 1; i > best + scratch; --i) highscores[i] = highscores[i - 1];
    highscores[best + scratch] = score;
  }
  const int recent = best + kRecentOffset;
  for (int i = recent + kTableSize - 1; i > recent; --i) highscores[i] = highscores[i - 1];
  highscores[recent] = score;
  m_Save();
  return 0;
}

}  // namespace vantor
