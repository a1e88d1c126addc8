// `cmake --install` into a scratch DESTDIR: the desktop entry and the
// AppStream metainfo pass Debian's validators, every icon size is in place,
// and the installed game, started where there is no data/ anywhere near,
// finds its installed data, keeps its record under XDG_DATA_HOME and closes
// with status 0. A copy with no data anywhere says where it looked.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAppId = "org.vantor.Vantor";
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int kNoDataStatus = 1;

TEST(Install, ValidatedTreeWhoseGameRunsFromAnywhereWithItsRecordUnderXdg) {
  WorkDir stage(false);
  const Result install = e2e::Run({VANTOR_CMAKE, "--install", VANTOR_BINARY_DIR, "--prefix", "/usr"},
                             stage.path(), {"DESTDIR=" + stage / "root"});
  ASSERT_EQ(install.status, 0) << install.output;
  const std::string share = stage / "root/usr/share";
  const Result desktop = e2e::Run({"/usr/bin/desktop-file-validate",
                              share + "/applications/" + kAppId + ".desktop"}, stage.path());
  EXPECT_EQ(desktop.status, 0) << desktop.output;
  const Result metainfo = e2e::Run({"/usr/bin/appstreamcli", "validate", "--no-net", "--pedantic",
                               share + "/metainfo/" + kAppId + ".metainfo.xml"}, stage.path());
  EXPECT_EQ(metainfo.status, 0) << metainfo.output;
  for (const int size : kIconSizes) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::optional<Image> icon =
        LoadPng(share + "/icons/hicolor/" + name + "/apps/" + kAppId + ".png");
    EXPECT_TRUE(icon && icon->width == size && icon->height == size) << name;
  }
  EXPECT_TRUE(fs::exists(share + "/man/man6/vantor-game.6"));

  const std::string elsewhere = stage / "elsewhere";
  fs::create_directories(elsewhere);
  Game game(stage / "root/usr/bin/vantor-game", elsewhere, {}, {"XDG_DATA_HOME=" + stage / "xdg"});
  ASSERT_FALSE(game.window.empty()) << game.child.Output();
  ASSERT_TRUE(game.WaitForMenu()) << game.child.Output();
  Shell("xdotool windowminimize " + game.window);
  EXPECT_TRUE(WaitFor([&] { return fs::exists(stage / "xdg/vantor/.vantorstate"); }, 10s));
  EXPECT_FALSE(fs::exists(elsewhere + "/.vantorstate"));
  EXPECT_EQ(game.Close(), 0) << game.child.Output();

  const std::string lonely = stage / "lonely";
  fs::create_directories(lonely);
  fs::copy_file(stage / "root/usr/bin/vantor-game", lonely + "/vantor-game");
  const Result alone = e2e::Run({lonely + "/vantor-game"}, elsewhere);
  EXPECT_EQ(alone.status, kNoDataStatus) << alone.output;
  for (const std::string& place : {elsewhere + "/data", lonely + "/data"})
    EXPECT_NE(alone.output.find(place + "\n"), std::string::npos) << alone.output;
}

}  // namespace
}  // namespace vantor::e2e
