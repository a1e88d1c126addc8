// The title menu with its fly-in, score lists and buttons, the credits box
// over it, and the pause menu over a run. Called by the mode machine:
// m_Menu in mode 1, m_CreditBox while the credits are open, m_PauseMenu
// from the pause entry (m_InGame) while a run is paused.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "game/ids.h"
#include "game/myapp.h"
#include "game/run.h"

namespace vantor {

using namespace palette;
using namespace run;
using game::jscrh;
using game::jscrw;

namespace {

constexpr int kFrameSoundOn = 4;
constexpr int kFrameSoundOff = 5;
constexpr int kFrameQuit = 1;
constexpr int kFrameResume = 3;
constexpr int kFrameHighlight = 6;
constexpr int kStartRibbonFrame = 44;  // "PLAY" across the start bag (frame 0)

constexpr float kSidePanelWidth = 140;
constexpr float kListLineScale = 1.5f;

// The title menu's buttons, before the intro offset moves them in: the sound
// switch centred this far from the top, the maker's logo (the credits) this
// far in from the bottom right corner, the iCade switch this far in from the
// top right one.
constexpr int kSoundButtonTop = 32;
constexpr float kLogoButtonRight = 70;
constexpr float kLogoButtonBottom = 40;
constexpr float kIcadeButtonInset = 38;

// The pause menu's quit and sound items stand this far left and right of
// the screen's centre, and this far above the panel's middle, on a wide
// screen and on a tall one.
constexpr float kPauseItemSpreadWide = 140;
constexpr float kPauseItemSpreadTall = 96;
constexpr float kPauseItemRiseWide = 64;
constexpr float kPauseItemRiseTall = 96;

constexpr int kPauseSlideStep = 24;
constexpr int kPauseHidden = -64;
constexpr int kPauseGoneBelow = -32;
constexpr int kChoiceQuit = -1;
constexpr int kChoiceResume = 0;
constexpr int kChoiceSound = 1;

const char* const kCreditLines[] = {
    "A Game By",     "The Vantor Team",      "Vantor: The Bank Job",
    "Created using", "the Vantor framework", "Free under the MIT licence",
};
constexpr float kCreditOffsets[] = {0, 20, 40, 80, 100, 120};

}  // namespace

// ---- Shared by the title and the pause menu ----------------------------

// A pointer press only switches effects on and off; the keys of the pause
// menu reach the other modes.
void MyApp::ToggleSoundMode() {
  int& mode = settings[kSettingSoundMode];
  mode = 1 - mode;
  if (mode < 0 || mode > 1) mode = 0;
}

int MyApp::SoundModeFrame() {
  return settings[kSettingSoundMode] != 0 ? kFrameSoundOn : kFrameSoundOff;
}

void MyApp::PlayClick(float rate) { m_PlaySFX(kSfxClick, rate, 0.5f, 0); }

bool MyApp::BoxOpen() { return creditsOpen != 0 || badgesOpen != 0; }

// Whether one of `actions` is down and no key choice has used it yet; takes
// the key press when it is.
bool MyApp::TakeKey(std::initializer_list<int> actions) {
  return TakeAction({actions.begin(), actions.size()}) != kNoAction;
}

// ---- Title menu --------------------------------------------------------

int MyApp::m_Menu() {
  m_CLS2D(kBackdrop.red, kBackdrop.green, kBackdrop.blue, 1);
  if (menuSlide < 0) menuSlide = static_cast<int>(menuSlide + 0.25f);
  const int m = menuSlide;
  DrawMenuBackground(m);
  m_ResetDraw();
  m_SetSize(2);
  SetColour(kSoundGreen, 1);
  // Works even while a box is open.
  if (m_Button(kIconSheet, static_cast<int>(jscrw / 2), 4 * m + kSoundButtonTop,
               SoundModeFrame()) &&
      touchConsumed == 0) {
    ToggleSoundMode();
    touchConsumed = 1;
    PlayClick(1);
  }
  DrawScoreLists(m);
  MenuStartButtons(m);
  MenuIcadeButton(m);
  m_SetSize(0.5f);
  if (m_Button(kMakerLogo, jscrw - kLogoButtonRight, jscrh - kLogoButtonBottom - 4 * m, 0) &&
      touchConsumed == 0 && !BoxOpen()) {
    touchConsumed = 1;
    m_PlaySFX(kSfxChime);
    creditsOpen = 1;
  }
  return 0;
}

// Every piece flies in by a multiple of the intro offset `slide`.
void MyApp::DrawMenuBackground(int slide) {
  m_ResetDraw();
  m_SetSize(3);
  m_DrawImg(kMenuArt, jscrw / 2, jscrh / 2 + 16 * slide, 0);
  m_SetSize(2);
  m_Alpha(1);
  m_DrawImg(kMenuArt, 0.4f * jscrw + 20 * slide, jscrh / 2, 2);
  m_SetSize(3);
  m_Alpha(1);
  m_DrawImg(kMenuArt, jscrw / 2, jscrh / 2 - 24 * slide, 1);
  m_SetSize(1);
  m_DrawImg(kTitleLogo, 0.4f * jscrw, 0.2f * jscrh + 12 * slide, 0);
  SetColour(kBlack, 0.4f);
  m_Rect(jscrw - kSidePanelWidth - 4 * slide, 0, kSidePanelWidth, jscrh);
}

// As many rows as fit in half the screen below the titles, 1 to 10.
void MyApp::DrawScoreLists(int slide) {
  const float x = jscrw - kSidePanelWidth - 4 * slide + 20;
  const int first = kTableSize * (scoreTableIndex - 1);
  const int lineHeight = static_cast<int>(imageFrameInfo[currentFont * 3 + 1] * kListLineScale);
  const int top = static_cast<int>(jscrh - 90 - jscrh / 2);
  // Without a font yet there is no line height to divide by.
  listRows = lineHeight > 0 ? top / lineHeight : 1;
  listRows = std::clamp(listRows, 1, kTableSize);
  m_SetSize(kListLineScale);
  SetColour(kBestScores, 1);
  const String best = ScoreListText(T("Highscore"), T("Top "), first);
  if (!BoxOpen()) m_Text(x, 60, best, 0, 0);
  SetColour(kRecentScores, 1);
  const String recent = ScoreListText(T("Last"), T("Last "), first + kRecentOffset);
  if (!BoxOpen()) m_Text(x, jscrh / 2, recent, 0, 0);
}

String MyApp::ScoreListText(String oneRowTitle, String title, int firstEntry) {
  String text = listRows == 1 ? oneRowTitle : title + String(listRows);
  for (int i = 0; i < listRows; ++i) {
    text += T("\\n") + m_rstr(highscores[firstEntry + i], 8, T(" "));
  }
  return text;
}

// The start button and the start keys. The first update after start-up
// has already read its lists from table 2 by now.
void MyApp::MenuStartButtons(int slide) {
  m_ResetDraw();
  m_SetSize(3);
  m_Alpha(1);
  const float x = landscape == 1 ? 0.4f * jscrw : 0.3f * jscrw - 8 * slide;
  const float y = landscape == 1 ? 0.7f * jscrh - 8 * slide : 0.65f * jscrh;
  const bool startPressed = m_Button(kSpriteSheet, x, y, 0) != 0;
  m_DrawImg(kSpriteSheet, x, y, kStartRibbonFrame);
  if (startPressed && touchConsumed == 0 && !BoxOpen()) {
    gameMode = kModeStartRun;
    touchConsumed = 1;
    keyConsumed = 1;
    scoreTableIndex = 1;
    PlayClick(1);
  }
  m_ResetDraw();
  scoreTableIndex = 1;
  bool buttonDown = false;
  for (int action = kActionFire; action <= kActionLastButton; ++action) {
    buttonDown = buttonDown || m_PlayKey(action);
  }
  if (buttonDown && keyConsumed == 0 && !BoxOpen()) {
    gameMode = kModeStartRun;
    touchConsumed = 1;
    keyConsumed = 1;
    PlayClick(1);
  }
}

void MyApp::MenuIcadeButton(int slide) {
  m_ResetDraw();
  if (m_Button(kIcadeIcons, jscrw - kIcadeButtonInset, 4 * slide + kIcadeButtonInset,
               game::iCadeControls) &&
      !BoxOpen() && touchConsumed == 0 && (game::iCadeControls == 0 || game::iCadeControls == 1)) {
    touchConsumed = 1;
    m_iCade(1 - game::iCadeControls);
    m_PlaySFX(kSfxChime);
  }
}

// ---- Credits box -------------------------------------------------------

int MyApp::m_CreditBox() {
  m_ResetDraw();
  SetColour(kBoxFrame, 0.8f);
  m_Rect(0.1f * jscrw, 0.2f * jscrh, 0.8f * jscrw, 0.6f * jscrh);
  SetColour(kBoxInside, 0.8f);
  m_Rect(0.12f * jscrw, 0.22f * jscrh, 0.76f * jscrw, 0.56f * jscrh);
  SetColour(kWhite, 1);
  m_SetSize(1.5f);
  for (int line = 0; line < 6; ++line) {
    m_Text(jscrw / 2, 0.24f * jscrh + kCreditOffsets[line], T(kCreditLines[line]), 1, 0);
  }
  if (touchDown > 0 && touchConsumed == 0) {
    touchConsumed = 1;
    creditsOpen = 0;
    m_PlaySFX(kSfxChime);
  }
  return 0;
}

// ---- Pause menu --------------------------------------------------------

int MyApp::m_PauseMenu() {
  // The run goes on underneath, darkened as the panel comes down.
  m_ResetDraw();
  SetColour(kBlack, std::abs(pauseSlide) / (0.8f * jscrh));
  m_Rect(0, 0, jscrw, jscrh);
  if (pauseMenuOpen == 1 && pauseSlide < jscrh / 2) pauseSlide += kPauseSlideStep;
  if (pauseMenuOpen == -1) {
    if (pauseSlide < kPauseHidden + 1) {
      paused = 0;
    } else {
      pauseSlide -= kPauseSlideStep;
      if (pauseSlide < kPauseGoneBelow) paused = 0;
    }
  }
  DrawPauseBars();
  PauseResumeItem();
  PauseQuitItem();
  PauseSoundItem();
  if (TakeKey({kActionBack})) ResumeRun();
  return 0;
}

void MyApp::DrawPauseBars() {
  // Colour, alpha, then the rectangle relative to (screen centre, panel y)
  // on a wide screen and on a tall one.
  struct Bar {
    Colour colour;
    float alpha;
    float wide[4], tall[4];
  };
  static constexpr Bar kBars[] = {
      {kPauseBarTop, 0.6f, {-128, -64, 256, 8}, {-96, -92, 192, 8}},
      {kPausePanel, 0.7f, {-140, -52, 280, 104}, {-128, -80, 256, 160}},
      {kPauseBarBottom, 0.6f, {-128, 56, 256, 8}, {-96, 84, 192, 8}},
  };
  m_ResetDraw();
  for (const Bar& bar : kBars) {
    const float* r = landscape == 1 ? bar.wide : bar.tall;
    SetColour(bar.colour, bar.alpha);
    m_Rect(jscrw / 2 + r[0], pauseSlide + r[1], r[2], r[3]);
  }
}

// Draws one item, reports a fresh pointer press on it (taking the press)
// and marks it when the keys have selected it.
bool MyApp::PauseItem(float x, float y, Colour colour, int frame, int choice) {
  m_SetSize(2);
  SetColour(colour, 1);
  const bool pressed = m_Button(kIconSheet, x, y, frame) && touchConsumed == 0;
  if (pressed) touchConsumed = 1;
  if (pauseChoice == choice) {
    m_SetSize(2.5f);
    SetColour(kSignYellow, 1);
    m_DrawImg(kIconSheet, x, y, kFrameHighlight);
  }
  return pressed;
}

// The panel slides away and the run carries on once it is gone.
void MyApp::ResumeRun() {
  paused = 1;
  pauseMenuOpen = -1;
  PlayClick(1);
}

// Quitting ends the run at once; the game-over overlay follows.
void MyApp::QuitRun() {
  paused = 0;
  pauseMenuOpen = -1;
  pauseSlide = kPauseHidden;
  runOver = 1;
  PlayClick(0.5f);
}

void MyApp::PauseResumeItem() {
  if (PauseItem(jscrw / 2, pauseSlide, kResumeBlue, kFrameResume, kChoiceResume)) {
    ResumeRun();
  }
  if (pauseChoice != kChoiceResume) return;
  if (TakeKey({kActionFire})) {
    ResumeRun();
  } else if (TakeKey({kActionLeft, kActionUp})) {
    pauseChoice = kChoiceQuit;
    PlayClick(0.8f);
  } else if (TakeKey({kActionRight})) {
    pauseChoice = kChoiceSound;
    PlayClick(1.2f);
  }
}

void MyApp::PauseQuitItem() {
  const bool wide = landscape == 1;
  const float x =
      static_cast<int>(jscrw / 2 - (wide ? kPauseItemSpreadWide : kPauseItemSpreadTall));
  const float y = pauseSlide - (wide ? kPauseItemRiseWide : kPauseItemRiseTall);
  if (PauseItem(x, y, kQuitRed, kFrameQuit, kChoiceQuit)) QuitRun();
  if (pauseChoice != kChoiceQuit) return;
  if (TakeKey({kActionFire})) {
    QuitRun();
    touchConsumed = 1;
  } else if (TakeKey({kActionRight, kActionDown})) {
    pauseChoice = kChoiceResume;
    PlayClick(0.8f);
  }
}

void MyApp::PauseSoundItem() {
  const bool wide = landscape == 1;
  const float x =
      static_cast<int>(jscrw / 2 + (wide ? kPauseItemSpreadWide : kPauseItemSpreadTall));
  const float y = pauseSlide - (wide ? kPauseItemRiseWide : kPauseItemRiseTall);
  if (PauseItem(x, y, kSoundGreen, SoundModeFrame(), kChoiceSound)) {
    ToggleSoundMode();
    PlayClick(1);
  }
  if (pauseChoice != kChoiceSound) return;
  if (TakeKey({kActionFire})) {
    settings[kSettingSoundMode] = (settings[kSettingSoundMode] + 1) % kSoundModes;
    PlayClick(1);
  } else if (TakeKey({kActionLeft, kActionDown})) {
    pauseChoice = kChoiceResume;
    PlayClick(0.8f);
  }
}

}  // namespace vantor
