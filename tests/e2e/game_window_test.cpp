// The real vantor-game played through its window as a person does, in one
// session: the window itself, the keys the window keeps for itself (F3
// statistics, F12 screenshot, F11 fullscreen), Enter and zero-length clicks
// starting, pausing and quitting runs, and the sound it plays, recorded by
// OpenAL Soft's wave writer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

// The display scripts/with-display starts, and the game's window on it.
constexpr int kScreenWidth = 1920, kScreenHeight = 1080;
constexpr int kWidth = 640, kHeight = 480;
// Window pixels of the start, pause and sound buttons and the pause menu's
// quit item.
constexpr int kStartX = 256, kStartY = 336, kPauseX = 16, kPauseY = 16;
constexpr int kSoundX = 320, kSoundY = 32, kQuitX = 180, kQuitY = 184;
// A strip of the keypad's plain grey panel, above the pause menu's reach;
// the pause menu's backdrop darkens it to about a third.
constexpr int kPanelX = 194, kPanelY = 114, kPanelWidth = 12, kPanelHeight = 30;
constexpr double kPanelGrey = 150, kDarkenedBelow = 100;
// The statistics panel's corner: white text on a dark panel moves its mean
// by more than the menu's own motion there does.
constexpr int kStatisticsWidth = 200, kStatisticsHeight = 40;
constexpr double kStatisticsChange = 10;

constexpr int kHertz = 44100, kChannels = 2;
constexpr size_t kWindowSamples = kHertz * kChannels / 100;  // 10 ms
// Silence mixes to exactly 0; the game's effects peak far above this. The
// alarm lasts 750 ms and repeats every 46 updates while the keypad shows.
constexpr int kLoud = 1000, kAlarmWindowsAtLeast = 60;
constexpr auto kListened = 2500ms;

// The number of 10 ms windows of 16-bit samples, from byte `from` to byte
// `to` of a WAV file, whose peak is loud.
int LoudWindows(const std::string& wav, size_t from, size_t to) {
  int loud = 0;
  for (size_t at = from; at + kWindowSamples * 2 <= std::min(to, wav.size()); at += kWindowSamples * 2) {
    std::int16_t samples[kWindowSamples];
    std::memcpy(samples, &wav[at], sizeof samples);
    int peak = 0;
    for (const std::int16_t sample : samples) peak = std::max(peak, std::abs(int{sample}));
    loud += peak > kLoud;
  }
  return loud;
}

// The wave writer's settings and a pictures directory for F12, in place
// before the game starts.
const WorkDir& Prepared(const WorkDir& work) {
  WriteFile(work / "openal.conf", "drivers=wave\nsample-type=int16\nchannels=stereo\nfrequency=" +
                                      std::to_string(kHertz) + "\n[wave]\nfile=" + work / "record.wav");
  fs::create_directories(work / "home/Pictures");
  fs::create_directories(work / "home/.config");
  WriteFile(work / "home/.config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n");
  return work;
}

struct Session {
  WorkDir work;
  Game game{VANTOR_GAME, Prepared(work).path(), {},
            {"HOME=" + work / "home", "XDG_CONFIG_HOME=", "ALSOFT_DRIVERS=wave",
             "ALSOFT_CONF=" + work / "openal.conf"}};

  double Mean(int x, int y, int width, int height) const {
    const std::optional<Image> shot = game.Screenshot();
    return shot && shot->width >= x + width ? MeanBrightness(*shot, x, y, width, height) : -1;
  }
  bool PanelSoon(bool (*test)(double)) const {
    return WaitFor([&] { return test(Mean(kPanelX, kPanelY, kPanelWidth, kPanelHeight)); }, 5s);
  }
  bool SizeSoon(int width, int height) const {
    return WaitFor(
        [&] {
          const std::optional<Image> shot = game.Screenshot();
          return shot && shot->width == width && shot->height == height;
        },
        10s);
  }
};

bool KeypadShown(double mean) { return mean == kPanelGrey; }
bool KeypadDarkened(double mean) { return mean >= 0 && mean < kDarkenedBelow; }

