// MyApp: the whole game as one application object.
//
// Every piece of game state is a field of this one object, even loop
// counters, so that a method never loops over a counter another method in
// the same call chain is using. The host calls the five event operations;
// everything else (loading, menus, the run, game over) is a method selected
// each update by `gameMode`. Updates never draw: the drawing operations
// append 15-float records to `drawList` (game/draw_record.h), and each
// render replays the list scaled from the virtual screen to the window.
//
// The methods are split by screen over the game/ folder:
//   modes.cpp     creation, the update order, mode dispatch, render,
//                 suspend and resume, the pause entry of a run
//   globals.cpp   the game module's globals
//   loader.cpp    the asset loader and its screen
//   draw.cpp      the draw list, drawing state, bitmap text, image loading
//   controls.cpp  pointer, touch, keys, joystick and iCade; buttons
//   run_keys.cpp  a run's key and pad presses; the highlight of phases 1-2
//   sound.cpp     sound effects
//   progress.cpp  the saved record; rank and fixed-width text
//   run.cpp       starting a run, the shared per-update work, phases 1-4
//   chase.cpp     placing the police; phases 5-6: chase, shootout from the car
//   fence.cpp     phases 7-8: scaling the fence, the fight at the fence
//   run.h         the run's numbers: timings, speeds, city geometry
// and the headers the game, its tools and its tests share:
//   ids.h         modes, phases, image slots, sounds, actions, settings
//   palette.h     the colours, named by what they paint
//   draw_record.h the draw list's 15-float record, field by field
//   world_cells.h worldCells' three layouts: bags, city, bullets
//   game_view.h   the read-only view of the game for tools and tests
//   ending.cpp    phase 9, the game-over overlay, entering the score
//   menus.cpp     title menu, credits box, pause menu
//   badges.cpp    badge catalogue, pop-up strip, badge box
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "game/draw_record.h"
#include "game/ids.h"
#include "game/palette.h"
#include "modules/app.h"
#include "modules/audio.h"
#include "modules/graphics.h"
#include "runtime/array.h"
#include "runtime/text.h"

