// Where the game looks for its data, where its record and the player's
// pictures go, and the letterbox that fullscreen draws into.
#include <gtest/gtest.h>

#include <map>

#include "host/files.h"
#include "host/glfw_platform.h"
#include "host/places.h"
#include "tests/host/temp_dir.h"

namespace vantor {
namespace {

using testing::ScopedWorkDir;
using testing::WriteFile;

Environment With(std::map<std::string, std::string> values) {
  return [values = std::move(values)](const char* name) -> const char* {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : found->second.c_str();
  };
}

TEST(DataSearch, WorkingDirectoryFirstThenUpFromTheExecutableThenInstalledEachOnce) {
  const std::vector<fs::path> candidates = DataCandidates(
      "/home/me", "/src/vantor/build/game/vantor-game", {"../share/vantor/data", "/opt/data"});
  const std::vector<fs::path> expected = {
      "/home/me/data",         "/src/vantor/build/game/data", "/src/vantor/build/data",
      "/src/vantor/data",      "/src/data",                   "/src/vantor/build/share/vantor/data",
      "/opt/data"};
  EXPECT_EQ(candidates, expected);
  // Started beside itself, near the root: no place twice, none above "/".
  const std::vector<fs::path> near = DataCandidates("/bin", "/bin/vantor-game", {});
  EXPECT_EQ(near, (std::vector<fs::path>{"/bin/data", "/data"}));
}

TEST(DataSearch, TakesTheFirstPlaceHoldingTheMarker) {
  ScopedWorkDir work;
  WriteFile("b/logo.png", "x");
  WriteFile("c/logo.png", "x");
  WriteFile("a/other.png", "x");
  const fs::path root = work.Path();
  EXPECT_EQ(FirstUsable({root / "a", root / "b", root / "c"}, "logo.png"), root / "b");
  EXPECT_EQ(FirstUsable({root / "a", root / "missing"}, "logo.png"), std::nullopt);
}

TEST(DataSearch, DataAddressesFollowTheDataDirectory) {
  ScopedWorkDir work;
  WriteFile("elsewhere/x.txt", "moved");
  SetDataDirectory((work.Path() / "elsewhere").string());
  const String moved = LoadStringFile(u"vantor://data/x.txt");
  SetDataDirectory("./data");
  EXPECT_TRUE(moved == String(u"moved"));
  EXPECT_TRUE(LoadStringFile(u"vantor://data/x.txt") == String());
}

TEST(RecordAndPictures, FollowTheXdgRules) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> environment;
    fs::path record;
  };
  const Case cases[] = {
      {"XDG_DATA_HOME wins", {{"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}}, "/x/vantor"},
      {"empty XDG_DATA_HOME", {{"XDG_DATA_HOME", ""}, {"HOME", "/h"}}, "/h/.local/share/vantor"},
      {"HOME only", {{"HOME", "/h"}}, "/h/.local/share/vantor"},
      {"neither", {}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RecordDirectory(With(c.environment)), c.record) << c.name;

  ScopedWorkDir work;
  const std::string home = work.Path().string();
  fs::create_directories(work.Path() / "Bilder");
  WriteFile(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                                      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                      "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  EXPECT_EQ(PicturesDirectory(With({{"HOME", home}})), work.Path() / "Bilder");
  WriteFile("cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Missing\"\n");
  EXPECT_EQ(PicturesDirectory(With({{"HOME", home}, {"XDG_CONFIG_HOME", home + "/cfg"}})),
            fs::path())
      << "a pictures directory that does not exist is not used";
}

TEST(Letterbox, KeepsTheAspectCentredWithBarsOnTheLongSide) {
  struct Case {
    int width, height, contentWidth, contentHeight;
    ViewRect view;
  };
  const Case cases[] = {
      {1920, 1080, 640, 480, {240, 0, 1440, 1080}},
      {1280, 1024, 640, 480, {0, 32, 1280, 960}},
      {1280, 960, 640, 480, {0, 0, 1280, 960}},
      {1921, 1080, 640, 480, {240, 0, 1440, 1080}},
  };
  for (const Case& c : cases) {
    const ViewRect view = Letterbox(c.width, c.height, c.contentWidth, c.contentHeight);
    EXPECT_EQ((std::vector<int>{view.x, view.y, view.width, view.height}),
              (std::vector<int>{c.view.x, c.view.y, c.view.width, c.view.height}))
        << c.width << "x" << c.height;
  }
}

}  // namespace
}  // namespace vantor
