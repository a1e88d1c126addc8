// The end of a run: the closing screen of a won run (phase 9), the
// game-over overlay that slides in over the last scene and away over the
// menu, and entering the run's score into the tables. Called from
// MyApp::m_Game (phase 9) and by the mode machine (m_GameOver in modes 10,
// 1 and 2; m_LoadMenu in mode 2).
#include <algorithm>

#include "game/ids.h"
#include "game/myapp.h"
#include "game/run.h"

namespace vantor {

using namespace palette;
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
  SetColour(kYellow, 1);
  m_Text(jscrw * 0.5f, jscrh * 0.4f, T("Loot Grabbed : ") + String(loot), 1, 1);
  SetColour(kBoxFrame, 1);
  m_Text(jscrw * 0.5f, jscrh * 0.5f, T("Time Bonus : ") + String(kBonusPerUpdate * timeLeft), 1, 1);
  SetColour(kTotalBlue, 1);
  m_Text(jscrw * 0.5f, jscrh * 0.6f, T("Total : ") + m_rstr(shownTotal, 8, T("0")), 1, 1);
  score = kBonusPerUpdate * timeLeft + loot;
  SetColour(kAlertRed, 1);
  m_SetSize(3);
  m_Text(jscrw * 0.5f, jscrh * 0.8f, T("[Game Over]"), 1, 1);
  if (touchConsumed == 0 && touchDown > 0 && runOver == 0) runOver = 1;
  // Any key or button of the run ends it too.
  if (keyConsumed == 0 && runOver == 0 && AnyActionDown()) {
    keyConsumed = 1;
    runOver = 1;
  }
}

// ---- The game-over overlay ---------------------------------------------

int MyApp::m_GameOver() {
  // The rank is decided once, as the run ends, against the tables as they
  // stand before the score goes in.
  if (gameMode == kModeRun && gameOverFrame == 0) {
    m_MyNth();
    highscoreRank = loopIndex;
  }
  DrawGameOver();
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

// The overlay as far as it has come; drawing it moves nothing.
void MyApp::DrawGameOver() {
  if (gameOverFrame <= 0) return;
  SetColour(kBlack, std::min(gameOverFrame / kDarkeningUpdates, kDarkeningMax));
  m_Rect(-1, -1, jscrw + 2, jscrh + 2);
  const int h = std::min(kSlidePerUpdate * gameOverFrame, static_cast<int>(jscrh * 0.45f));
  // Two bands grow in from the left and from the right...
  m_ResetDraw();
  SetColour(kYellow, 0.5f);
  m_Rect(-1, jscrh * 0.45f - 8, 2 * h, 16);
  SetColour(kBandOrange, 0.5f);
  m_Rect(jscrw - 2 * h, jscrh * 0.55f - 8, 2 * h + 1, 16);
  // ...and the two words come in from the top and the bottom edge.
  m_ResetDraw();
  m_SetSize(4);
  SetColour(kGameOverPink, 1);
  m_Text(jscrw * 0.35f, h, T("GAME"), 1, 1);
  m_Text(jscrw * 0.65f, jscrh - h, T("OVER"), 1, 1);
  if (score > 0 && highscoreRank >= 1) DrawNewHighscore(h);
}

// Announced only for a score the tables take, at the rank they take it at;
// a lost or quit run (score 0) never is.
void MyApp::DrawNewHighscore(int slide) {
  m_SetSize(1);
  SetColour(kTotalBlue, 0.5f);
  m_Rect(jscrw * 0.35f, jscrh - slide / 1.5f - 16, jscrw * 0.3f, 32);
  m_SetSize(2);
  SetColour(kCodeGreen, 1);
  m_Text(jscrw * 0.5f, jscrh - slide / 1.5f,
         T("New Highscore\\n           ") + RankText(highscoreRank), 0.5f, 2);
}

// ---- Entering the score ------------------------------------------------

int MyApp::m_LoadMenu() {
  const int best = kTableSize * (scoreTableIndex - 1);
  // The rank decided as the run ended: only a strictly greater score passes
  // an entry, so equal scores stay ahead of the new one.
  scratch = highscoreRank - 1;
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
