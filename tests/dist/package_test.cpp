// The Debian packages as Debian builds them and a player installs them:
// built twice to the same bytes, checked by lintian, installed, the game
// played from an empty directory, and purged without a trace (the desktop
// entry and metadata they install are validated by the install test).
// And the game's window, built or installed, carrying its desktop entry's
// identity: the entry's StartupWMClass as its X11 class, and the icon set
// as its icon.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <map>

#include "tools/testing/e2e_support.h"

namespace vantor::e2e {
namespace {

const std::string kSource = VANTOR_SOURCE_DIR;
const std::string kAppId = "org.vantor.Vantor";
// The packages each build makes, the debug symbols included.
const Strings kPackages = {"vantor", "vantor-data", "vantor-dbgsym"};
// Where the two builds go: two places, so that the build's path cannot leak
// into the packages either.
const std::string kFirstBuild = std::string(VANTOR_BINARY_DIR) + "/packages/first";
const std::string kSecondBuild = std::string(VANTOR_BINARY_DIR) + "/packages/second-build";
// A player's search path as Debian's /etc/profile sets it: /usr/games
// included, which root's is not.
const std::string kPlayerPath = "PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games";
// Enough for any property the window can carry (xprop's own limit cuts
// the larger icons off).
constexpr const char* kPropertyBytes = "100000000";
// _NET_WM_ICON packs a pixel as 0xAARRGGBB.
constexpr int kRgbaChannels = 4, kAlphaShift = 24, kRedShift = 16, kGreenShift = 8;

// The value of `key` in a desktop entry; empty when it has none.
std::string EntryValue(const std::string& entry, const std::string& key) {
  std::istringstream lines(ReadFile(entry));
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
  return std::string();
}

// _NET_WM_ICON's pictures, each as width, height and 0xAARRGGBB pixels.
using Icon = std::vector<std::uint32_t>;
std::vector<Icon> WindowIcons(const std::string& window) {
  std::istringstream numbers(
      Shell("xprop -len " + std::string(kPropertyBytes) + " -id " + window +
            " -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON | cut -d' ' -f2- | tr -d ,"));
  std::vector<Icon> icons;
  for (std::uint32_t width = 0, height = 0; numbers >> width >> height;) {
    Icon icon{width, height};
    for (std::uint64_t i = 0, pixel = 0; i < std::uint64_t{width} * height && numbers >> pixel; ++i)
      icon.push_back(static_cast<std::uint32_t>(pixel));
    icons.push_back(icon);
  }
  return icons;
}

// A PNG file as _NET_WM_ICON holds it.
Icon IconFromPng(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* rgba = stbi_load(path.c_str(), &width, &height, &channels, kRgbaChannels);
  if (!rgba) return {};
  Icon icon{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  for (int i = 0; i < width * height; ++i) {
    const unsigned char* p = rgba + static_cast<std::ptrdiff_t>(kRgbaChannels) * i;
    icon.push_back(std::uint32_t{p[3]} << kAlphaShift | std::uint32_t{p[0]} << kRedShift |
                   std::uint32_t{p[1]} << kGreenShift | p[2]);
  }
  stbi_image_free(rgba);
  return icon;
}

// The window's X11 class and instance are the entry's StartupWMClass, and
// its icon is every picture of `iconFiles` (PNG files, one per size).
void ExpectIdentity(const std::string& window, const std::string& entry, const Strings& iconFiles) {
  const std::string wmClass = EntryValue(entry, "StartupWMClass");
  ASSERT_FALSE(wmClass.empty()) << entry << " names no StartupWMClass";
  EXPECT_EQ(Shell("xprop -id " + window + " WM_CLASS"),
            "WM_CLASS(STRING) = \"" + wmClass + "\", \"" + wmClass + "\"")
      << "the window's class and instance are not the entry's StartupWMClass";
  std::map<std::pair<std::uint32_t, std::uint32_t>, Icon> expected;
  for (const std::string& file : iconFiles) {
    const Icon icon = IconFromPng(file);
    ASSERT_FALSE(icon.empty()) << file;
    expected[{icon[0], icon[1]}] = icon;
  }
  const std::vector<Icon> icons = WindowIcons(window);
  EXPECT_EQ(icons.size(), expected.size()) << "the window's icon is not the whole icon set";
  for (const Icon& icon : icons) {
    const auto same = expected.find({icon[0], icon[1]});
    ASSERT_NE(same, expected.end())
        << "an icon of " << icon[0] << "x" << icon[1] << " not in the set";
    EXPECT_TRUE(icon == same->second)
        << "the window's " << icon[0] << "x" << icon[1] << " icon is not the set's picture";
  }
}

// The PNG files `pattern` (a shell pattern) names.
Strings IconFiles(const std::string& pattern) {
  std::istringstream lines(Shell("ls " + pattern));
  Strings files;
  for (std::string line; std::getline(lines, line);) files.push_back(line);
  return files;
}

TEST(DesktopIdentity, TheGamesWindowCarriesItsEntrysClassAndTheIconSet) {
  WorkDir work;
  Game game(VANTOR_GAME, work.path, {}, {"XDG_DATA_HOME=" + work / "xdg", "ALSOFT_DRIVERS=null"});
  ASSERT_FALSE(game.window.empty()) << game.child.Output();
  ExpectIdentity(game.window, kSource + "/dist/" + kAppId + ".desktop",
                 IconFiles(kSource + "/dist/icons/*.png"));
  EXPECT_EQ(game.Close(), 0) << game.child.Output();
}

// Each package's file in `directory`, by package name.
std::map<std::string, std::string> PackageFiles(const std::string& directory) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".deb") files[name.substr(0, name.find('_'))] = entry.path();
  }
  return files;
}

