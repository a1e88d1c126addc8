// vantor-game's command line: help, version, refusals, and the window that
// --scale and --fullscreen ask for.
#include <gtest/gtest.h>

#include "tests/e2e/game_process.h"

namespace vantor::e2e {
namespace {

// The display scripts/with-display starts.
constexpr int kScreenWidth = 1920, kScreenHeight = 1080;
constexpr int kUsageStatus = 2;
// A 640x480 picture letterboxed on that screen leaves bars this wide.
constexpr int kBarWidth = 240;
constexpr int kStillRunning = -1;

struct Case {
  const char* name;
  std::vector<std::string> arguments;
  int status;        // kStillRunning: it opens a window
  const char* says;  // part of its output
  int width = 0, height = 0;  // the window's picture
};

TEST(GameOptions, AnswerOrRefuseAtOnceOrOpenTheWindowAsked) {
  const Case cases[] = {
      {"help", {"--help"}, 0, "/xdg/vantor/.vantorstate"},
      {"help names the keys", {"--help"}, 0, "F11 fullscreen"},
      {"version", {"--version"}, 0, "vantor-game 1.0.0"},
      {"unknown option", {"--speed", "3"}, kUsageStatus, "--speed"},
      {"scale too small", {"--scale", "0"}, kUsageStatus, "--scale: Value 0 not in range 1 to 6"},
      {"scale not a number", {"--scale", "two"}, kUsageStatus, "--scale"},
      {"scale without value", {"--scale"}, kUsageStatus, "--scale"},
      {"scale 2", {"--scale", "2"}, kStillRunning, "", 1280, 960},
      {"fullscreen", {"--fullscreen"}, kStillRunning, "", kScreenWidth, kScreenHeight},
  };
  for (const Case& c : cases) {
    WorkDir work;
    const std::vector<std::string> environment = {"XDG_DATA_HOME=" + work / "xdg"};
    if (c.status != kStillRunning) {
      std::vector<std::string> command = {VANTOR_GAME};
      command.insert(command.end(), c.arguments.begin(), c.arguments.end());
      const Result result = e2e::Run(command, work.path(), 30s, environment);
      EXPECT_EQ(result.status, c.status) << c.name << ": " << result.output;
      EXPECT_NE(result.output.find(c.says), std::string::npos) << c.name << ": " << result.output;
      continue;
    }
    GameProcess game(work, c.arguments, environment);
    ASSERT_FALSE(game.window().empty()) << c.name << ": " << game.child().Output();
    std::optional<Image> shot;
    EXPECT_TRUE(WaitFor(
        [&] {
          shot = game.Screenshot(work / "shot.png");
          return shot && shot->width == c.width && shot->height == c.height &&
                 MeanBrightness(*shot, c.width / 2, c.height / 2, 1, 1) > 0;
        },
        20s))
        << c.name << ": " << (shot ? shot->width : 0) << "x" << (shot ? shot->height : 0);
    if (shot && c.width == kScreenWidth) {
      EXPECT_EQ(MeanBrightness(*shot, 0, 0, kBarWidth, c.height), 0) << "left bar not black";
      EXPECT_EQ(MeanBrightness(*shot, c.width - kBarWidth, 0, kBarWidth, c.height), 0)
          << "right bar not black";
    }
    game.Close();
    EXPECT_EQ(game.child().Wait(10s), 0) << c.name << ": " << game.child().Output();
  }
}

}  // namespace
}  // namespace vantor::e2e
