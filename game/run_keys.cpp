// Keys and pads in a run: taking a new press as an action, and the
// highlight that keys and pads move over the vault keypad (phase 1) and the
// cash bags (phase 2), where the pointer points instead. Which key or
// button is which action is controls.cpp's table; what an action does in
// each phase is said by the phase (run.cpp, chase.cpp, fence.cpp,
// ending.cpp), which calls these.
#include <algorithm>
#include <cmath>
#include <limits>

#include "game/ids.h"
#include "game/myapp.h"
#include "game/run.h"

namespace vantor {

using namespace palette;
using namespace run;

namespace {

// The keypad's keys, each typed by its own presses, and the highlight's
// moves and press.
constexpr int kTypingActions[] = {kActionDigit0,     kActionDigit0 + 1, kActionDigit0 + 2,
                                  kActionDigit0 + 3, kActionDigit0 + 4, kActionDigit0 + 5,
                                  kActionDigit0 + 6, kActionDigit0 + 7, kActionDigit0 + 8,
                                  kActionDigit9,     kActionClear};
constexpr int kHighlightActions[] = {kActionUp, kActionDown, kActionLeft, kActionRight,
                                     kActionFire};

// The keypad key's frame stands this far out around it, half the gap
// between two keys; the bag's glow reaches this far from its middle.
constexpr float kKeyFrame = (kKeyPitch - kKeySize) / 2;
constexpr float kBagGlowRadius = 40;
constexpr float kBagGlowAlpha = 0.6f;
// Choosing the next bag in a direction, a bag off to the side counts this
// many times its sideways distance, so that the one most nearly in line
// wins over one nearer but far aside.
constexpr float kSidewaysWeight = 2;
// A point far beyond the screen's left edge: the bag nearest it is the
// leftmost one.
constexpr float kFarLeft = -1e6f;

int KeypadCell(int row, int column) { return row * kKeypadColumns + column; }

// The cell of a key's value: 1-9 in reading order, then 0 and the clear key.
int CellOfValue(int value) {
  if (value == kClearKey) return KeypadCell(kKeypadRows - 1, kClearColumn);
  if (value == 0) return KeypadCell(kKeypadRows - 1, kZeroColumn);
  return value - 1;
}

// The value of the key in a cell, or -1 for the gap left of 0.
int ValueOfCell(int cell) {
  const int row = cell / kKeypadColumns, column = cell % kKeypadColumns;
  if (row < kKeypadRows - 1) return cell + 1;
  if (column < kZeroColumn) return -1;
  return column == kZeroColumn ? 0 : kClearKey;
}

struct Step {
  int dx, dy;
};

Step StepOf(int action) {
  switch (action) {
    case kActionUp:
      return {0, -1};
    case kActionDown:
      return {0, 1};
    case kActionLeft:
      return {-1, 0};
    case kActionRight:
      return {1, 0};
    default:
      return {0, 0};
  }
}

}  // namespace

// The first of `actions` that is down while no key press has been used yet;
// takes the press. kNoAction when there is none.
int MyApp::TakeAction(std::span<const int> actions) {
  if (keyConsumed != 0) return kNoAction;
  for (const int action : actions) {
    if (m_PlayKey(action)) {
      keyConsumed = 1;
      return action;
    }
  }
  return kNoAction;
}

// ---- Phase 1 ----------------------------------------------------------

// A digit or C types its key at each of its presses, held keys or not (one
// key an update); the highlight moves over the keys and the press types
// the key it marks. A press that shows the highlight only shows it, on the
// middle key. Returns the value typed, or -1.
int MyApp::KeypadByKeys() {
  if (touchDown > 0) highlightShown = 0;
  for (const int typing : kTypingActions) {
    if (!ActionKeyHit(typing)) continue;
    keyConsumed = 1;
    highlightShown = 1;
    const int value = typing == kActionClear ? kClearKey : typing - kActionDigit0;
    highlight = CellOfValue(value);
    return value;
  }
  const int action = TakeAction(kHighlightActions);
  if (action == kNoAction) return -1;
  const bool wasShown = highlightShown == 1;
  highlightShown = 1;
  if (!wasShown) {
    highlight = kKeypadHighlightStart;
    return -1;
  }
  if (action == kActionFire) return ValueOfCell(highlight);
  MoveKeypadHighlight(action);
  return -1;
}

// One key in the direction, if there is one there.
void MyApp::MoveKeypadHighlight(int action) {
  const Step step = StepOf(action);
  const int row = highlight / kKeypadColumns + step.dy;
  const int column = highlight % kKeypadColumns + step.dx;
  if (row < 0 || row >= kKeypadRows || column < 0 || column >= kKeypadColumns) return;
  if (ValueOfCell(KeypadCell(row, column)) < 0) return;
  highlight = KeypadCell(row, column);
}

// A bright frame just around the key, drawn before the key covers its middle.
void MyApp::DrawKeyHighlight(float x, float y) {
  SetColour(kSignYellow, 1);
  m_Rect(x - kKeySize / 2 - kKeyFrame, y - kKeySize / 2 - kKeyFrame, kKeySize + 2 * kKeyFrame,
         kKeySize + 2 * kKeyFrame);
}

// ---- Phase 2 ----------------------------------------------------------

// The highlight moves between the bags left and the press grabs the bag it
// marks. A press that shows the highlight only shows it, on the leftmost
// bag. Returns the bag to grab, or -1.
int MyApp::CashByKeys() {
  if (touchDown > 0) highlightShown = 0;
  const int action = TakeAction(kHighlightActions);
  if (action == kNoAction) return -1;
  const bool wasShown = highlightShown == 1 && Bag(worldCells.Data(), highlight).lying != 0;
  highlightShown = 1;
  if (!wasShown) {
    highlight = NearestBag(kFarLeft, 0);
    return -1;
  }
  if (action == kActionFire) return highlight;
  MoveBagHighlight(action);
  return -1;
}

// To the bag most nearly in the direction; none there leaves it.
void MyApp::MoveBagHighlight(int action) {
  const Step step = StepOf(action);
  const BagCells<int> from = Bag(worldCells.Data(), highlight);
  float best = std::numeric_limits<float>::max();
  for (int bag = 0; bag < kCashBags; ++bag) {
    const BagCells<int> to = Bag(worldCells.Data(), bag);
    if (to.lying == 0 || bag == highlight) continue;
    const auto dx = static_cast<float>(to.x - from.x), dy = static_cast<float>(to.y - from.y);
    const float ahead = dx * step.dx + dy * step.dy;
    const float aside = std::abs(dx * step.dy - dy * step.dx);
    if (ahead <= 0 || ahead + kSidewaysWeight * aside >= best) continue;
    best = ahead + kSidewaysWeight * aside;
    highlight = bag;
  }
}

// The bag still lying nearest to (x, y); the first bag when none lies.
int MyApp::NearestBag(float x, float y) {
  int nearest = 0;
  double best = std::numeric_limits<double>::max();
  for (int bag = 0; bag < kCashBags; ++bag) {
    const BagCells<int> record = Bag(worldCells.Data(), bag);
    if (record.lying == 0) continue;
    const double distance =
        std::hypot(record.x - static_cast<double>(x), record.y - static_cast<double>(y));
    if (distance < best) {
      best = distance;
      nearest = bag;
    }
  }
  return nearest;
}

// A soft glow under the bag, drawn before the bags.
void MyApp::DrawBagHighlight(float x, float y) {
  SetColour(kSignYellow, kBagGlowAlpha);
  m_Oval(x, y, kBagGlowRadius, kBagGlowRadius);
  SetColour(kWhite, 1);
}

// ---- Phase 8 ----------------------------------------------------------

// Holding a duck key ducks and uses the press, so nothing else acts while
// it is held; a press of the fire key is a tap: ducked for one update, which
// starts the gun's cycle again and fires it as a tap does.
bool MyApp::DuckByKeys() {
  if (m_PlayKey(kActionDuck)) {
    keyConsumed = 1;
    return true;
  }
  return TakeKey({kActionFire});
}

}  // namespace vantor