namespace vantor {

// A value no caller gives: an argument left out, or a touch point that is up
// (the same number as kRecordRect; game/draw_record.h says why).
inline constexpr float kNotGiven = -3717;

inline constexpr int kImageSlots = 100;
inline constexpr int kSoundSlots = 100;
inline constexpr int kDrawListFloats = 37500;
inline constexpr int kVirtualKeys = 20;
inline constexpr int kSettings = 25;
inline constexpr int kHighscores = 60;
inline constexpr int kBadgeCount = 256;
inline constexpr int kPopupSlots = 15;
inline constexpr int kTouchPoints = 10;
inline constexpr int kWorldCells = 1024;
inline constexpr int kUpdateRate = 60;
inline constexpr int kSuspendedUpdateRate = 5;
// Score tables: for table t (1-3) the best ten start at 10 (t - 1), the
// last ten runs 30 entries later.
inline constexpr int kTableSize = 10;
inline constexpr int kRecentOffset = 30;
// The design size of the virtual screen.
inline constexpr float kDesignWidth = 640;
inline constexpr float kDesignHeight = 480;
// Degrees to radians, in single precision as every angle of the game uses it.
inline constexpr float kDegreesToRadians = 0.0174532924f;

// The game module's globals.
namespace game {
// Switches of the framework's game module that this game leaves at 0 (no
// on-screen pad, no tilt, no music); kept with what they switch on, which
// is part of the module's interface for games that use it.
extern int OnScreenControls;
extern int AccelerometerControls;
extern int iCadeControls;
extern int HasMusic;
extern int DebugMode;
extern float rawscrw;
extern float rawscrh;
extern float jscrw;
extern float jscrh;
void ModuleInit();
}  // namespace game

class MyApp : public App {
 public:
  // Mode machine and device.
  int gameMode = 0;
  int deviceWidth = 0, deviceHeight = 0;
  float accelZeroX = 0, accelZeroY = 0;
  float clearRed = 0, clearGreen = 0, clearBlue = 0, clearAlpha = 1;
  int artScale = 1;
  float artScaleInverse = 1;
  Array<gc_ref<Image>> images{kImageSlots};
  Array<int> imageFrameInfo{kImageSlots * 3};
  int loadStep = 0;
  int scoreTableIndex = 0;
  int menuSlide = 0;
  int menuValue = 0;  // set to 50 at creation; no screen reads it
  int paused = 0;
  int pauseMenuOpen = 0;
  int pauseSlide = 0;
  // 1 while the pointer press the pause button or the pause menu took is
  // held: the run beneath does not see it.
  int pausePress = 0;
  int loopIndex = 0;
  Array<int> popupBadge{kPopupSlots};
  Array<int> popupTimer{kPopupSlots};
  Array<bool> badgeEarned{kBadgeCount};
  Array<int> virtualKeys{kVirtualKeys};
  Array<int> settings{kSettings};
  Array<int> highscores{kHighscores};
  int loadCursor = 0, savedValue = 0, badgeWordIndex = 0, badgeBitIndex = 0, scoreGroupIndex = 0,
      scoreEntryIndex = 0;
  Array<int> channelOrder{33};
  int lastRenderMillis = 0, framesPerSecond = 0, framesPerSecondSmoothed = 0;
  float scaleX = 0, scaleY = 0;
  int scaleAxis = 0;
  int landscape = 0;
  int drawListLength = 0;
  Array<float> drawList{kDrawListFloats};
  int lastResult = 0;
  int lastUpdateMillis = 0, updatesPerSecond = 0, updatesPerSecondSmoothed = 0;
  int mouseX = 0, prevMouseX = 0, mouseY = 0, prevMouseY = 0;
  int mouseWasDown = 0;
  int touchDown = 0;
  int touchHit = 0;
  Array<int> touchActive{kTouchPoints};
  Array<int> touchXs{kTouchPoints};
  Array<int> touchYs{kTouchPoints};
  int touchConsumed = 0;
  int keyConsumed = 0;
  int creditsOpen = 0, badgesOpen = 0;
  float drawSizeX = 1, drawSizeY = 1, drawRotation = 0, drawRed = 255, drawGreen = 255,
        drawBlue = 255, drawAlpha = 1;
  int listRows = 0;
  float badgeScrollTarget = 0, badgeScroll = 0;  // the badge box's scroll
  int spriteFrame = 0;
  int gridX = 0, gridY = 0;
  int buttonHit = 0;
  int lastChannel = 0;
  Array<gc_ref<Sound>> sounds{kSoundSlots};
  int currentFont = 0;
  int keyDigit = 0;
  int scratch = 0;  // loader logo size; insertion position of a new score
  int score = 0;
  int spinnerAngle = 0;

  // The run (phases 1-9).
  int phase = 0;
  float playerX = 0, playerY = 0;
  float playerSpeed = 0;
  int sfxTimer = 0;
  int loot = 0;
  int bagsGrabbed = 0;
  int doorSoundPlayed = 0;
  int timeLeft = 0;
  int runOver = 0;
  float carOffsetX = 0, carOffsetY = 0;
  float cameraX = 0, cameraY = 0;
  int carHeading = 0;
  int copsToRam = 0;
  float chaseCarX = 0, chaseCarVelocity = 0;
  float targetCarX = 0, targetCarVelocity = 0;
  int hitsLeft = 0;
  int reloadNeeded = 0;
  float reloadX = 0, reloadY = 0;
  int playerPose = 0;
  int copDucking = 0;
  int playerShotTimer = 0, copShotTimer = 0;
  int freeSlot = 0;
  int playerHealth = 0;
  int shownTotal = 0;
  String enteredCode;
  String targetCode;
  Array<int> worldCells{kWorldCells};
  int pauseChoice = 0, selectedBadge = 0;
  int gameOverFrame = 0;
  int padX = 0, padY = 0;
  float padScale = 0;
  int pinchActive = 0;
  float tiltRawX = 0, tiltRawY = 0, tiltX = 0, tiltY = 0;

