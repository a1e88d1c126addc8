// The window the command line asks for, made to fit the screen: a --scale
// whose window is larger than the work area is lowered to the largest that
// fits, and the player is told so in one line.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include "game/launch.h"

namespace vantor::testing {
namespace {

// The window for `--scale scale` on a work area of `area`, and what was said.
std::pair<WindowOptions, std::string> Fit(int scale, std::optional<WorkArea> area) {
  std::string scaleText = std::to_string(scale);
  char program[] = "vantor-game", option[] = "--scale";
  char* argv[] = {program, option, scaleText.data()};
  std::ostringstream out, err;
  const LaunchRequest request = ParseCommandLine(3, argv, out, err);
  EXPECT_FALSE(request.exitStatus) << err.str();
  std::ostringstream said;
  const WindowOptions window = FitWindow(request, area, said);
  return {window, said.str()};
}

TEST(WindowFit, AScaleTooLargeForTheWorkAreaIsLoweredToTheLargestThatFits) {
  using Case = std::tuple<int, std::optional<WorkArea>, int, int>;
  for (const auto& [scale, area, width, height] : {
           Case{6, WorkArea{1920, 1080}, 1280, 960},   // 2 fits, 3 is too tall
           Case{3, WorkArea{1920, 1440}, 1920, 1440},  // exactly fits
           Case{3, WorkArea{1919, 1440}, 1280, 960},   // one pixel too narrow
           Case{6, WorkArea{4000, 3000}, 3840, 2880},
           Case{1, WorkArea{320, 200}, 640, 480},  // nothing smaller to go to
           Case{4, std::nullopt, 2560, 1920},      // no monitor to ask
       }) {
    SCOPED_TRACE(
        std::to_string(scale) + " in " +
        (area ? std::to_string(area->width) + "x" + std::to_string(area->height) : "none"));
    const auto [window, said] = Fit(scale, area);
    EXPECT_EQ(window.width, width);
    EXPECT_EQ(window.height, height);
    if (width == 640 * scale) {
      EXPECT_EQ(said, "") << "nothing to say";
    } else {
      EXPECT_NE(said.find("--scale " + std::to_string(width / 640)), std::string::npos) << said;
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line: " << said;
    }
  }
}

}  // namespace
}  // namespace vantor::testing
