// MyApp's host events: creation, the per-update order of work with the mode
// dispatch, the render pass, suspend and resume. The host loop calls these
// through the app bridge; every screen hangs off the dispatch here.
#include <algorithm>
#include <array>
#include <utility>

#include "game/ids.h"
#include "game/myapp.h"
#include "game/run.h"
#include "modules/app.h"
#include "modules/graphics.h"
#include "runtime/debug.h"

namespace vantor {
namespace {

constexpr int kMenuSlideStart = -32;
constexpr int kMenuValueStart = 50;
constexpr int kPauseSlideStart = -64;
constexpr float kRateTextInset = 16;
// The pause button and the click it makes.
constexpr float kPauseButtonInset = 16;
constexpr int kPauseButtonFrame = 0;
constexpr float kClickVolume = 0.5f;

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
  runPicture.queue_mark();
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
  ClosePauseMenu();
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
  if (game::DebugMode == 1 && gameMode != kModeNoScreen) {
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
  if (!m_PlayKey(kActionBack)) return;
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
      RunStep();
      break;
    case kModeStartRun:
      m_LoadGame();
      break;
    default:
      break;
  }
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
    // The art comes in variants per window size: load the one that fits
    // when it is not the one loaded. Loading the same files again would
    // only freeze the screen behind the loader (a rotated phone, a window
    // dragged a little); the layout follows the size at every render. A
    // load under way starts again whatever the size needs: the update
    // before this render may already have loaded a file for the new size.
    if (loadStep != 0 || ArtScaleFor(width, height) != artScale) loadStep = 1;
    deviceWidth = width;
    deviceHeight = height;
  }
  ScaleToDevice();
  ReplayDrawList();
  return 0;
}

// After the run's own work in every update: the pause button over the run,
// and the pause menu over the run standing still while it is paused.
int MyApp::m_InGame() {
  m_ResetDraw();
  menuSlide = kMenuSlideStart;
  m_DrawImg(kIconSheet, kPauseButtonInset, kPauseButtonInset, kPauseButtonFrame);
  if (paused == 1) m_PauseMenu();
  return 0;
}

// One update of a run. While it is paused the run stands still: it neither
// moves nor draws, its last picture stays under the pause menu and its
// effects wait, and the game-over overlay waits with it; once the pause menu
// has slid away the run goes on from where it stopped, as if never paused.
void MyApp::RunStep() {
  PauseEntry();
  const bool frozen = paused == 1;
  if (frozen) {
    ShowRunPicture();
    if (runOver > 0) DrawGameOver();
  } else {
    ResumeRunSounds();
    if (pausePress == 1) {
      GameWithoutPointer();
    } else {
      m_Game();
    }
    KeepRunPicture();
  }
  m_InGame();
  if (!frozen && runOver > 0) m_GameOver();
}

void MyApp::KeepRunPicture() {
  std::copy_n(drawList.Data(), drawListLength, runPicture.Data());
  runPictureLength = drawListLength;
}

void MyApp::ShowRunPicture() {
  m_CLS2D(palette::kBackdrop.red, palette::kBackdrop.green, palette::kBackdrop.blue, 1);
  std::copy_n(runPicture.Data(), runPictureLength, drawList.Data());
  drawListLength = runPictureLength;
}

// Before the run's own work in every update, so that a press on the pause
// button pauses and does nothing else: the back action or a press on the
// pause button opens the pause menu. A press made while the pause menu is
// up belongs to it until it is let go.
void MyApp::PauseEntry() {
  if (m_PlayKey(kActionBack) && paused == 0 && keyConsumed == 0) {
    keyConsumed = 1;
    Pause();
  }
  m_ResetDraw();  // the button's size, as m_InGame draws it
  if (OverButton(kIconSheet, kPauseButtonInset, kPauseButtonInset, kTouchPoints) && paused == 0 &&
      touchConsumed == 0) {
    touchConsumed = 1;
    Pause();
  }
  pausePress = touchDown > 0 && (pausePress == 1 || paused == 1) ? 1 : 0;
}

// One update of the run with the pointer up everywhere.
void MyApp::GameWithoutPointer() {
  const int down = std::exchange(touchDown, 0);
  std::array<int, kTouchPoints> active{}, xs{}, ys{};
  for (int i = 0; i < kTouchPoints; ++i) {
    active[i] = std::exchange(touchActive[i], 0);
    xs[i] = std::exchange(touchXs[i], static_cast<int>(kNotGiven));
    ys[i] = std::exchange(touchYs[i], static_cast<int>(kNotGiven));
  }
  m_Game();
  touchDown = down;
  for (int i = 0; i < kTouchPoints; ++i) {
    touchActive[i] = active[i];
    touchXs[i] = xs[i];
    touchYs[i] = ys[i];
  }
}

// The run's effects wait before the click sounds, so the click plays.
void MyApp::Pause() {
  paused = 1;
  pauseMenuOpen = 1;
  pauseChoice = 0;
  PauseRunSounds();
  m_PlaySFX(kSfxClick, 1, kClickVolume, 0);
}

// Not paused, the pause menu hidden above the screen.
void MyApp::ClosePauseMenu() {
  paused = 0;
  pauseMenuOpen = -1;
  pauseSlide = kPauseSlideStart;
  pausePress = 0;
}

// A run comes back from a suspension paused with its pause menu open, and
// so stands still until the player goes on; the menus come back as they
// were.
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
  PauseRunSounds();
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
