// vantor-game's command line: help, version and refusals at once, and the
// window that --scale and --fullscreen ask for. Those two windows open
// without a sound device, which the game must say and survive.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

// The display scripts/with-display starts; a 640x480 picture letterboxed
// on it leaves black bars this wide.
constexpr int kScreenWidth = 1920, kScreenHeight = 1080, kBarWidth = 240;
constexpr int kUsageStatus = 2;

TEST(CommandLine, AnswersOrRefusesAtOnce) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    const char* says;
  } cases[] = {
      {{"--help"}, 0, "/xdg/vantor/.vantorstate"},
      {{"--help"}, 0, "F11 fullscreen"},
      {{"--version"}, 0, "vantor-game 1.0.0"},
      {{"--speed", "3"}, kUsageStatus, "--speed"},
      {{"--scale", "0"}, kUsageStatus, "--scale: Value 0 not in range 1 to 6"},
      {{"--scale", "two"}, kUsageStatus, "--scale"},
      {{"--scale"}, kUsageStatus, "--scale"},
  };
  WorkDir work;
  for (const auto& c : cases) {
    std::vector<std::string> command = {VANTOR_GAME};
    command.insert(command.end(), c.arguments.begin(), c.arguments.end());
    const Result result = e2e::Run(command, work.path(), {"XDG_DATA_HOME=" + work / "xdg"});
    EXPECT_EQ(result.status, c.status) << command.back() << ": " << result.output;
    EXPECT_NE(result.output.find(c.says), std::string::npos) << c.says << " not in " << result.output;
  }
}

TEST(GameOptions, OpenTheWindowAskedEvenWithoutASoundDevice) {
  const struct {
    std::vector<std::string> arguments;
    int width, height;
  } cases[] = {{{"--scale", "2"}, 1280, 960}, {{"--fullscreen"}, kScreenWidth, kScreenHeight}};
  for (const auto& c : cases) {
    WorkDir work;
    Game game(VANTOR_GAME, work.path(), c.arguments, {"ALSOFT_DRIVERS=nonexistent"});
    ASSERT_FALSE(game.window.empty()) << c.arguments[0] << ": " << game.child.Output();
    std::optional<Image> shot;
    EXPECT_TRUE(WaitFor(
        [&] {
          shot = game.Screenshot();
          return shot && shot->width == c.width && shot->height == c.height &&
                 MeanBrightness(*shot, c.width / 2, c.height / 2, 1, 1) > 0;
        },
        20s))
        << c.arguments[0] << ": " << (shot ? shot->width : 0) << "x" << (shot ? shot->height : 0);
    if (shot && c.width == kScreenWidth) {
      EXPECT_EQ(MeanBrightness(*shot, 0, 0, kBarWidth, c.height), 0) << "left bar not black";
      EXPECT_EQ(MeanBrightness(*shot, c.width - kBarWidth, 0, kBarWidth, c.height), 0)
          << "right bar not black";
    }
    EXPECT_EQ(game.Close(), 0) << c.arguments[0] << ": " << game.child.Output();
    EXPECT_NE(game.child.Output().find("alcOpenDevice failed"), std::string::npos)
        << game.child.Output();
  }
}

}  // namespace
}  // namespace vantor::e2e
