// The real vantor-game takes presses that begin and end between two of its
// updates: the Enter key starts a run, a zero-length click on the pause
// button pauses it, on the quit item ends it, and on the start button
// starts the next one.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/e2e/game_process.h"

namespace vantor::e2e {
namespace {

// A strip of the keypad's plain grey panel, above the pause menu's reach.
constexpr int kPanelX = 194, kPanelY = 114, kPanelWidth = 12, kPanelHeight = 30;
constexpr double kPanelGrey = 150;
// The pause menu's backdrop darkens the run to about a third.
constexpr double kDarkenedBelow = 100;
// Window pixels of the start button, the pause button and the pause menu's
// quit item (640 x 480).
constexpr int kStartX = 256, kStartY = 336;
constexpr int kPauseX = 16, kPauseY = 16;
constexpr int kQuitX = 180, kQuitY = 184;

// xdotool's click: press and release with no time between them.
void QuickClick(const GameProcess& game, int x, int y) {
  Shell("xdotool windowraise " + game.window() + " mousemove --window " + game.window() + " " +
        std::to_string(x) + " " + std::to_string(y) + " click 1");
}

// Whether the keypad's panel strip soon has a brightness that passes `test`.
bool PanelSoon(const GameProcess& game, const WorkDir& work, bool (*test)(double)) {
  return WaitFor(
      [&] {
        const std::optional<Image> shot = game.Screenshot(work / "shot.png");
        return shot && test(MeanBrightness(*shot, kPanelX, kPanelY, kPanelWidth, kPanelHeight));
      },
      5s);
}

bool KeypadShown(double mean) { return mean == kPanelGrey; }
bool KeypadDarkened(double mean) { return mean < kDarkenedBelow; }

TEST(GameWindow, EnterAndZeroLengthClicksStartPauseAndQuitRuns) {
  WorkDir work;
  GameProcess game(work);
  ASSERT_FALSE(game.window().empty()) << game.child().Output();
  ASSERT_TRUE(game.WaitForMenu()) << game.child().Output();
  Shell("xdotool windowactivate --sync " + game.window() + " key Return");
  ASSERT_TRUE(PanelSoon(game, work, KeypadShown)) << "Enter did not start a run";

  QuickClick(game, kPauseX, kPauseY);
  ASSERT_TRUE(PanelSoon(game, work, KeypadDarkened))
      << "the click on the pause button did not pause";

  QuickClick(game, kQuitX, kQuitY);
  ASSERT_TRUE(game.WaitForMenu()) << "quitting did not lead back to the menu";
  QuickClick(game, kStartX, kStartY);
  EXPECT_TRUE(PanelSoon(game, work, KeypadShown))
      << "the click on the start button did not start a run";

  game.Close();
  EXPECT_EQ(game.child().Wait(10s), 0) << game.child().Output();
}

}  // namespace
}  // namespace vantor::e2e