std::string Checksum(const std::string& file) {
  return Shell("sha256sum " + file + " | cut -d' ' -f1");
}

// dist/build-deb into `directory`, with or without lintian; its exit
// status, and its report on failure.
int BuildPackages(const std::string& directory, bool lint, std::string* report) {
  Strings command = {kSource + "/dist/build-deb", directory};
  if (!lint) command.insert(command.begin() + 1, "--no-lintian");
  Child build(command, kSource);
  const int status = build.Wait(std::chrono::seconds(600));
  *report = build.Output();
  return status;
}

TEST(DebianPackages, BuildTwiceToTheSameBytesAndLintianReportsNothing) {
  std::string report;
  ASSERT_EQ(BuildPackages(kFirstBuild, true, &report), 0) << report;
  // Overridden tags are not shown; anything shown is an error, a warning or
  // an informational tag without its reason.
  std::cout << "lintian:\n" << ReadFile(kFirstBuild + "/lintian.txt");
  ASSERT_EQ(BuildPackages(kSecondBuild, false, &report), 0) << report;
  const auto first = PackageFiles(kFirstBuild), second = PackageFiles(kSecondBuild);
  for (const std::string& package : kPackages) {
    ASSERT_TRUE(first.contains(package) && second.contains(package)) << package << " not built";
    const std::string checksum = Checksum(first.at(package));
    std::cout << checksum << "  " << fs::path(first.at(package)).filename().string() << " ("
              << fs::file_size(first.at(package)) << " bytes)\n";
    EXPECT_EQ(Checksum(second.at(package)), checksum)
        << package << " differs between two builds of the same tree";
  }
}

// What dpkg knows of the packages: their status, or nothing once purged.
std::string PackageStatus() {
  return Shell("dpkg-query -W -f='${Package} ${Status}\\n' vantor vantor-data 2>/dev/null");
}

void Purge() {
  Shell(
      "DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 "
      "vantor vantor-data >/dev/null 2>&1");
}

// Purges the packages at the end, however the test ends.
struct Installed {
  ~Installed() { Purge(); }
};

// The installed game in a private directory, as a player starts it: from
// an empty directory (where its record goes is the install test's).
void PlayInstalledGame() {
  WorkDir home(false);
  fs::create_directories(home / "empty");
  Game game("/usr/games/vantor-game", home / "empty", {"--scale", "1"},
            {"XDG_DATA_HOME=" + home / "xdg", "ALSOFT_DRIVERS=null"});
  ASSERT_FALSE(game.window.empty()) << game.child.Output();
  EXPECT_TRUE(game.WaitForMenu()) << "the installed game shows no title menu: "
                                  << game.child.Output();
  ExpectIdentity(game.window, "/usr/share/applications/" + kAppId + ".desktop",
                 IconFiles("/usr/share/icons/hicolor/*/apps/" + kAppId + ".png"));
  EXPECT_EQ(game.Close(), 0) << game.child.Output();
}

TEST(DebianPackages, InstallPlayAndPurgeWithoutATrace) {
  if (getuid() != 0)
    GTEST_SKIP() << "installing packages needs root: run make test as root (CI does) to install, "
                    "play and purge the packages";
  const auto built = PackageFiles(kFirstBuild);
  ASSERT_TRUE(built.contains("vantor") && built.contains("vantor-data")) << "no packages built";
  // What an earlier, interrupted run may have left.
  Purge();
  Installed installed;
  Child install({"/usr/bin/apt-get", "install", "-y", "-qq", "--no-install-recommends", "-o",
                 "DPkg::Lock::Timeout=300", built.at("vantor"), built.at("vantor-data")},
                kSource, {"DEBIAN_FRONTEND=noninteractive"});
  ASSERT_EQ(install.Wait(std::chrono::seconds(600)), 0) << install.Output();
  const std::string files = Shell("dpkg -L vantor vantor-data");

  EXPECT_EQ(Shell(kPlayerPath + " vantor-game --version"), "vantor-game " VANTOR_VERSION);
  PlayInstalledGame();
  EXPECT_EQ(Shell("man -w vantor-game"), "/usr/share/man/man6/vantor-game.6.gz");

  Purge();
  EXPECT_EQ(PackageStatus(), "") << "still known to dpkg after the purge";
  std::istringstream paths(files);
  int ours = 0;
  for (std::string path; std::getline(paths, path);) {
    if (path.find("vantor") == std::string::npos) continue;  // /usr, /usr/share...
    ++ours;
    EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << path << " left after the purge";
  }
  EXPECT_GT(ours, 20) << "the packages installed almost nothing:\n" << files;
  // Nothing else either (a cmake --install to /usr/local is not ours).
  EXPECT_EQ(Shell("find /usr -path /usr/local -prune -o -iname '*vantor*' -print"), "");
}

}  // namespace
}  // namespace vantor::e2e
