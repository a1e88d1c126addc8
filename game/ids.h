// The game's ids: the numbers by which its parts name one another (modes,
// phases of a run, image slots, sound numbers, actions, saved settings) and
// the layout of the vault keypad and the on-screen pad that a player, the
// replay tool's bot and the tests all aim at. Each is written here once;
// the game (game/), the replay tool (tools/replay/), the benchmarks and the
// tests include this header instead of repeating a number.
#pragma once

namespace vantor {

// ---- Modes of the mode machine (MyApp::gameMode) -------------------------

inline constexpr int kModeMenu = 1;
// After a run's overlay: the score goes into the tables, then the menu.
inline constexpr int kModeEnterScore = 2;
// No screen of the game; the modes above it are where the on-screen pad may
// show and where the rate display is hidden (at this very mode).
inline constexpr int kModeNoScreen = 5;
inline constexpr int kModeRun = 10;
inline constexpr int kModeStartRun = 11;
// Modes from here on are a run: suspending there pauses it.
inline constexpr int kFirstRunMode = kModeRun;

// ---- Phases of a run (MyApp::phase) ---------------------------------------

inline constexpr int kPhaseKeypad = 1;
inline constexpr int kPhaseCash = 2;
inline constexpr int kPhaseBankHall = 3;
inline constexpr int kPhaseStreet = 4;
inline constexpr int kPhaseChase = 5;
inline constexpr int kPhaseCarShootout = 6;
inline constexpr int kPhaseFence = 7;
inline constexpr int kPhaseFenceFight = 8;
inline constexpr int kPhaseClosing = 9;

// ---- Image slots (MyApp::images), as the loader fills them ----------------

inline constexpr int kSpriteSheet = 1;   // "gfx": 64 x 64 frames; frame 0 is a cash bag
inline constexpr int kBadgeIcons = 80;   // "BadgesA": one 64 x 64 icon per badge
inline constexpr int kFontSheet = 90;    // "fonts/editundo"
inline constexpr int kIcadeIcons = 92;   // "common/icade": off and on
inline constexpr int kMakerLogo = 93;    // "common/ZOVALogo": the loader's and the credits'
inline constexpr int kPadSheet = 94;     // "common/dpad": the on-screen pad
inline constexpr int kButtonSheet = 95;  // "common/Buttons"
inline constexpr int kPartsSheet = 96;   // "parts"
inline constexpr int kIconSheet = 97;    // "common/icons": pause, quit, sound...
inline constexpr int kTitleLogo = 98;    // "logo"
inline constexpr int kMenuArt = 99;      // "menu": the title menu's layers

// ---- Sound numbers (MyApp::sounds; file sfx/0NN.wav) ----------------------

inline constexpr int kSfxDigitRight = 1;
inline constexpr int kSfxDigitWrong = 2;
inline constexpr int kSfxCodeCleared = 3;
inline constexpr int kSfxCodeAccepted = 4;
inline constexpr int kSfxVaultOpens = 5;
inline constexpr int kSfxBagGrabbed = 6;
inline constexpr int kSfxStep = 7;
inline constexpr int kSfxDoor = 8;    // also a successful reload
inline constexpr int kSfxEngine = 9;  // also a press beside the reload prompt
inline constexpr int kSfxEngineTurning = 10;
inline constexpr int kSfxRam = 11;
inline constexpr int kSfxCarStopped = 13;
inline constexpr int kSfxShot = 14;     // also a hit on the police car
inline constexpr int kSfxCopShot = 15;  // also a missed shot at the police car
inline constexpr int kSfxBulletHit = 16;
inline constexpr int kSfxCarHit = 17;
inline constexpr int kSfxAlarm = 18;
inline constexpr int kSfxSiren = 19;
inline constexpr int kSfxSpare = 95;  // loaded with the menu's sounds; nothing plays it
inline constexpr int kSfxClick = 98;
inline constexpr int kSfxChime = 99;

// ---- Actions (MyApp::m_PlayKey) ---------------------------------------------

// An action's control latch (MyApp::virtualKeys) has the action's number,
// but for the back action, whose latches are kBackLatches.
inline constexpr int kActionUp = 0;
inline constexpr int kActionLeft = 3;
inline constexpr int kActionRight = 5;
inline constexpr int kActionDown = 8;
inline constexpr int kActionFire = 10;        // Z, J, Space, Enter; the pad's first button
inline constexpr int kActionFire2 = 11;       // X, K, Ctrl; the pad's second button
inline constexpr int kActionFire3 = 12;       // C, L, Shift
inline constexpr int kActionFire4 = 13;       // V, I
inline constexpr int kActionLastButton = 17;  // the start keys of the menu run to here
// Escape, Backspace, Delete: pause a run, close a box, leave the pause menu.
inline constexpr int kActionBack = 99;
inline constexpr int kBackLatches[] = {16, 17};
// The run's own actions, numbered past the menu's start keys so that none
// of them starts a run. They have no latch of their own: an iCade reaches
// reload and duck through the latches of the buttons a pad uses for them.
inline constexpr int kActionReload = 20;  // R; the pad's third button
inline constexpr int kActionDuck = 21;    // Down, S, Shift; the pad's second button, down
inline constexpr int kActionClear = 22;   // C: the keypad's clear key
inline constexpr int kActionDigit0 = 30;  // digit d (number row or numpad) is 30 + d
inline constexpr int kActionDigit9 = 39;
inline constexpr int kNoAction = -1;  // what taking a press finds when none is new

// ---- Saved settings (MyApp::settings) ------------------------------------

// The sound mode: effects play at 1 and 2, 1 by default; the pause menu's
// keys cycle 0 to kSoundModes - 1, a press toggles 0 and 1.
inline constexpr int kSettingSoundMode = 5;
inline constexpr int kDefaultSoundMode = 1;
inline constexpr int kSoundModes = 4;
// The on-screen pad's position (from the left and from the bottom) and its
// size in tenths.
inline constexpr int kSettingPadX = 10;
inline constexpr int kSettingPadY = 11;
inline constexpr int kSettingPadSize = 12;

// ---- The on-screen pad's limits ---------------------------------------------

// Loading keeps a saved pad within reach: at least this far from the
// left and the bottom, and at least this size (else the default size).
inline constexpr int kPadMinPosition = 64;
inline constexpr int kPadMinSize = 8;
inline constexpr int kPadDefaultSize = 10;
// A pinch grows the pad up to this size.
inline constexpr int kPadMaxSize = 25;

// ---- The vault keypad (phase 1) -------------------------------------------

// A 3 x 4 grid of 64-unit keys, 72 units apart, whose first key is centred
// 80 units up and left of the screen's centre: digits 1 to 9 in reading
// order, then a gap, 0 and the clear key ("C").
inline constexpr float kKeyPitch = 72;
inline constexpr float kKeySize = 64;
inline constexpr float kKeypadHalf = 80;
inline constexpr int kKeypadRows = 4;
inline constexpr int kKeypadColumns = 3;
inline constexpr int kZeroColumn = 1;
inline constexpr int kClearColumn = 2;
// The clear key's value, typed as "10".
inline constexpr int kClearKey = 10;
// The key the keys' highlight starts on: the middle one ("5"), from which
// every key is at most three steps away.
inline constexpr int kKeypadHighlightStart = 4;  // row * kKeypadColumns + column
// Digits in the vault code.
inline constexpr int kCodeLength = 10;

}  // namespace vantor
