// Phases 5 and 6 of a run: the chase through the city grid, where ten police
// cars must be rammed, and the shootout from the getaway car with its reload
// prompt. Also places the police (MyApp::m_PlacePolice). Called from
// MyApp::m_Game (run.cpp).
#include <algorithm>
#include <cmath>

#include "game/ids.h"
#include "game/myapp.h"
#include "game/run.h"
#include "modules/app.h"
#include "modules/random.h"

namespace vantor {

using namespace palette;
using namespace run;
using game::jscrh;
using game::jscrw;
using random::Rnd2;
using random::Rnd3;

namespace {

constexpr float kPoliceChance = 25;  // percent of cells holding a police car
constexpr float kPercent = 100;
// A police car's look, 1 to 4: the draw truncated.
constexpr float kPoliceLookLow = 1;
constexpr float kPoliceLookHigh = 4.9f;
constexpr int kPoliceFrameBase = 16;  // police car v (1-4) is frame 16 + v
constexpr int kWreckFrameFirst = 12;
constexpr int kWreckFramesEvery = 4;  // updates per wreck frame
constexpr int kCarFrameNorth = 6;     // frames 6-9: north, east, south, west
constexpr float kCameraEase = 0.125f;

constexpr float kLampSpacing = 60;
constexpr float kLampScroll = 6;
constexpr int kLamps = 11;
constexpr float kCarDriftLimit = 12;
constexpr float kDriftChance = 3;  // in kDriftDraw
constexpr float kDriftDraw = 20;
constexpr float kReloadWidth = 128;
constexpr float kReloadHeight = 32;
// The reload prompt lands this far inside the left, right and top edges, in
// the screen's upper half.
constexpr float kReloadMargin = 32;
constexpr int kBlinkPeriodMs = 600;

// The direction a car faces: its heading, or the one a pending turn leads to.
int FacingOf(int heading) {
  if (heading >= kTurnRight) return (heading - kTurnRight + 1) % 4;
  if (heading >= kTurnLeft) return (heading - kTurnLeft + 3) % 4;
  return heading;
}

}  // namespace

int MyApp::m_PlacePolice() {
  copsToRam = kCopsToRam;
  // The same city in every run; every later draw of the run follows from it.
  random::Seed = kPoliceSeed;
  for (int column = 0; column < kCityCells; ++column) {
    for (int row = 0; row < kCityCells; ++row) {
      int& cell = CityCell(worldCells.Data(), column, row);
      cell = 0;
      if (Rnd3(kPercent) < kPoliceChance)
        cell = static_cast<int>(Rnd2(kPoliceLookLow, kPoliceLookHigh));
    }
  }
  return 0;
}

// ---- Phase 5: the chase -------------------------------------------------

void MyApp::PhaseChase() {
  cameraX -= (cameraX - (playerX + carOffsetX - kCarHalfSize - jscrw * 0.5f)) * kCameraEase;
  cameraY -= (cameraY - (playerY + carOffsetY - kCarHalfSize - jscrh * 0.5f)) * kCameraEase;
  const float carScreenX = playerX + carOffsetX - cameraX - kCarHalfSize;
  const float carScreenY = playerY + carOffsetY - cameraY - kCarHalfSize;
  sfxTimer = static_cast<int>(sfxTimer + Rnd3(2));
  if (sfxTimer >= kEnginePeriod) {
    sfxTimer = 0;
    m_PlaySFX(carHeading <= kWest ? kSfxEngine : kSfxEngineTurning, Rnd2(0.8f, 1.2f));
  }
  DrawCityAndRam(carScreenX, carScreenY);
  BounceAtCityEdge();
  m_ResetDraw();
  // Drawn before it moves, facing where a pending turn will take it.
  m_DrawImg(kSpriteSheet, carScreenX, carScreenY, kCarFrameNorth + FacingOf(carHeading));
  MoveCar();
  SteerCar();
  if (copsToRam < 1) {
    phase = kPhaseCarShootout;
    touchConsumed = 1;
  }
  TitleText(T("Destroy ") + String(copsToRam) + T(" cops"));
}

// Blocks with streets between them; police cars and wrecks stand on the
// crossings. A car within reach of the getaway car's position is rammed.
void MyApp::DrawCityAndRam(float carScreenX, float carScreenY) {
  for (int column = 0; column < kCityCells; ++column) {
    for (int row = 0; row < kCityCells; ++row) {
      const int sx = static_cast<int>(kCityCell * column - cameraX);
      const int sy = static_cast<int>(kCityCell * row - cameraY);
      if (sx <= -kCityCell || sy <= -kCityCell || sx >= jscrw || sy >= jscrh) continue;
      SetColour(kStone, 1);
      m_Rect(sx, sy, kCityBlock, kCityBlock);
      int& cell = CityCell(worldCells.Data(), column, row);
      const float crossX = sx + kCrossingOffset, crossY = sy + kCrossingOffset;
      if (cell >= 1 && cell < kWreckFirst) {
        SetColour(kWhite);
        m_DrawImg(kSpriteSheet, crossX, crossY, cell + kPoliceFrameBase);
        if (std::abs(crossX - carScreenX) < kRamReach &&
            std::abs(crossY - carScreenY) < kRamReach) {
          cell = kWreckFirst;
          copsToRam -= 1;
          m_PlaySFX(kSfxRam);
        }
      }
      if (cell >= kWreckFirst) {
        SetColour(kWhite);
        m_DrawImg(kSpriteSheet, crossX, crossY,
                  kWreckFrameFirst + (cell - kWreckFirst) / kWreckFramesEvery);
        cell += 1;
        if (cell > kWreckLast) cell = 0;
      }
    }
  }
}

// Near an edge of the city the car turns back inward, dropping any turn.
void MyApp::BounceAtCityEdge() {
  if (playerX < kCityEdgeLow) carHeading = kEast;
  if (playerY < kCityEdgeLow) carHeading = kSouth;
  if (playerX > kCityEdgeHigh) carHeading = kWest;
  if (playerY > kCityEdgeHigh) carHeading = kNorth;
}

// One step per direction, north, east, south, west, each seeing the heading
// the step before left. A pending turn drives at half speed and takes effect
// when the car passes the next grid line.
void MyApp::MoveCar() {
  for (int direction = kNorth; direction <= kWest; ++direction) {
    const bool vertical = direction == kNorth || direction == kSouth;
    const float sign = direction == kNorth || direction == kWest ? -1.0f : 1.0f;
    float& offset = vertical ? carOffsetY : carOffsetX;
    float& line = vertical ? playerY : playerX;
    const bool turningLeft = carHeading == direction + kTurnLeft;
    const bool turningRight = carHeading == direction + kTurnRight;
    if (carHeading == direction) {
      offset += sign * kCarSpeed;
    } else if (turningLeft || turningRight) {
      offset += sign * kCarSpeed / 2;
    }
    if (offset * sign > kCityCell) {
      offset -= sign * kCityCell;
      line += sign * kCityCell;
      if (turningLeft) carHeading = (direction + 3) % 4;
      if (turningRight) carHeading = (direction + 1) % 4;
    }
  }
}

// A press on the left half or the left key asks for a left turn, on the
// right half or the right key for a right turn; only one turn can be
// pending, and a press made while one is waits for it.
void MyApp::SteerCar() {
  if (carHeading > kWest) return;
  if (touchDown > 0 && touchConsumed == 0) {
    if (mouseX < jscrw * 0.5f) {
      carHeading += kTurnLeft;
      touchConsumed = 1;
    } else if (mouseX > jscrw * 0.5f) {
      carHeading += kTurnRight;
      touchConsumed = 1;
    }
  }
  if (carHeading > kWest) return;
  if (TakeKey({kActionLeft})) {
    carHeading += kTurnLeft;
  } else if (TakeKey({kActionRight})) {
    carHeading += kTurnRight;
  }
}

// ---- Phase 6: the shootout from the car --------------------------------

void MyApp::PhaseCarShootout() {
  sfxTimer += 1;
  if (sfxTimer >= kSirenPeriod) {
    sfxTimer = 0;
    m_PlaySFX(kSfxSiren);
  }
  DrawNightSky(static_cast<int>(jscrh / 28));
  DrawStreetLamps();
  DriftCars();
  m_ResetDraw();
  m_DrawImg(kSpriteSheet, chaseCarX - 32, jscrh * 0.7f, 40);
  m_DrawImg(kSpriteSheet, chaseCarX + 31, jscrh * 0.7f, 41);
  lastResult = m_Button(kSpriteSheet, targetCarX - 32, jscrh * 0.8f, 42) +
               m_Button(kSpriteSheet, targetCarX + 31, jscrh * 0.8f, 43);
  DrawHitMarkers(targetCarX, jscrh * 0.9f, hitsLeft);
  TitleText(T("Shoot the Cops"));
  ShootFromCar();
  if (reloadNeeded == 1) ReloadPrompt();
}

// Lamps on both sides stream outward and grow as they pass; `playerX` is
// their scroll position in this phase.
void MyApp::DrawStreetLamps() {
  playerX = std::fmod(playerX + kLampScroll, kLampSpacing);
  for (int i = 0; i < kLamps; ++i) {
    const float w = playerX / kLampSpacing + i;
    const float d = kLampSpacing * i + playerX;
    const int s = static_cast<int>(d * 0.25f + 100);
    const float top = jscrh * 0.5f - s;
    const int xL = static_cast<int>(jscrw * 0.5f - d);
    const int xR = static_cast<int>(jscrw * 0.5f + d);
    // A pole, its light and the arm that holds it toward the road.
    auto lamp = [&](float poleX, float armX, float lightX) {
      SetColour(kLampPost, 1);
      m_Rect(poleX, top, w, 1.5f * s);
      SetColour(kSignYellow, 0.5f);
      m_Rect(lightX, top, 4 * w, 2 * w);
      SetColour(kLampPost, 1);
      m_Rect(armX, top, 10 * w, w);
    };
    lamp(xL, xL, xL + 6 * w);
    lamp(xR, xR - 10 * w, xR - 10 * w);
  }
}

void MyApp::DriftCars() {
  if (Rnd3(kDriftDraw) < kDriftChance) chaseCarVelocity = Rnd2(-kCarDriftLimit, kCarDriftLimit);
  if (Rnd3(kDriftDraw) < kDriftChance) targetCarVelocity = Rnd2(-kCarDriftLimit, kCarDriftLimit);
  chaseCarX = std::clamp(chaseCarX + chaseCarVelocity, jscrw * 0.2f, jscrw * 0.8f);
  targetCarX = std::clamp(targetCarX + targetCarVelocity, jscrw * 0.15f, jscrw * 0.85f);
}

// Every shot, hit or miss, needs a reload before the next one. A tap hits
// when it lands on the police car; the fire key aims at it, and hits.
void MyApp::ShootFromCar() {
  if (reloadNeeded != 0) return;
  bool hit = true;
  if (touchDown > 0 && touchConsumed == 0) {
    touchConsumed = 1;
    hit = lastResult > 0;
  } else if (!TakeKey({kActionFire})) {
    return;
  }
  reloadNeeded = 1;
  if (hit) {
    hitsLeft -= 1;
    if (hitsLeft < 1) {
      hitsLeft = kHitsToWin;
      phase = kPhaseFence;
      playerX = jscrw * 0.8f;
      playerY = jscrh * 0.8f;
      m_PlaySFX(kSfxCarStopped);
    }
  }
  MoveReloadPrompt();
  if (hit) {
    m_PlaySFX(kSfxShot, 0.5f);
    m_PlaySFX(kSfxCarHit);
  } else {
    m_PlaySFX(kSfxCopShot);
  }
}

void MyApp::ReloadPrompt() {
  SetColour(kPromptYellow, 0.5f);
  if (std::abs(app::Millisecs()) % kBlinkPeriodMs < kBlinkPeriodMs / 2) {
    SetColour(kAlertRed, 0.5f);
  }
  m_SetSize(1);
  m_Rect(reloadX - kReloadWidth / 2, reloadY - kReloadHeight / 2, kReloadWidth, kReloadHeight);
  SetColour(kWhite);
  m_SetSize(3);
  m_Text(reloadX, reloadY, T("RELOAD"), 0.75f, 0.75f);
  // The reload key, or the fire key while the prompt shows, reloads.
  const bool tapped = touchDown > 0 && touchConsumed == 0;
  if (!tapped && !TakeKey({kActionReload, kActionFire})) return;
  if (!tapped || m_MouseIn_Centered(reloadX, reloadY, kReloadWidth, kReloadHeight)) {
    reloadNeeded = 0;
    m_PlaySFX(kSfxDoor);
  } else {
    m_PlaySFX(kSfxEngine);
  }
  MoveReloadPrompt();
  if (tapped) touchConsumed = 1;
}

void MyApp::MoveReloadPrompt() {
  reloadX = Rnd2(kReloadMargin, jscrw - kReloadMargin);
  reloadY = Rnd2(kReloadMargin, jscrh * 0.5f);
}

}  // namespace vantor
