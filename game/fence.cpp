// Phases 7 and 8 of a run: scaling the fence, and the duck-and-shoot fight
// with a cop at the fence, where holding a press ducks. Also the scenery and
// hit markers these share with the car shootout. Called from MyApp::m_Game
// (run.cpp).
#include <cmath>

#include "game/ids.h"
#include "game/myapp.h"
#include "game/run.h"
#include "modules/random.h"

namespace vantor {

using namespace palette;
using namespace run;
using game::jscrh;
using game::jscrw;

namespace {

constexpr float kPlankPitch = 24;
constexpr int kFencePlanks = 25;
constexpr int kFightFencePlanks = 33;
constexpr float kFenceX = 150;  // where the robber stops running and climbs
constexpr float kClimbRate = 0.3f;
constexpr int kMarkerStanding = 33;
constexpr int kMarkerDown = 34;
constexpr float kBulletMargin = 32;  // how far off screen a bullet is dropped
constexpr float kCopDuckChance = 3;  // in kCopDuckDraw
constexpr float kCopDuckDraw = 50;

}  // namespace

// ---- Scenery shared with the car shootout ------------------------------

// Three markers centred on `centreX`: one per hit still needed or still
// affordable.
void MyApp::DrawHitMarkers(float centreX, float y, int standing) {
  m_ResetDraw();
  for (int i = 1; i <= kHitsToWin; ++i) {
    m_DrawImg(kSpriteSheet, centreX - 48 + 24 * i, y,
              standing >= i ? kMarkerStanding : kMarkerDown);
  }
}

void MyApp::DrawFenceGround() {
  DrawNightSky(jscrh / 28);
  SetColour(kFenceGround, 1);
  m_Rect(-1, jscrh * 0.75f, jscrw + 2, jscrh * 0.1f);
}

void MyApp::DrawFence(int planks, Colour frame, Colour board) {
  for (int j = 0; j < planks; ++j) {
    SetColour(frame, 1);
    m_Rect(kPlankPitch * j, jscrh * 0.3f, 22, jscrh * 0.5f);
    SetColour(board, 1);
    m_Rect(kPlankPitch * j + 1, jscrh * 0.3f + 1, 20, jscrh * 0.5f - 2);
  }
}

// ---- Phase 7: scaling the fence ----------------------------------------

void MyApp::PhaseFence() {
  DrawFenceGround();
  DrawFence(kFencePlanks, kFenceFrame, kFenceBoard);
  m_ResetDraw();
  m_SetSize(2);
  m_DrawImg(kSpriteSheet, jscrw * 0.9f, jscrh * 0.8f, 4);
  m_SetSize(1);
  // Running frames on the ground, climbing frames at the fence.
  if (playerX > kFenceX) {
    m_DrawImg(kSpriteSheet, playerX, playerY, 23 + static_cast<int>(playerX / 50) % 2);
  }
  if (playerX < kFenceX + 1) {
    m_DrawImg(kSpriteSheet, playerX, playerY, 25 + static_cast<int>(playerY / 25) % 2);
  }
  playerX -= playerSpeed;
  RunningRule(1.3f);
  if (playerX < kFenceX) {
    playerX = kFenceX;
    playerY -= playerSpeed * kClimbRate;
  }
  if (playerY < jscrh * 0.3f) {
    phase = kPhaseFenceFight;
    playerPose = copDucking = playerShotTimer = copShotTimer = 0;
    ClearRunCells(worldCells.Data());
  }
  TitleText(T("Scale the Fence"));
}

// ---- Phase 8: the fight at the fence -----------------------------------

void MyApp::PhaseFenceFight() {
  DrawFightScene();
  playerPose = kPoseStanding;
  const bool duckedByKey = DuckByKeys();
  if (touchDown > 0 || duckedByKey) {
    playerPose = kPoseDucking;
    playerShotTimer = 0;
  }
  if (runOver > 0) playerPose = kPoseFallen;
  if (random::Rnd3(kCopDuckDraw) < kCopDuckChance) copDucking = 1 - copDucking;
  if (copDucking == 1) copShotTimer = 0;
  if (playerPose == kPoseStanding) {
    FireWhenDue(playerShotTimer, kPlayerBullet, jscrw * 0.75f, kSfxShot);
  }
  if (copDucking == 0) FireWhenDue(copShotTimer, kCopBullet, jscrw * 0.25f, kSfxCopShot);
  MoveBullets();
  DrawHitMarkers(jscrw * 0.25f, jscrh * 0.55f, hitsLeft);
  DrawHitMarkers(jscrw * 0.75f, jscrh * 0.55f, playerHealth);
  // A lost run keeps this scene going under the game-over overlay, and
  // nothing that happens there any more wins it.
  if (playerHealth < 1) runOver = 1;
  if (hitsLeft < 1 && runOver == 0) {
    phase = kPhaseClosing;
    touchConsumed = 1;
  }
  m_ResetDraw();
  m_SetSize(2);
  m_Text(jscrw * 0.5f, jscrh - 48, T("Shoot the Cops"), 1, 1);
  m_Text(jscrw * 0.5f, jscrh - 24, T("Hold to Duck"), 1, 1);
}

void MyApp::DrawFightScene() {
  DrawFenceGround();
  m_SetSize(-2, 2);  // the car faces the other way here
  SetColour(kWhite);
  m_DrawImg(kSpriteSheet, 64, jscrh * 0.65f, 4);
  m_ResetDraw();
  DrawFence(kFightFencePlanks, kFightFenceFrame, kFightFenceBoard);
  m_ResetDraw();
  m_DrawImg(kSpriteSheet, jscrw * 0.5f, jscrh * 0.75f, 27);
  m_DrawImg(kSpriteSheet, jscrw * 0.25f, jscrh * 0.75f, 30 + copDucking);
  m_DrawImg(kSpriteSheet, jscrw * 0.75f, jscrh * 0.75f, 29 - playerPose);
}

// A shooter fires two updates into every 30-update cycle, into the highest
// free bullet slot; with every slot in flight the shot is skipped.
void MyApp::FireWhenDue(int& shotTimer, int kind, float muzzleX, int sound) {
  shotTimer = (shotTimer + 1) % kShotCycle;
  freeSlot = -1;
  for (int i = kBulletSlots - 1; i >= 0 && freeSlot < 0; --i) {
    if (Bullet(worldCells.Data(), i).kind == kBulletFree) freeSlot = i;
  }
  if (shotTimer != kShotDueAt || freeSlot < 0) return;
  m_PlaySFX(sound, random::Rnd2(0.9f, 1.1f));
  const BulletCells<int> bullet = Bullet(worldCells.Data(), freeSlot);
  bullet.kind = kind;
  bullet.x = static_cast<int>(muzzleX);
}

// The player's bullets fly left at the cop, the cop's fly right at the
// player; a ducked target lets them pass, and so does the cop once the run
// is over: the player's shots still in flight then count for nothing.
void MyApp::MoveBullets() {
  m_ResetDraw();
  SetColour(kSilver, 1);
  auto fly = [&](int& kind, int& x, float step, float targetX, bool exposed, int& standing) {
    m_Rect(x - 4, jscrh * 0.75f - 14, 8, 4);
    x += static_cast<int>(step);
    if (std::abs(x - targetX) < kBulletReach && exposed) {
      kind = kBulletFree;
      standing -= 1;
      m_PlaySFX(kSfxBulletHit);
    }
  };
  for (int i = 0; i < kBulletSlots; ++i) {
    auto [kind, x] = Bullet(worldCells.Data(), i);
    if (kind == kPlayerBullet) {
      fly(kind, x, -kBulletSpeed, jscrw * 0.25f, copDucking == 0 && runOver == 0, hitsLeft);
      if (x < -kBulletMargin) kind = kBulletFree;
    }
    if (kind == kCopBullet) {
      fly(kind, x, kBulletSpeed, jscrw * 0.75f, playerPose == kPoseStanding, playerHealth);
      if (x > jscrw + kBulletMargin) kind = kBulletFree;
    }
  }
}

}  // namespace vantor