std::map<std::string, int> Geometry(const std::string& window) {
  std::map<std::string, int> values;
  for (const std::string& line : Lines(Shell("xdotool getwindowgeometry --shell " + window))) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = std::stoi(line.substr(equals + 1));
  }
  return values;
}

void CheckComfortKeys(const Session& s) {
  const double plain = s.Mean(0, 0, kStatisticsWidth, kStatisticsHeight);
  const auto change = [&] { return std::abs(s.Mean(0, 0, kStatisticsWidth, kStatisticsHeight) - plain); };
  s.game.Key("F3");
  EXPECT_TRUE(WaitFor([&] { return change() > kStatisticsChange; }, 5s)) << "no statistics";
  s.game.Key("F3");
  EXPECT_TRUE(WaitFor([&] { return change() < kStatisticsChange / 2; }, 5s)) << "statistics stayed";

  s.game.Key("F12");
  const std::string said = "Screenshot saved to " + s.work / "home/Pictures/vantor-";
  EXPECT_TRUE(WaitFor([&] { return s.game.child.Output().find(said) != std::string::npos; }, 5s))
      << s.game.child.Output();
  for (const auto& entry : fs::directory_iterator(s.work / "home/Pictures")) {
    const std::optional<Image> saved = LoadPng(entry.path().string());
    EXPECT_TRUE(saved && saved->width == kWidth && saved->height == kHeight &&
                MeanBrightness(*saved, 0, 0, kWidth, kHeight) > 0) << entry.path();
  }

  s.game.Key("F11");
  EXPECT_TRUE(s.SizeSoon(kScreenWidth, kScreenHeight)) << "not fullscreen";
  s.game.Key("F11");
  EXPECT_TRUE(s.SizeSoon(kWidth, kHeight)) << "not back in the window";
}

TEST(GameWindow, PlayedWithRealKeysAndClicksItLooksAndSoundsRight) {
  Session s;
  const std::string wav = s.work / "record.wav";
  ASSERT_FALSE(s.game.window.empty()) << s.game.child.Output();
  EXPECT_EQ(Shell("xdotool getwindowname " + s.game.window), "Vantor Game");
  std::map<std::string, int> geometry = Geometry(s.game.window);
  EXPECT_EQ(geometry["WIDTH"], kWidth);
  EXPECT_EQ(geometry["HEIGHT"], kHeight);
  // Centred, give or take the window manager's frame.
  EXPECT_NEAR(geometry["X"] + kWidth / 2, kScreenWidth / 2, 8);
  EXPECT_NEAR(geometry["Y"] + kHeight / 2, kScreenHeight / 2, 32);
  ASSERT_TRUE(s.game.WaitForMenu()) << s.game.child.Output();
  CheckComfortKeys(s);

  s.game.Key("Return");
  ASSERT_TRUE(s.PanelSoon(KeypadShown)) << "Enter did not start a run";
  std::this_thread::sleep_for(kListened);
  s.game.Click(kPauseX, kPauseY);
  ASSERT_TRUE(s.PanelSoon(KeypadDarkened)) << "the click on the pause button did not pause";
  s.game.Click(kQuitX, kQuitY);
  ASSERT_TRUE(s.game.WaitForMenu()) << "quitting did not lead back to the menu";

  // With the sound switched off the next run is silent from its start.
  const size_t switchedOff = fs::file_size(wav);
  s.game.Click(kSoundX, kSoundY);
  s.game.Click(kStartX, kStartY);
  ASSERT_TRUE(s.PanelSoon(KeypadShown)) << "the click on the start button did not start a run";
  std::this_thread::sleep_for(kListened);
  EXPECT_EQ(s.game.Close(), 0) << s.game.child.Output();

  const std::string recorded = ReadFile(wav);
  EXPECT_GE(LoudWindows(recorded, 0, switchedOff), kAlarmWindowsAtLeast) << "no alarm heard";
  // The recording covers the silent run: silence, not a missing recording.
  EXPECT_GE(recorded.size(), switchedOff + kHertz * kChannels * 2);
  EXPECT_EQ(LoudWindows(recorded, switchedOff, recorded.size()), 0);
}

}  // namespace
}  // namespace vantor::e2e
