// Badges: the catalogue (one test badge), the pop-up strip drawn over every
// screen at the end of each update, and the badge box. m_ShowBadges is
// called by the mode machine in every update; m_BadgesBox while the badge
// box is open, which no menu item does.
#include <cmath>

#include "game/ids.h"
#include "game/myapp.h"

namespace vantor {

using namespace palette;
using game::jscrh;
using game::jscrw;

namespace {

constexpr int kShownPopups = 13;  // slots 0 to 12; the others are never drawn
constexpr float kPopupWidth = 160;
constexpr float kPopupHeight = 32;
constexpr float kPopupRowPitch = 34;
constexpr int kPopupSlidePerUpdate = 16;
constexpr int kPopupLifetime = 240;  // four seconds
constexpr int kBadgeIconCount = 64;  // frames of the badge sheet

constexpr float kBoxScrollStep = 16;
constexpr float kBoxDragScale = 1.5f;
constexpr float kBoxEase = 6;

bool HasIcon(int badge) { return badge >= 0 && badge < kBadgeIconCount; }

}  // namespace

String MyApp::m_BadgeID(int id) {
  if (id == 0) return T("Test Badge|This is a Test Badge which has no purpose.");
  return String();
}

String MyApp::m_BadgeName(int id) { return m_BadgeID(id).Split(T("|"))[0]; }

// An id without a record has no detail: it gets the empty text.
String MyApp::m_BadgeDetail(int id) {
  const Array<String> parts = m_BadgeID(id).Split(T("|"));
  return parts.Length() > 1 ? parts[1] : String();
}

// ---- Pop-up strip ------------------------------------------------------

int MyApp::m_ShowBadges() {
  m_ResetDraw();
  for (int slot = 0; slot < kShownPopups; ++slot) {
    if (popupTimer[slot] > 0) DrawBadgePopup(slot);
  }
  return 0;
}

// Slides in from the left edge, rests, and slides back out in its last ten
// updates; the update that frees the slot still draws it, off screen.
void MyApp::DrawBadgePopup(int slot) {
  const int t = popupTimer[slot] + 1;
  popupTimer[slot] = t;
  float x = kPopupSlidePerUpdate * t - kPopupWidth;
  if (t > kPopupLifetime - kPopupWidth / kPopupSlidePerUpdate) {
    x = kPopupSlidePerUpdate * (kPopupLifetime - t) - kPopupWidth;
  }
  if (x > 0) x = 0;
  if (t > kPopupLifetime) popupTimer[slot] = 0;
  const float y = jscrh - kPopupRowPitch * (slot + 1);
  SetColour(kBackdrop, 0.8f);
  m_Rect(x, y, kPopupWidth, kPopupHeight);
  SetColour(kWhite, 1);
  const int badge = popupBadge[slot];
  m_Text(x + 16, y + 4, m_BadgeName(badge), 0, 0);
  // The sheet has 64 icons; any other id shows its name alone.
  if (HasIcon(badge)) {
    m_SetSize(0.5f);
    m_DrawImg(kBadgeIcons, x + kPopupWidth - 16, y + 16, badge);
    m_SetSize(1);
  }
}

// ---- Badge box ---------------------------------------------------------

// Scrolls with the up and down keys or by dragging; lists no entries, so
// nothing selects a badge and the detail view stays closed.
int MyApp::m_BadgesBox() {
  m_ResetDraw();
  SetColour(kBoxFrame, 0.8f);
  m_Rect(0.1f * jscrw, -1, 0.8f * jscrw, jscrh + 2);
  SetColour(kBoxInside, 0.8f);
  m_Rect(0.12f * jscrw, -1, 0.76f * jscrw, jscrh + 2);
  SetColour(kWhite);
  selectedBadge = -1;
  if (m_PlayKey(kActionUp)) badgeScrollTarget -= kBoxScrollStep;
  if (m_PlayKey(kActionDown)) badgeScrollTarget += kBoxScrollStep;
  if (badgeScrollTarget > 0) badgeScrollTarget = 0;
  if (mouseWasDown != 0 && mouseX > 0.12f * jscrw) {
    badgeScrollTarget -= kBoxDragScale * (prevMouseY - mouseY);
  }
  badgeScroll -= (badgeScroll - badgeScrollTarget) / kBoxEase;
  if (std::abs(badgeScroll - badgeScrollTarget) < kBoxEase) badgeScroll = badgeScrollTarget;
  if (selectedBadge >= 0) DrawBadgeDetail();
  return 0;
}

void MyApp::DrawBadgeDetail() {
  SetColour(kDetailPanel, 0.7f);
  m_Rect(-1, jscrh / 2 - 120, jscrw + 2, 320);
  SetColour(kWhite);
  m_SetSize(3);
  if (HasIcon(selectedBadge)) m_DrawImg(kBadgeIcons, jscrw / 2, jscrh / 2, selectedBadge);
  m_SetSize(1.5f);
  m_Text(0.15f * jscrw, jscrh / 2 + 120, m_BadgeDetail(selectedBadge), 0, 0);
}

}  // namespace vantor
