// Starting a run, the work every update of a run shares, and the four
// phases inside and in front of the bank: the vault keypad, the cash bags,
// the run through the bank hall and the run to the getaway car. Called by
// the mode machine (modes 11 and 10). The later phases live in chase.cpp,
// fence.cpp and ending.cpp.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/ids.h"
#include "game/myapp.h"
#include "game/run.h"
#include "modules/random.h"

namespace vantor {

using namespace palette;
using namespace run;
using game::jscrh;
using game::jscrw;
using random::Rnd2;
using random::Rnd3;

namespace {

// The keypad (game/ids.h) stands on a panel reaching this far beyond it.
constexpr float kPanelMargin = 48;

// The shown total closes a sixth of its distance to the score per update.
constexpr int kTotalRollSteps = 6;

// Bag values are 500 times a whole number from 2 to 9.
constexpr int kBagValueUnit = 500;
// The draw of that number, floored.
constexpr float kBagUnitsLow = 2;
constexpr float kBagUnitsHigh = 10;
// Bags lie this far in from either side, from this far above the bottom
// down to the second distance above it.
constexpr float kBagSideMargin = 100;
constexpr float kBagBandTop = 200;
constexpr float kBagBandBottom = 100;
// A code digit, 0 to 9: the draw truncated.
constexpr float kDigitDraw = 9.9f;

// A key's value from its place, or -1 where the grid has no key.
int KeypadValue(int row, int column, int counter) {
  if (row < kKeypadRows - 1) return counter;
  if (column < kZeroColumn) return -1;
  return column == kZeroColumn ? 0 : kClearKey;
}

}  // namespace

int MyApp::m_LoadGame() {
  score = 0;
  runOver = 0;
  gameOverFrame = 0;
  gameMode = kModeRun;
  // A pause left over from the last run's ending does not carry over.
  ClosePauseMenu();
  random::Seed = app::Millisecs();
  loot = 0;
  bagsGrabbed = 0;
  enteredCode = String();
  targetCode = String();
  for (int i = 0; i < kCodeLength; ++i) {
    targetCode += String(static_cast<int>(Rnd3(kDigitDraw)));
  }
  chaseCarX = jscrw * 0.4f;
  targetCarX = jscrw * 0.6f;
  chaseCarVelocity = 0;
  targetCarVelocity = 0;
  phase = kPhaseKeypad;
  highlightShown = 0;
  timeLeft = kRunUpdates;
  playerShotTimer = 0;
  copShotTimer = 0;
  playerPose = 0;
  copDucking = 0;
  ClearRunCells(worldCells.Data());
  playerX = jscrw * 0.8f;
  playerY = jscrh * 0.8f;
  hitsLeft = kHitsToWin;
  playerHealth = kHitsToWin;
  doorSoundPlayed = 0;
  reloadNeeded = 0;
  sfxTimer = kFirstAlarmTimer;
  return 0;
}

int MyApp::m_Game() {
  m_CLS2D(kBackdrop.red, kBackdrop.green, kBackdrop.blue, 1);
  switch (phase) {
    case kPhaseKeypad:
      PhaseKeypad();
      break;
    case kPhaseCash:
      PhaseCash();
      break;
    case kPhaseBankHall:
      PhaseBankHall();
      break;
    case kPhaseStreet:
      PhaseStreet();
      break;
    case kPhaseChase:
      PhaseChase();
      break;
    case kPhaseCarShootout:
      PhaseCarShootout();
      break;
    case kPhaseFence:
      PhaseFence();
      break;
    case kPhaseFenceFight:
      PhaseFenceFight();
      break;
    case kPhaseClosing:
      PhaseClosing();
      break;
    default:
      break;
  }
  // The total on the closing screen rolls toward the score.
  shownTotal -= (shownTotal - score) / kTotalRollSteps;
  if (std::abs(shownTotal - score) < kTotalRollSteps) shownTotal = score;
  if (phase <= kPhaseFenceFight) {
    // Running out of time ends nothing; it only leaves no time bonus.
    if (timeLeft > 0) timeLeft -= 1;
    score = 0;
    m_ResetDraw();
    const int wholeSeconds = timeLeft / kUpdateRate;  // shown as the framework prints a float
    m_Text(jscrw - 32, jscrh - 32, String(static_cast<float>(wholeSeconds)), 2, 2);
  }
  return 0;
}

// ---- Pieces shared by several phases ----------------------------------

void MyApp::TitleText(String text) {
  m_ResetDraw();
  m_SetSize(2);
  m_Text(jscrw * 0.5f, jscrh - 32, text, 1, 1);
}

void MyApp::SoundAlarm(float volume, float pan) {
  sfxTimer += 1;
  if (sfxTimer >= kAlarmPeriod) {
    sfxTimer = 0;
    m_PlaySFX(kSfxAlarm, 1, volume, pan);
  }
}

// Only a new press adds speed, a tap or a press of the fire key, so the
// robber runs only while the player keeps tapping; the speed stays below
// 12 units per update.
void MyApp::RunningRule(float maxStepRate) {
  const bool tapped = touchDown > 0 && touchConsumed == 0;
  if (tapped) touchConsumed = 1;
  if (tapped || TakeKey({kActionFire})) {
    playerSpeed += kStepBoost;
    m_PlaySFX(kSfxStep, Rnd2(0.7f, maxStepRate));
  }
  if (playerSpeed > kTopSpeed) {
    playerSpeed = kTopSpeedCut;
  } else if (playerSpeed > 0) {
    playerSpeed -= kSpeedDecay;
  }
  if (playerSpeed < 0) playerSpeed = 0;
}

// Seventeen bands from black to a deep blue: the upper part of a night sky.
void MyApp::DrawNightSky(float bandHeight) {
  for (int band = 0; band < 17; ++band) {
    const auto step = static_cast<float>(band);
    m_SetCol(kSkyStep.red * step, kSkyStep.green * step, kSkyStep.blue * step, 1);
    m_Rect(-1, bandHeight * band, jscrw + 2, bandHeight);
  }
}

// ---- Phase 1: the vault keypad ----------------------------------------

void MyApp::PhaseKeypad() {
  const int bx = static_cast<int>(jscrw * 0.5f - kKeypadHalf);
  const int by = static_cast<int>(jscrh * 0.5f - kKeypadHalf);
  playerX = 40;
  SoundAlarm(1, 0);
  SetColour(kStone, 1);
  m_Rect(bx - kPanelMargin, by - kPanelMargin, 248, 320);
  const int typedByKey = KeypadByKeys();
  int counter = 0;
  for (int row = 0; row < kKeypadRows; ++row) {
    for (int column = 0; column < kKeypadColumns; ++column) {
      counter += 1;
      keyDigit = KeypadValue(row, column, counter);
      if (keyDigit < 0) continue;
      const float x = bx + kKeyPitch * column, y = by + kKeyPitch * row;
      if (highlightShown == 1 && highlight == counter - 1) DrawKeyHighlight(x, y);
      SetColour(kKeyGreen, 1);
      const String label = keyDigit == kClearKey ? T("C") : String(keyDigit);
      if (m_Touch(x, y, kKeySize, kKeySize, label) && touchConsumed == 0 && keyConsumed == 0) {
        touchConsumed = 1;
        PressKeypadKey();
      }
    }
  }
  if (typedByKey >= 0) {
    keyDigit = typedByKey;
    PressKeypadKey();
  }
  SetColour(kCodeGreen, 0.8f);
  m_SetSize(2);
  m_Text(jscrw * 0.5f, 32, targetCode, 1, 1);
  // Right-code colour only while every digit typed so far matches; digits
  // typed past the code's length are shown too.
  SetColour(kRightCode, 1);
  if (!targetCode.StartsWith(enteredCode)) SetColour(kWrongCode, 0.5f);
  const int shownLength = std::max(kCodeLength, enteredCode.Length());
  m_Text(jscrw * 0.5f, 52, m_lstr(enteredCode, shownLength, T(" ")), 1, 1);
  if (enteredCode == targetCode) {
    phase = kPhaseCash;
    highlightShown = 0;
    m_PlaySFX(kSfxCodeAccepted);
    m_PlaySFX(kSfxVaultOpens);
  }
  LayOutCashBags();
  TitleText(T("Enter the Code"));
}

// The key `keyDigit` pressed, by the pointer or a key. The clear key first
// goes in as "10", so its "0" is judged like a digit before the code is
// emptied.
void MyApp::PressKeypadKey() {
  m_PlaySFX(kSfxChime);
  enteredCode += String(keyDigit);
  const int last = enteredCode.Length() - 1;
  if (last < kCodeLength - 1) {
    const bool right = last < targetCode.Length() && enteredCode[last] == targetCode[last];
    m_PlaySFX(right ? kSfxDigitRight : kSfxDigitWrong);
  }
  if (keyDigit == kClearKey) {
    enteredCode = String();
    m_PlaySFX(kSfxCodeCleared);
  }
}

// Redrawn on every update of phase 1; the last layout is the one played.
void MyApp::LayOutCashBags() {
  for (int bag = 0; bag < kCashBags; ++bag) {
    const BagCells<int> record = Bag(worldCells.Data(), bag);
    record.lying = 1;
    record.x = static_cast<int>(Rnd2(kBagSideMargin, jscrw - kBagSideMargin));
    record.y = static_cast<int>(Rnd2(jscrh - kBagBandTop, jscrh - kBagBandBottom));
    record.value = kBagValueUnit * static_cast<int>(std::floor(Rnd2(kBagUnitsLow, kBagUnitsHigh)));
  }
}

// ---- Phase 2: the cash bags -------------------------------------------

void MyApp::PhaseCash() {
  SetColour(kWall);
  m_Rect(-1, -1, jscrw + 2, jscrh + 2);
  SetColour(kWhite, 1);
  SoundAlarm(1, 0);
  const int grabbedByKey = CashByKeys();
  // Under every bag, so that no bag lying over the marked one is tinted.
  if (highlightShown == 1) {
    const BagCells<int> marked = Bag(worldCells.Data(), highlight);
    DrawBagHighlight(marked.x, marked.y);
  }
  for (int bag = 0; bag < kCashBags; ++bag) {
    const BagCells<int> record = Bag(worldCells.Data(), bag);
    if (record.lying == 0) continue;
    if (m_Button(kSpriteSheet, record.x, record.y, 0) && touchConsumed == 0 && keyConsumed == 0) {
      touchConsumed = 1;
      keyConsumed = 1;
      GrabBag(bag);
    }
  }
  if (grabbedByKey >= 0) {
    GrabBag(grabbedByKey);
    const BagCells<int> grabbed = Bag(worldCells.Data(), grabbedByKey);
    highlight = NearestBag(grabbed.x, grabbed.y);
  }
  if (bagsGrabbed == kBagsToGrab) phase = kPhaseBankHall;
  TitleText(T("Grab Some Cash"));
}

void MyApp::GrabBag(int bag) {
  const BagCells<int> record = Bag(worldCells.Data(), bag);
  record.lying = 0;
  loot += record.value;
  bagsGrabbed += 1;
  m_PlaySFX(kSfxBagGrabbed);
}

// ---- Phase 3: out through the bank hall --------------------------------

void MyApp::PhaseBankHall() {
  SoundAlarm(0.8f, -0.5f);
  SetColour(kWall, 1);
  m_Rect(-1, -1, jscrw, jscrh * 0.7f);
  SetColour(kFloor, 1);
  m_Rect(-1, jscrh * 0.7f, jscrw, jscrh * 0.4f);
  SetColour(kBlack);
  m_Rect(jscrw * 0.5f - 64, jscrh * 0.15f - 24, 128, 48);
  SetColour(kSignYellow, 1);
  m_SetSize(3);
  m_Text(jscrw * 0.5f, jscrh * 0.15f, T("  BANK"), 1, 1);
  m_ResetDraw();
  m_SetSize(1);
  m_DrawImg(kSpriteSheet, playerX, jscrh * 0.75f, 1 + static_cast<int>(playerX / 50) % 2);
  // Pillars in front of the robber.
  for (const float x : {jscrw * 0.3f, jscrw * 0.7f}) {
    SetColour(kSilver);
    m_Rect(x, -1, 32, jscrh * 0.85f);
    SetColour(kPillarShadow, 1);
    m_Rect(x + 2, -1, 30, jscrh * 0.85f);
    SetColour(kStone, 1);
    m_Rect(x + 2, -1, 28, jscrh * 0.85f);
  }
  playerX += playerSpeed;
  RunningRule(1.4f);
  if (playerX > jscrw) {
    phase = kPhaseStreet;
    playerX = 0;
    playerSpeed = 0;
  }
  TitleText(T("Run!!"));
}

// ---- Phase 4: to the getaway car ---------------------------------------

void MyApp::PhaseStreet() {
  SoundAlarm(0.3f, -1);  // the alarm is far behind now
  DrawNightSky(jscrh / 28);
  SetColour(kStreet, 1);
  m_Rect(-1, jscrh * 0.7f, jscrw * 0.75f, jscrh * 0.2f);
  SetColour(kWall);
  m_Rect(-1, -1, jscrw * 0.4f, jscrh * 0.7f);
  SetColour(kFloor);
  m_Rect(-1, jscrh * 0.7f, jscrw * 0.4f, jscrh * 0.4f);
  SetColour(kSignYellow, 1);
  m_SetSize(3);
  m_SetRot(-12);
  m_Text(jscrw * 0.2f, jscrh * 0.15f, T("  BANK"), 1, 1);
  // The robber passes between the back and the front half of the car.
  const float carX = jscrw * 0.75f, carY = jscrh * 0.75f;
  m_ResetDraw();
  m_SetSize(2);
  m_DrawImg(kSpriteSheet, carX, carY, 4);
  m_SetSize(1);
  int frame = 1 + static_cast<int>(playerX / 50) % 2;
  if (playerX > 0.7f * jscrw) {
    frame = 3;
    playerSpeed = 6;
  }
  m_DrawImg(kSpriteSheet, playerX, carY, frame);
  m_SetSize(2);
  m_DrawImg(kSpriteSheet, carX, carY, 5);
  playerX += playerSpeed;
  RunningRule(1.4f);
  if (playerX > jscrw * 0.8f) {
    if (doorSoundPlayed == 0) {
      doorSoundPlayed = 1;
      m_PlaySFX(kSfxDoor);
    }
    cameraX = cameraY = kCityStart;
    phase = kPhaseChase;
    carOffsetX = carOffsetY = 0;
    m_PlacePolice();
    playerX = playerY = kCityStart;
    playerSpeed = 0;
    carHeading = kNorth;
  }
  TitleText(T("Get in the Car"));
}

}  // namespace vantor