  // Beyond the game's original fields. A paused run stands still: its last
  // picture (`runPictureLength` floats of draw list, kept after every
  // update it runs) is shown under the pause menu, and the effects it was
  // playing wait (`runSoundsPaused`) until it goes on. A finished run's
  // score takes the rank decided as the run ends (`highscoreRank`, 0 for
  // none), which the overlay shows and the tables enter it at.
  Array<float> runPicture{kDrawListFloats};
  int runPictureLength = 0;
  int runSoundsPaused = 0;
  int highscoreRank = 0;
  // The highlight keys and pads move in phases 1 and 2: the keypad key it
  // marks (row * kKeypadColumns + column) or the bag. It shows (1) once a
  // key or pad has been used in the phase, until the pointer is.
  int highlight = 0;
  int highlightShown = 0;

  void mark() override;

  // Host events.
  int m_OnCreate() override;
  int m_OnUpdate() override;
  int m_OnSuspend() override;
  int m_OnResume() override;
  int m_OnRender() override;

  virtual int m_LoadImg(int slot, String name, int cellWidth, int cellHeight, int frameCount,
                        int flags);
  virtual int m_Reload();
  virtual int m_Load();
  virtual int m_iCade(int on);
  virtual int m_Save();
  virtual bool m_PlayKey(int action);
  virtual int m_ResetDraw();
  virtual int m_CLS2D(float r, float g, float b, float a);
  virtual int m_SetSize(float sx, float sy = kNotGiven);
  virtual int m_DrawImg(int slot, float x, float y, int frame);
  virtual int m_Alpha(float a);
  virtual int m_SetCol(float r, float g, float b, float a = kNotGiven);
  virtual int m_Rect(float x, float y, float w, float h);
  virtual int m_Button(int slot, float x, float y, int frame);
  virtual int m_PlaySFX(int n, float rate = 1, float volume = 1, float pan = 0);
  virtual String m_rstr(int value, int width, String pad);
  virtual int m_Text(float x, float y, String text, float xAlign, float yAlign);
  virtual int m_Menu();
  virtual int m_LoadMenu();
  virtual int m_Oval(float x, float y, float rx, float ry);
  virtual int m_WaitStart(int screen);
  virtual bool m_Touch(float x, float y, float w, float h, String label);
  virtual String m_lstr(String text, int width, String pad);
  virtual int m_SetRot(float angle);
  virtual int m_PlacePolice();
  virtual bool m_MouseIn_Centered(float x, float y, float w, float h);
  virtual int m_Game();
  virtual int m_PauseMenu();
  virtual int m_InGame();
  virtual int m_LoadGame();
  virtual String m_MyNth();
  virtual int m_GameOver();
  virtual int m_CreditBox();
  virtual String m_BadgeID(int id);
  virtual String m_BadgeName(int id);
  virtual String m_BadgeDetail(int id);
  virtual int m_BadgesBox();
  virtual int m_LoadFont(int slot, String name, int advance, int lineHeight);
  virtual int m_LoadSFX(int n);
  virtual int m_Loader();
  virtual bool m_Button0(int slot, float x, float y, int frame);
  virtual int m_ShowBadges();

  // Pieces of the host events above, split out so each stays small. Not
  // script methods: nothing outside the game's own files calls them.
  void SampleInput();
  void BackKeyStep();
  void DispatchMode();
  void ControlsPass();
  void DecodeICade();
  void ClearLatches();
  // Never run in this game (their switches stay 0); kept with the switches.
  void OnScreenPad();
  void TiltWidget();
  void SetPauseFromMode();
  void RunStep();
  void PauseEntry();
  void Pause();
  void ClosePauseMenu();
  void GameWithoutPointer();
  void KeepRunPicture();
  void ShowRunPicture();
  void PauseRunSounds();
  void ResumeRunSounds();
  void ScaleToDevice();
  void ReplayDrawList();
  void ReplayRecord(const float* floats);
  void ChooseArtScale();
  void LoaderStep();
  void DrawSpinnerRing(Colour colour, float offsetDegrees);
  float* NewRecord(float kind);
  bool AnyActionDown();
  bool ActionKeyHit(int action);
  bool TouchPointIn(int point, float left, float top, float right, float bottom);
  bool OverButton(int slot, float x, float y, int points);
  String ArtFileName(String name);
  void ResetSettings();
  void LoadSettingsSection(const Array<String>& parts);
  void LoadBadgeSection(const Array<String>& parts);
  void LoadScoreSection(const Array<String>& parts);
  int ScoreChecksum(int table);
  bool SectionIntact(const Array<String>& parts, int fields, uint32_t sum);
  String RankText(int rank);
  int AppendShape(float kind, float x, float y, float w, float h);

