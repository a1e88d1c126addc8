// The real vantor-game under the window manager: its window, a click on the
// start button, the record written when it is iconified, closing it, and
// running without a sound device.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/e2e/game_process.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 640, kHeight = 480;
// The start button's centre (0.4 and 0.7 of the menu).
constexpr int kStartX = 256, kStartY = 336;
// A strip of the keypad's plain grey panel, left of its keys, in phase 1.
constexpr int kPanelX = 194, kPanelY = 120, kPanelWidth = 12, kPanelHeight = 300;
constexpr double kPanelGrey = 150;
constexpr size_t kRecordElements = 99;

// `xdotool getwindowgeometry --shell` and `getdisplaygeometry` values.
std::map<std::string, int> Geometry(const std::string& window) {
  std::map<std::string, int> values;
  std::istringstream lines(Shell("xdotool getwindowgeometry --shell " + window));
  std::string line;
  while (std::getline(lines, line)) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos)
      values[line.substr(0, equals)] = std::stoi(line.substr(equals + 1));
  }
  std::istringstream display(Shell("xdotool getdisplaygeometry"));
  display >> values["SCREEN_WIDTH"] >> values["SCREEN_HEIGHT"];
  return values;
}

TEST(GameWindow, TitledCentredStartsOnClickSavesWhenIconifiedAndClosesWithZero) {
  WorkDir work;
  GameProcess game(work);
  ASSERT_FALSE(game.window().empty()) << game.child().Output();
  EXPECT_EQ(Shell("xdotool getwindowname " + game.window()), "Vantor Game");
  std::map<std::string, int> geometry = Geometry(game.window());
  EXPECT_EQ(geometry["WIDTH"], kWidth);
  EXPECT_EQ(geometry["HEIGHT"], kHeight);
  // Centred, give or take the window manager's frame.
  EXPECT_NEAR(geometry["X"] + kWidth / 2, geometry["SCREEN_WIDTH"] / 2, 8);
  EXPECT_NEAR(geometry["Y"] + kHeight / 2, geometry["SCREEN_HEIGHT"] / 2, 32);

  ASSERT_TRUE(game.WaitForMenu()) << game.child().Output();
  const std::optional<Image> menu = game.Screenshot(work / "menu.png");
  ASSERT_TRUE(menu);
  EXPECT_NE(MeanBrightness(*menu, kPanelX, kPanelY, kPanelWidth, kPanelHeight), kPanelGrey);
  game.Click(kStartX, kStartY);
  ASSERT_TRUE(WaitFor(
      [&] {
        const std::optional<Image> run = game.Screenshot(work / "run.png");
        return run &&
               MeanBrightness(*run, kPanelX, kPanelY, kPanelWidth, kPanelHeight) == kPanelGrey;
      },
      5s))
      << "no keypad after the click on the start button";

  EXPECT_FALSE(fs::exists(work / ".vantorstate"));
  game.Iconify();
  ASSERT_TRUE(WaitFor([&] { return fs::exists(work / ".vantorstate"); }, 10s));
  const std::vector<std::string> record = RecordElements(ReadFile(work / ".vantorstate"));
  ASSERT_EQ(record.size(), kRecordElements);
  const RecordChecksums sums = ComputeChecksums(record);
  EXPECT_EQ(std::stoi(record[25]), sums.settings);
  EXPECT_EQ(record[5], "1") << "sound on, as a fresh game has it";

  game.Close();
  EXPECT_EQ(game.child().Wait(10s), 0) << game.child().Output();
}

TEST(GameWindow, WithoutASoundDeviceSaysSoAndStillRuns) {
  WorkDir work;
  GameProcess game(work, {"ALSOFT_DRIVERS=nonexistent"});
  ASSERT_FALSE(game.window().empty()) << game.child().Output();
  ASSERT_TRUE(game.WaitForMenu()) << game.child().Output();
  EXPECT_TRUE(game.child().Running());
  game.Close();
  EXPECT_EQ(game.child().Wait(10s), 0);
  EXPECT_NE(game.child().Output().find("alcOpenDevice failed"), std::string::npos)
      << game.child().Output();
}

}  // namespace
}  // namespace vantor::e2e
