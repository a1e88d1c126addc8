// The robbery run's shared numbers: image slots, sound numbers, timings,
// the geometry of the city, the score tables' layout and the actions the
// menus read. Owned by the run (run.cpp, chase.cpp, fence.cpp, ending.cpp);
// the menus and badges (menus.cpp, badges.cpp) use some of them too.
#pragma once

namespace vantor::run {

// Every screen of a run is drawn on this dark blue.
struct Rgb {
  float red, green, blue;
};
inline constexpr Rgb kBackdrop{0, 0, 80};

// Image slots the run and the menus draw from.
inline constexpr int kSpriteSheet = 1;  // 64 x 64 frames; frame 0 is a cash bag
inline constexpr int kIconSheet = 97;
inline constexpr int kBadgeIcons = 80;

// Sound numbers (slots of MyApp::sounds).
inline constexpr int kSfxDigitRight = 1;
inline constexpr int kSfxDigitWrong = 2;
inline constexpr int kSfxCodeCleared = 3;
inline constexpr int kSfxCodeAccepted = 4;
inline constexpr int kSfxVaultOpens = 5;
inline constexpr int kSfxBagGrabbed = 6;
inline constexpr int kSfxStep = 7;
inline constexpr int kSfxDoor = 8;  // also a successful reload
inline constexpr int kSfxEngine = 9;  // also a press beside the reload prompt
inline constexpr int kSfxEngineTurning = 10;
inline constexpr int kSfxRam = 11;
inline constexpr int kSfxCarStopped = 13;
inline constexpr int kSfxShot = 14;  // also a hit on the police car
inline constexpr int kSfxCopShot = 15;  // also a missed shot at the police car
inline constexpr int kSfxBulletHit = 16;
inline constexpr int kSfxCarHit = 17;
inline constexpr int kSfxAlarm = 18;
inline constexpr int kSfxSiren = 19;
inline constexpr int kSfxClick = 98;
inline constexpr int kSfxChime = 99;

// Timing, in updates.
inline constexpr int kRunUpdates = 7200;  // two minutes at 60 updates a second
inline constexpr int kUpdatesPerSecond = 60;
inline constexpr int kAlarmPeriod = 46;
inline constexpr int kSirenPeriod = 21;
inline constexpr int kEnginePeriod = 16;
inline constexpr int kFirstAlarmTimer = 100;  // sounds the alarm on the first update
inline constexpr int kShotCycle = 30;
inline constexpr int kShotDueAt = 2;

// Modes of the mode machine the run and the menus move between.
inline constexpr int kModeEnterScore = 2;
inline constexpr int kModeRun = 10;
inline constexpr int kModeStartRun = 11;

// Phases of a run.
inline constexpr int kPhaseKeypad = 1;
inline constexpr int kPhaseCash = 2;
inline constexpr int kPhaseBankHall = 3;
inline constexpr int kPhaseStreet = 4;
inline constexpr int kPhaseChase = 5;
inline constexpr int kPhaseCarShootout = 6;
inline constexpr int kPhaseFence = 7;
inline constexpr int kPhaseFenceFight = 8;
inline constexpr int kPhaseClosing = 9;

// The vault code and the cash bags.
inline constexpr int kCodeLength = 10;
inline constexpr int kClearKey = 10;
inline constexpr int kCashBags = 11;
inline constexpr int kBagStride = 10;  // worldCells entries per bag record
inline constexpr int kBagsToGrab = 3;
inline constexpr int kRunCellsCleared = 101;  // entries 0 to 100 cleared between phases

// Running by tapping.
inline constexpr float kStepBoost = 3;
inline constexpr float kTopSpeed = 12;
inline constexpr float kTopSpeedCut = 11.7f;
inline constexpr float kSpeedDecay = 0.3f;

// The city of the chase: 26 x 26 cells of a 180-unit block and an 80-unit
// street. Entry r x 25 + c holds cell (c, r): the stride is one short, so the
// last column of a row and the first of the next share an entry.
inline constexpr int kCityCells = 26;
inline constexpr int kCityStride = 25;
inline constexpr float kCityCell = 260;
inline constexpr float kCityBlock = 180;
inline constexpr float kCrossingOffset = 220;
inline constexpr float kCityStart = 3120;
inline constexpr float kCityEdgeLow = 32;
inline constexpr float kCityEdgeHigh = 6728;
inline constexpr int kPoliceSeed = 37171650;
inline constexpr int kCopsToRam = 10;
inline constexpr float kCarSpeed = 12;
inline constexpr float kCarHalfSize = 40;
inline constexpr float kRamReach = 16;
inline constexpr int kWreckFirst = 10;
inline constexpr int kWreckLast = 29;

// Headings of the getaway car; a pending turn adds 4 (left) or 8 (right).
inline constexpr int kNorth = 0;
inline constexpr int kEast = 1;
inline constexpr int kSouth = 2;
inline constexpr int kWest = 3;
inline constexpr int kTurnLeft = 4;
inline constexpr int kTurnRight = 8;

// The shootouts.
inline constexpr int kHitsToWin = 3;
inline constexpr int kBulletSlots = 50;
inline constexpr int kBulletFree = 0;
inline constexpr int kPlayerBullet = 1;
inline constexpr int kCopBullet = 2;
inline constexpr float kBulletSpeed = 8;
inline constexpr float kBulletReach = 24;
inline constexpr int kPoseStanding = 0;
inline constexpr int kPoseDucking = 1;
inline constexpr int kPoseFallen = -3;

// Actions of MyApp::m_PlayKey the menus read.
inline constexpr int kActionUp = 0;
inline constexpr int kActionLeft = 3;
inline constexpr int kActionRight = 5;
inline constexpr int kActionDown = 8;
inline constexpr int kActionFire = 10;
inline constexpr int kActionLastButton = 17;
inline constexpr int kActionBack = 99;

// The closing screen and the overlay.
inline constexpr int kBonusPerUpdate = 3;
inline constexpr int kOverlayUpdates = 90;
inline constexpr int kOverlayHandOver = 73;

}  // namespace vantor::run
