// The keys the window keeps for itself, on the real game: F3 shows and
// hides the frame statistics, F12 writes a screenshot into the pictures
// directory and says where, F11 goes fullscreen and back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "tests/e2e/game_process.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 640, kHeight = 480;
constexpr int kScreenWidth = 1920, kScreenHeight = 1080;
// The statistics panel's corner of the window.
constexpr int kPanelX = 0, kPanelY = 0, kPanelWidth = 200, kPanelHeight = 40;
constexpr double kPanelChange = 10;

void Press(const GameProcess& game, const char* key) {
  Shell("xdotool windowactivate --sync " + game.window() + " key " + key);
}

// The window's picture once it has `width` x `height` pixels.
std::optional<Image> PictureOfSize(const GameProcess& game, const WorkDir& work, int width,
                                   int height) {
  std::optional<Image> shot;
  WaitFor(
      [&] {
        shot = game.Screenshot(work / "window.png");
        return shot && shot->width == width && shot->height == height;
      },
      10s);
  return shot && shot->width == width ? shot : std::nullopt;
}

TEST(ComfortKeys, StatisticsScreenshotAndFullscreenToggle) {
  WorkDir work;
  fs::create_directories(work / "home/Pictures");
  fs::create_directories(work / "home/.config");
  WriteFile(work / "home/.config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n");
  GameProcess game(work, {}, {"HOME=" + work / "home", "XDG_CONFIG_HOME="});
  ASSERT_FALSE(game.window().empty()) << game.child().Output();
  ASSERT_TRUE(game.WaitForMenu()) << game.child().Output();

  const auto panel = [&] {
    const std::optional<Image> shot = game.Screenshot(work / "panel.png");
    return shot ? MeanBrightness(*shot, kPanelX, kPanelY, kPanelWidth, kPanelHeight) : -1;
  };
  // White text on a dark panel moves the corner's mean brightness by
  // more than the menu's own motion there does.
  const double plain = panel();
  const auto changed = [&] { return std::abs(panel() - plain); };
  Press(game, "F3");
  EXPECT_TRUE(WaitFor([&] { return changed() > kPanelChange; }, 5s)) << "no statistics panel";
  Press(game, "F3");
  EXPECT_TRUE(WaitFor([&] { return changed() < kPanelChange / 2; }, 5s)) << "the panel stayed";

  Press(game, "F12");
  const std::string said = "Screenshot saved to " + work / "home/Pictures/vantor-";
  ASSERT_TRUE(WaitFor([&] { return game.child().Output().find(said) != std::string::npos; }, 5s))
      << game.child().Output();
  std::optional<Image> saved;
  for (const auto& entry : fs::directory_iterator(work / "home/Pictures"))
    saved = LoadPng(entry.path().string());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->width, kWidth);
  EXPECT_EQ(saved->height, kHeight);
  EXPECT_GT(MeanBrightness(*saved, 0, 0, kWidth, kHeight), 0);

  Press(game, "F11");
  EXPECT_TRUE(PictureOfSize(game, work, kScreenWidth, kScreenHeight)) << "not fullscreen";
  Press(game, "F11");
  EXPECT_TRUE(PictureOfSize(game, work, kWidth, kHeight)) << "not back in the window";

  game.Close();
  EXPECT_EQ(game.child().Wait(10s), 0) << game.child().Output();
}

}  // namespace
}  // namespace vantor::e2e