  // ---------------------------------------------------------------------
  // Helpers of the run, its ending, the menus and the badges (run.cpp,
  // chase.cpp, fence.cpp, ending.cpp, menus.cpp, badges.cpp). Kept in one
  // block so the list above stays the game's own method order.
 private:
  // One update of each phase of a run, in the order they are played.
  void PhaseKeypad();
  void PhaseCash();
  void PhaseBankHall();
  void PhaseStreet();
  void PhaseChase();
  void PhaseCarShootout();
  void PhaseFence();
  void PhaseFenceFight();
  void PhaseClosing();

  // m_SetCol with a colour of the palette.
  void SetColour(Colour colour, float alpha = kNotGiven);

  // Pieces several phases share.
  void TitleText(String text);
  void SoundAlarm(float volume, float pan);
  void RunningRule(float maxStepRate);
  void DrawNightSky(float bandHeight);
  void DrawFenceGround();
  void DrawFence(int planks, Colour frame, Colour board);
  void DrawHitMarkers(float centreX, float y, int standing);

  // Keys and pads in a run (run_keys.cpp).
  int TakeAction(std::span<const int> actions);
  int KeypadByKeys();
  void MoveKeypadHighlight(int action);
  void DrawKeyHighlight(float x, float y);
  int CashByKeys();
  void MoveBagHighlight(int action);
  int NearestBag(float x, float y);
  void DrawBagHighlight(float x, float y);
  bool DuckByKeys();

  // Phase 1.
  void PressKeypadKey();
  void LayOutCashBags();
  // Phase 2.
  void GrabBag(int bag);
  // Phase 5.
  void DrawCityAndRam(float carScreenX, float carScreenY);
  void BounceAtCityEdge();
  void MoveCar();
  void SteerCar();
  // Phase 6.
  void DrawStreetLamps();
  void DriftCars();
  void ShootFromCar();
  void ReloadPrompt();
  void MoveReloadPrompt();
  // Phase 8.
  void DrawFightScene();
  void FireWhenDue(int& shotTimer, int kind, float muzzleX, int sound);
  void MoveBullets();

  // The game-over overlay.
  void DrawGameOver();
  void DrawNewHighscore(int slide);

  // Title menu, credits and pause menu.
  void ToggleSoundMode();
  int SoundModeFrame();
  void PlayClick(float rate);
  bool BoxOpen();
  bool TakeKey(std::initializer_list<int> actions);
  void DrawMenuBackground(int slide);
  void DrawScoreLists(int slide);
  String ScoreListText(String oneRowTitle, String title, int firstEntry);
  void MenuStartButtons(int slide);
  void MenuIcadeButton(int slide);
  void DrawPauseBars();
  bool PauseItem(float x, float y, Colour colour, int frame, int choice);
  void ResumeRun();
  void QuitRun();
  void PauseResumeItem();
  void PauseQuitItem();
  void PauseSoundItem();

  // Badges.
  void DrawBadgePopup(int slot);
  void DrawBadgeDetail();
};

// The integer a saved-record element holds, read as the C library's atoi
// reads text (leading white space, a sign, digits up to the first other
// character; nothing usable reads as 0), except that values beyond the
// 32-bit range are clamped to it instead of being undefined.
int RecordInt(const String& text);
// Whether a saved-record element is a decimal integer: digits after an
// optional sign, with nothing but white space around them.
bool IsRecordInt(const String& text);

// The art variant a `width` x `height` window needs: `artScale` 1, 2 or 4.
int ArtScaleFor(int width, int height);

}  // namespace vantor
