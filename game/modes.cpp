// MyApp's host events: creation, the per-update order of work with the mode
// dispatch, the render pass, suspend and resume. The host loop calls these
// through the app bridge; every screen hangs off the dispatch here.
#include "game/myapp.h"
#include "game/run.h"
#include "modules/app.h"
#include "modules/graphics.h"
#include "runtime/debug.h"

namespace vantor {
namespace {

// The game's modes (see DispatchMode); the run's own are shared with it.
constexpr int kModeMenu = 1;
using run::kModeEnterScore;
using run::kModeRun;
using run::kModeStartRun;
// Modes from here on are a run: suspending there pauses it.
constexpr int kFirstRunMode = kModeRun;
// The mode in which the rate display stays hidden.
constexpr int kModeWithoutRateDisplay = 5;

constexpr int kMenuSlideStart = -32;
constexpr int kMenuValueStart = 50;
constexpr int kPauseSlideStart = -64;
constexpr float kRateTextInset = 16;
// The pause button and the click it makes.
constexpr float kPauseButtonInset = 16;
constexpr int kPauseButtonFrame = 0;
constexpr float kClickVolume = 0.5f;
constexpr int kBackAction = 99;

// Calls per second from the time since the last call, smoothed over about
// ten calls. No time passing keeps the last measurement.
void MeasureRate(int& lastMillis, int& perSecond, int& smoothed) {
  const int now = app::Millisecs();
  if (now - lastMillis > 0) perSecond = 1000 / (now - lastMillis);
  smoothed = (9 * smoothed + perSecond) / 10;
  lastMillis = now;
}

template <class T>
void Fill(const Array<T>& array, T value) {
  for (T& element : array) element = value;
}

}  // namespace

void MyApp::mark() {
  images.queue_mark();
  imageFrameInfo.queue_mark();
  popupBadge.queue_mark();
  popupTimer.queue_mark();
  badgeEarned.queue_mark();
  virtualKeys.queue_mark();
  settings.queue_mark();
  highscores.queue_mark();
  channelOrder.queue_mark();
  drawList.queue_mark();
  touchActive.queue_mark();
  touchXs.queue_mark();
  touchYs.queue_mark();
  sounds.queue_mark();
  worldCells.queue_mark();
}

int MyApp::m_OnCreate() {
  gameMode = kModeMenu;
  app::SetUpdateRate(kUpdateRate);
  deviceWidth = graphics::DeviceWidth();
  deviceHeight = graphics::DeviceHeight();
  accelZeroX = 0;
  accelZeroY = 0;
  m_Reload();
  scoreTableIndex = 2;
  menuSlide = kMenuSlideStart;
  menuValue = kMenuValueStart;
  paused = 0;
  pauseMenuOpen = -1;
  pauseSlide = kPauseSlideStart;
  Fill(popupBadge, 0);
  Fill(popupTimer, 0);
  Fill(badgeEarned, false);
  Fill(virtualKeys, 0);
  ResetSettings();
  Fill(highscores, 0);
  m_Load();
  for (int i = 0; i < channelOrder.Length(); ++i) channelOrder[i] = i;
  return 0;
}

int MyApp::m_OnUpdate() {
  MeasureRate(lastUpdateMillis, updatesPerSecond, updatesPerSecondSmoothed);
  SampleInput();
  BackKeyStep();
  if (loadStep == 0) DispatchMode();
  if (loadStep > 0) m_Loader();
  ControlsPass();
  if (game::DebugMode == 1 && gameMode != kModeWithoutRateDisplay) {
    m_ResetDraw();
    const bool tiltShown = game::AccelerometerControls == 1 && game::iCadeControls == 0;
    const float y = tiltShown ? game::jscrh * 0.5f : game::jscrh - kRateTextInset;
    m_Text(kRateTextInset, y, String(framesPerSecondSmoothed), 0, 0);
  }
  m_ShowBadges();
  return 0;
}

// The back action closes the boxes shown over the title menu.
void MyApp::BackKeyStep() {
  if (keyConsumed != 0 || touchConsumed != 0 || gameMode != kModeMenu) return;
  if (creditsOpen != 1 && badgesOpen != 1) return;
  if (!m_PlayKey(kBackAction)) return;
  creditsOpen = 0;
  badgesOpen = 0;
  keyConsumed = 1;
  touchConsumed = 1;
}

// One mode's work, then what follows it by the mode as it then stands: the
// game-over overlay (which also slides away over the menu) and the boxes
// shown over the title menu.
void MyApp::DispatchMode() {
  switch (gameMode) {
    case kModeMenu:
      m_Menu();
      break;
    case kModeEnterScore:
      m_LoadMenu();
      gameMode = kModeMenu;
      break;
    case kModeRun:
      m_Game();
      m_InGame();
      break;
    case kModeStartRun:
      m_LoadGame();
      break;
    default:
      break;
  }
  if (gameMode == kModeRun && runOver > 0) m_GameOver();
  if (gameMode == kModeMenu || gameMode == kModeEnterScore) m_GameOver();
  if (gameMode != kModeMenu) return;
  if (creditsOpen == 1) m_CreditBox();
  if (gameMode == kModeMenu && badgesOpen == 1) m_BadgesBox();
}

int MyApp::m_OnRender() {
  MeasureRate(lastRenderMillis, framesPerSecond, framesPerSecondSmoothed);
  const int width = graphics::DeviceWidth();
  const int height = graphics::DeviceHeight();
  graphics::SetColor(clearRed, clearGreen, clearBlue);
  graphics::SetAlpha(clearAlpha);
  graphics::DrawRect(-1, -1, static_cast<float>(width + 2), static_cast<float>(height + 2));
  graphics::SetColor(255, 255, 255);
  graphics::SetAlpha(1);
  if (width != deviceWidth || height != deviceHeight) {
    // The art comes in variants per window size: load the one that fits.
    loadStep = 1;
    deviceWidth = width;
    deviceHeight = height;
  }
  ScaleToDevice();
  ReplayDrawList();
  return 0;
}

// The pause entry of a run, after the run's own work in every update: the
// back action or the pause button opens the pause menu, which then runs
// over the still running game.
int MyApp::m_InGame() {
  m_ResetDraw();
  menuSlide = kMenuSlideStart;
  if (m_PlayKey(kBackAction) && paused == 0 && keyConsumed == 0) {
    keyConsumed = 1;
    Pause();
  }
  if (m_Button(run::kIconSheet, kPauseButtonInset, kPauseButtonInset, kPauseButtonFrame) == 1 &&
      paused == 0 && touchConsumed == 0) {
    touchConsumed = 1;
    Pause();
  }
  if (paused == 1) m_PauseMenu();
  return 0;
}

void MyApp::Pause() {
  paused = 1;
  pauseMenuOpen = 1;
  pauseChoice = 0;
  m_PlaySFX(run::kSfxClick, 1, kClickVolume, 0);
}

// A run comes back from a suspension paused with its pause menu open; the
// menus come back as they were.
void MyApp::SetPauseFromMode() {
  if (gameMode < kFirstRunMode) {
    paused = 0;
    pauseMenuOpen = 0;
    pauseSlide = 0;
    return;
  }
  paused = 1;
  pauseMenuOpen = 1;
  pauseSlide = static_cast<int>(game::jscrh * 0.5f);
}

int MyApp::m_OnSuspend() {
  m_iCade(0);
  SetPauseFromMode();
  app::SetUpdateRate(kSuspendedUpdateRate);
  m_Save();
  return 0;
}

int MyApp::m_OnResume() {
  SetPauseFromMode();
  app::SetUpdateRate(kUpdateRate);
  m_iCade(0);
  return 0;
}

}  // namespace vantor
