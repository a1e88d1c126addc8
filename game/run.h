// The robbery run's shared numbers: timings, speeds, the cash bags, the
// geometry of the city and the shootouts. Owned by the run (run.cpp,
// chase.cpp, fence.cpp, ending.cpp); the replay tool's bot and the tests read
// them to play as the run does. The ids the run shares with the rest of the
// game (modes, phases, slots, sounds, actions) are in game/ids.h.
#pragma once

#include "game/ids.h"
#include "game/myapp.h"
#include "game/world_cells.h"

namespace vantor::run {

// Timing, in updates.
inline constexpr int kRunUpdates = 2 * 60 * kUpdateRate;  // two minutes
inline constexpr int kAlarmPeriod = 46;
inline constexpr int kSirenPeriod = 21;
inline constexpr int kEnginePeriod = 16;
inline constexpr int kFirstAlarmTimer = 100;  // sounds the alarm on the first update
inline constexpr int kShotCycle = 30;
inline constexpr int kShotDueAt = 2;

// The cash bags.
inline constexpr int kBagsToGrab = 3;

// Running by tapping.
inline constexpr float kStepBoost = 3;
inline constexpr float kTopSpeed = 12;
inline constexpr float kTopSpeedCut = 11.7f;
inline constexpr float kSpeedDecay = 0.3f;

// The city of the chase (its cells: game/world_cells.h): blocks of 180 units
// with 80-unit streets between them.
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

// Headings of the getaway car; a pending turn adds 4 (left) or 8 (right).
inline constexpr int kNorth = 0;
inline constexpr int kEast = 1;
inline constexpr int kSouth = 2;
inline constexpr int kWest = 3;
inline constexpr int kTurnLeft = 4;
inline constexpr int kTurnRight = 8;

// The shootouts.
inline constexpr int kHitsToWin = 3;
inline constexpr float kBulletSpeed = 8;
inline constexpr float kBulletReach = 24;
inline constexpr int kPoseStanding = 0;
inline constexpr int kPoseDucking = 1;
inline constexpr int kPoseFallen = -3;

// The closing screen and the overlay.
inline constexpr int kBonusPerUpdate = 3;
inline constexpr int kOverlayUpdates = 90;
inline constexpr int kOverlayHandOver = 73;

}  // namespace vantor::run
