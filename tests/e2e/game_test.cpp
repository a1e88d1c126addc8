// The real vantor-game through its window, as a person meets it: played
// with real keys and clicks (Enter and zero-length clicks starting,
// pausing and quitting runs; F3 statistics, F12 screenshot) with its
// sound recorded by OpenAL Soft's wave writer, a paused run silent; what
// the player set kept however the game ends (its window closed, a stop
// signal, a directory it cannot save in); its command line, a --scale too
// large for the screen; and installed into a scratch DESTDIR, where F11
// leaves the fullscreen it started in.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <tuple>

#include "tools/testing/e2e_support.h"

namespace vantor::e2e {
namespace {

// The display scripts/with-display starts, and the game's window on it; a
// 640x480 picture letterboxed on the display leaves black bars this wide.
constexpr int kScreenWidth = 1920, kScreenHeight = 1080, kBarWidth = 240;
constexpr int kWidth = 640, kHeight = 480;
// Window pixels of the start, pause and sound buttons and the pause menu's
// quit item.
constexpr int kStartX = 256, kStartY = 336, kPauseX = 16, kPauseY = 16;
constexpr int kSoundX = 320, kSoundY = 32, kQuitX = 180, kQuitY = 184;
constexpr int kSpeakerMarkX = 326, kSpeakerMarkY = 28, kSpeakerMarkSize = 8;
// A strip of the keypad's plain grey panel, above the pause menu's reach;
// the pause menu's backdrop darkens it to about a third.
constexpr int kPanelX = 194, kPanelY = 114, kPanelWidth = 12, kPanelHeight = 30;
constexpr double kPanelGrey = 150, kDarkenedBelow = 100;
// The statistics panel's corner: white text on a dark panel moves its mean
// by more than the menu's own motion there does.
constexpr int kStatisticsWidth = 200, kStatisticsHeight = 40, kStatisticsChange = 10;
// 16-bit stereo at 44.1 kHz, looked at in 10 ms windows. Silence mixes to
// exactly 0; the game's effects peak far above kLoud. The alarm lasts
// 750 ms and repeats every 46 updates while the keypad shows: a silent run
// is listened to for longer than that takes to come round, as the mixer
// counts it (the growing recording).
constexpr int kHertz = 44100, kChannels = 2, kSecondBytes = kHertz * kChannels * 2;
constexpr int kWindowBytes = kSecondBytes / 100;
constexpr int kLoud = 1000, kAlarmWindowsAtLeast = 60;
constexpr size_t kSilenceListenedBytes = kSecondBytes * 5 / 2;
// The pause's click lasts 50 ms: it has ended once this much more is mixed.
constexpr size_t kClickFadedBytes = kSecondBytes * 3 / 10;
constexpr int kUsageStatus = 2, kNoDataStatus = 1;

// The 10 ms windows from byte `from` to byte `to` of a WAV file (its data
// chunk, or the header's few bytes more) whose peak is loud.
int LoudWindows(const std::string& wav, size_t from, size_t to) {
  int loud = 0;
  std::int16_t samples[kWindowBytes / 2];
  for (size_t at = from; at + kWindowBytes <= std::min(to, wav.size()); at += kWindowBytes) {
    std::memcpy(samples, &wav[at], kWindowBytes);
    loud += std::any_of(std::begin(samples), std::end(samples),
                        [](int sample) { return std::abs(sample) > kLoud; });
  }
  return loud;
}

// How much the wave writer has recorded so far (it mixes in real time).
size_t Recorded(const WorkDir& work) { return fs::file_size(work / "wav"); }

// Whether the recording reaches `bytes`, as the mixer counts time.
bool RecordedUpTo(const WorkDir& work, size_t bytes) {
  return WaitFor([&] { return Recorded(work) >= bytes; });
}

// Whether the alarm is heard in the recording from byte `from` on.
bool AlarmHeardFrom(const WorkDir& work, size_t from) {
  constexpr auto kListeningPace = 200ms;
  const auto heard = [&] {
    return LoudWindows(ReadFile(work / "wav"), from, SIZE_MAX) >= kAlarmWindowsAtLeast;
  };
  return WaitFor(heard, kPatience, kListeningPace);
}

// Where the speaker's waves are drawn on the sound button: switched off,
// the dark cross drawn there instead brings the mean below half.
double SpeakerMark(const Image& shot) {
  return shot.Mean(kSpeakerMarkX, kSpeakerMarkY, kSpeakerMarkSize, kSpeakerMarkSize);
}

double Panel(const Image& shot) { return shot.Mean(kPanelX, kPanelY, kPanelWidth, kPanelHeight); }
bool KeypadShown(const Image& shot) { return Panel(shot) == kPanelGrey; }
bool KeypadDarkened(const Image& shot) { return Panel(shot) < kDarkenedBelow; }

auto SizeIs(int width, int height) {
  return [=](const Image& shot) { return shot.width == width && shot.height == height; };
}

// The wave writer's settings and a pictures directory for F12, in place
// before the game starts.
const WorkDir& Prepared(const WorkDir& work) {
  WriteFile(work / "openal.conf", "drivers=wave\nsample-type=int16\nchannels=stereo\nfrequency=" +
                                      std::to_string(kHertz) + "\n[wave]\nfile=" + work / "wav");
  fs::create_directories(work / "home/Pictures");
  WriteFile(work / "user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n");
  return work;
}

void CheckComfortKeys(const Game& game, const WorkDir& work) {
  const std::optional<Image> shot = game.Screenshot();
  ASSERT_TRUE(shot) << "no screenshot of the menu";
  const double plain = shot->Mean(0, 0, kStatisticsWidth, kStatisticsHeight);
  const auto changed = [&](const Image& shot) {
    return std::abs(shot.Mean(0, 0, kStatisticsWidth, kStatisticsHeight) - plain);
  };
  game.Send("key F3");
  EXPECT_TRUE(game.Shows([&](const Image& s) { return changed(s) > kStatisticsChange; }))
      << "no statistics";
  game.Send("key F3");
  EXPECT_TRUE(game.Shows([&](const Image& s) { return changed(s) < kStatisticsChange / 2.0; }))
      << "the statistics stayed";

  game.Send("key F12");
  const std::string said = "Screenshot saved to " + work / "home/Pictures/vantor-";
  EXPECT_TRUE(WaitFor([&] { return game.child.Output().find(said) != std::string::npos; }))
      << "F12: no \"" << said << "\" in what the game said:\n"
      << game.child.Output();
}

// Switches the sound off in the title menu, as the player does.
void SwitchSoundOff(const Game& game) {
  const std::optional<Image> soundOn = game.Screenshot();
  ASSERT_TRUE(soundOn);
  const double waves = SpeakerMark(*soundOn);
  game.Click(kSoundX, kSoundY);
  ASSERT_TRUE(game.Shows([&](const Image& s) { return SpeakerMark(s) < waves / 2; }))
      << "the click on the sound button did not switch the sound off";
}

// ---- The code typed on the keyboard ------------------------------------

// The vault code is drawn at twice the font's size, centred 32 pixels from
// the top: glyph i's 16-pixel cell of the font sheet covers 32 x 32 pixels
// from (kCodeLeft + 14 i, kCodeTop). The entered code is drawn below it.
constexpr int kCodeLeft = 241, kCodeTop = 16, kGlyphAdvance = 14, kGlyphCell = 16;
constexpr int kCodeDigits = 10;
// A digit's ink lies in these columns of its cell, clear of its
// neighbours'; text on the screen is lit where its green is above kLit.
constexpr int kInkFrom = 4, kInkTo = 12, kLit = 128;
constexpr int kEnteredTop = 42, kEnteredHeight = 20, kEnteredWidth = 160;
// The vault's walls behind the bags, where the keypad's panel stood.
constexpr double kWallGrey = 100;

// The code shown at the top of the keypad, read glyph by glyph against the
// font sheet's digits ('0' to '9' are cells 16 to 25, row 1); empty when
// a glyph is not a digit.
std::string ReadCode(const Image& shot) {
  static const std::optional<Image> font =
      LoadPng(std::string(VANTOR_SOURCE_DIR) + "/data/fonts/editundo.png");
  if (!font || shot.width < kCodeLeft + kGlyphAdvance * kCodeDigits + 2 * kGlyphCell) return "";
  const auto ink = [&](int digit, int u, int v) {
    const size_t x = static_cast<size_t>(kGlyphCell) * digit + u, y = kGlyphCell + v;
    return font->rgb[(y * font->width + x) * kRgbBytes] > kLit;
  };
  const auto lit = [&](int glyph, int u, int v) {
    const size_t x = kCodeLeft + kGlyphAdvance * glyph + 2 * u, y = kCodeTop + 2 * v;
    return shot.rgb[(y * shot.width + x) * kRgbBytes + 1] > kLit;
  };
  std::string code;
  for (int glyph = 0; glyph < kCodeDigits; ++glyph) {
    for (int digit = 0; digit <= 9; ++digit) {
      bool same = true;
      for (int v = 0; v < kGlyphCell && same; ++v)
        for (int u = kInkFrom; u < kInkTo && same; ++u) same = ink(digit, u, v) == lit(glyph, u, v);
      if (same) code += static_cast<char>('0' + digit);
    }
    if (static_cast<int>(code.size()) != glyph + 1) return "";
  }
  return code;
}

bool NothingEntered(const Image& shot) {
  for (int y = kEnteredTop; y < kEnteredTop + kEnteredHeight; ++y)
    for (int x = kCodeLeft; x < kCodeLeft + kEnteredWidth; ++x)
      if (shot.rgb[(static_cast<size_t>(y) * shot.width + x) * kRgbBytes + 1] > kLit) return false;
  return true;
}

bool VaultOpen(const Image& shot) { return Panel(shot) == kWallGrey; }

// Reads the new run's code off the screen.
std::string CodeShown(const Game& game) {
  std::string code;
  EXPECT_TRUE(game.Shows([&](const Image& shot) { return !(code = ReadCode(shot)).empty(); }))
      << "the code could not be read off the keypad's screen";
  return code;
}

TEST(GameWindow, PlayedWithRealKeysAndClicksItLooksAndSoundsRight) {
  WorkDir work;
  Game game(VANTOR_GAME, Prepared(work).path, {},
            {"HOME=" + work / "home", "XDG_CONFIG_HOME=" + work.path, "ALSOFT_DRIVERS=wave",
             "ALSOFT_CONF=" + work / "openal.conf"});
  ASSERT_TRUE(game.Appeared());
  EXPECT_EQ(Shell("xdotool getwindowname " + game.window), "Vantor Game");
  ASSERT_TRUE(game.WaitForMenu()) << game.child.Output();
  CheckComfortKeys(game, work);

  game.Send("key Return");
  ASSERT_TRUE(game.Shows(KeypadShown)) << "Enter did not start a run";
  ASSERT_TRUE(AlarmHeardFrom(work, 0)) << "no alarm heard while the keypad showed";
  // Paused, the run's alarm waits: the recording is silent for as long as
  // the pause lasts, and the alarm goes on once the run does.
  game.Click(kPauseX, kPauseY);
  ASSERT_TRUE(game.Shows(KeypadDarkened)) << "the click on the pause button did not pause";
  ASSERT_TRUE(RecordedUpTo(work, Recorded(work) + kClickFadedBytes));
  const size_t pausedFrom = Recorded(work);
  ASSERT_TRUE(RecordedUpTo(work, pausedFrom + kSilenceListenedBytes)) << "the recording stopped";
  const size_t pausedTo = Recorded(work);
  game.Send("key Escape");
  ASSERT_TRUE(game.Shows(KeypadShown)) << "Escape did not resume the run";
  EXPECT_TRUE(AlarmHeardFrom(work, pausedTo)) << "no alarm once the run went on";
  EXPECT_EQ(LoudWindows(ReadFile(work / "wav"), pausedFrom, pausedTo), 0)
      << "the paused run was heard";
  game.Send("key Escape");
  ASSERT_TRUE(game.Shows(KeypadDarkened)) << "Escape did not pause the run again";
  game.Click(kQuitX, kQuitY);
  ASSERT_TRUE(game.WaitForMenu()) << "quitting did not lead back to the menu";

  // With the sound switched off the next run is silent from its start. The
  // switch must show before the start is clicked: two clicks that reach a
  // busy game within one update both land where the pointer ended.
  SwitchSoundOff(game);
  if (HasFatalFailure()) return;
  const size_t switchedOff = fs::file_size(work / "wav");
  game.Click(kStartX, kStartY);
  ASSERT_TRUE(game.Shows(KeypadShown)) << "the click on the start button did not start a run";
  ASSERT_TRUE(RecordedUpTo(work, Recorded(work) + kSilenceListenedBytes))
      << "the recording stopped growing during the silent run";

  // The code typed on the number row opens the vault, after C has cleared
  // a start of it; quit with keys, the next run's code on the numpad does too.
  std::string code = CodeShown(game);
  ASSERT_EQ(code.size(), static_cast<size_t>(kCodeDigits));
  game.Send("type --delay 100 " + code.substr(0, 3));
  ASSERT_TRUE(game.Shows([](const Image& s) { return !NothingEntered(s); })) << "nothing typed";
  game.Send("key c");
  ASSERT_TRUE(game.Shows(NothingEntered)) << "C did not clear the typed digits";
  game.Send("type --delay 100 " + code);
  ASSERT_TRUE(game.Shows(VaultOpen)) << "the code " << code << " typed did not open the vault";
  game.Send("key Escape");
  game.Send("key Left");
  game.Send("key Return");
  ASSERT_TRUE(game.WaitForMenu()) << "quitting with keys did not lead back to the menu";
  game.Send("key Return");
  ASSERT_TRUE(game.Shows(KeypadShown)) << "Enter did not start the third run";
  code = CodeShown(game);
  ASSERT_EQ(code.size(), static_cast<size_t>(kCodeDigits));
  std::string keys;
  for (const char digit : code) keys += std::string(" KP_") + digit;
  game.Send("key --delay 100" + keys);
  ASSERT_TRUE(game.Shows(VaultOpen)) << "the code " << code << " on the numpad did not open it";
  EXPECT_EQ(game.Close(), 0) << game.child.Output();

  const std::string wav = ReadFile(work / "wav");
  EXPECT_GE(LoudWindows(wav, 0, switchedOff), kAlarmWindowsAtLeast) << "no alarm heard";
  // The recording covers the silent run: silence, not a missing recording.
  EXPECT_GE(wav.size(), switchedOff + kSilenceListenedBytes);
  EXPECT_EQ(LoudWindows(wav, switchedOff, wav.size()), 0);
}

// The element of a saved record that holds the sound mode.
std::string SoundModeSaved(const std::string& record) {
  constexpr int kSoundModeElement = 5;
  std::istringstream in(record);
  std::string element;
  for (int i = 0; i <= kSoundModeElement && std::getline(in, element, '|'); ++i) {
  }
  return element;
}

// Whichever way the game is ended in an orderly way, the sound switched off
// in the menu is in the record on disk: its window closed (status 0) or a
// stop signal (status 128 + the signal), also while iconified. Every stop
// signal's handling is the loop's own test; here the game is seen to use it.
TEST(GameWindow, ClosedOrStoppedBySignalTheGameKeepsWhatThePlayerSet) {
  const struct {
    const char* how;
    int signal;  // 0: the window is closed
    bool iconified;
  } ends[] = {{"window closed", 0, false},
              {"SIGINT", SIGINT, false},
              {"SIGTERM while iconified", SIGTERM, true}};
  for (const auto& end : ends) {
    SCOPED_TRACE(end.how);
    WorkDir work;
    Game game(VANTOR_GAME, work.path);
    ASSERT_TRUE(game.Appeared());
    ASSERT_TRUE(game.WaitForMenu());
    SwitchSoundOff(game);
    if (HasFatalFailure()) return;
    if (end.iconified) {
      Shell("xdotool windowminimize " + game.window);
      // Iconified, the game saves and then waits for its window.
      ASSERT_TRUE(WaitFor([&] { return fs::exists(work / ".vantorstate"); })) << "not saved";
    }
    int status = 0;
    if (end.signal == 0) {
      status = game.Close();
    } else {
      kill(game.child.pid, end.signal);
      status = game.child.Wait();
    }
    EXPECT_EQ(status, end.signal == 0 ? 0 : 128 + end.signal) << game.child.Output();
    EXPECT_EQ(SoundModeSaved(ReadFile(work / ".vantorstate")), "0") << "the sound came back on";
  }
}

// Started where it cannot write (as root, the game runs as nobody), the
// game still ends when its window is closed, and says once that the record
// could not be saved.
TEST(GameWindow, ARecordThatCannotBeSavedIsSaidOnceAndTheGameStillEnds) {
  WorkDir work(false);
  fs::copy(fs::path(VANTOR_SOURCE_DIR) / "data", work / "data", fs::copy_options::recursive);
  fs::copy_file(VANTOR_GAME, work / "vantor-game");
  fs::permissions(work.path, fs::perms(0555));
  // Writable again at the end, so that the directory can be removed.
  struct Writable {
    const WorkDir& dir;
    ~Writable() { fs::permissions(dir.path, fs::perms(0755)); }
  } writableAtTheEnd{work};
  const bool root = geteuid() == 0;
  const std::string nobody = "65534";
  const std::string program = root ? "/usr/bin/setpriv" : work / "vantor-game";
  const Strings arguments = root ? Strings{"--reuid=" + nobody, "--regid=" + nobody,
                                           "--clear-groups", "--", work / "vantor-game"}
                                 : Strings{};
  {
    Game game(program, work.path, arguments, {"HOME=" + work.path});
    ASSERT_TRUE(game.Appeared());
    ASSERT_TRUE(game.WaitForMenu());
    SwitchSoundOff(game);
    EXPECT_EQ(game.Close(), 0) << game.child.Output();
    const std::string output = game.child.Output();
    size_t said = 0;
    for (size_t at = 0; (at = output.find("cannot save the record", at)) != std::string::npos; ++at)
      ++said;
    EXPECT_EQ(said, 1u) << output;
  }
  EXPECT_FALSE(fs::exists(work / ".vantorstate"));
}

// --scale 6 on the 1920 x 1080 screen: the largest window that fits is
// --scale 2, 1280 x 960, and the game says so.
TEST(GameWindow, AScaleTooLargeForTheScreenIsLoweredToOneThatFits) {
  WorkDir work;
  Game game(VANTOR_GAME, work.path, {"--scale", "6"});
  ASSERT_TRUE(game.Appeared());
  EXPECT_TRUE(game.Shows(SizeIs(2 * kWidth, 2 * kHeight))) << "not a 1280x960 window";
  EXPECT_EQ(game.Close(), 0) << game.child.Output();
  EXPECT_NE(game.child.Output().find("using --scale 2"), std::string::npos) << game.child.Output();
}

TEST(CommandLine, AnswersOrRefusesAtOnce) {
  using Case = std::tuple<Strings, int, const char*>;
  const Case cases[] = {{{"--help"}, 0, "F11 fullscreen"},
                        {{"--version"}, 0, "vantor-game 1.0.0"},
                        {{"--speed", "3"}, kUsageStatus, "--speed"},
                        {{"--scale", "0"}, kUsageStatus, "--scale: Value 0 not in range 1 to 6"}};
  WorkDir work;
  for (const auto& [arguments, status, says] : cases) {
    Child game(Joined({VANTOR_GAME}, arguments), work.path, {"XDG_DATA_HOME=" + work / "xdg"});
    EXPECT_EQ(game.Wait(), status) << arguments[0] << ": " << game.Output();
    EXPECT_NE(game.Output().find(says), std::string::npos) << says << " not in " << game.Output();
  }
}

// Installed where no data/ is near, the game finds its installed data and
// keeps its record under XDG_DATA_HOME; a copy with no data anywhere says
// where it looked. The installed game starts with --fullscreen, which
// letterboxes the picture between black bars, and leaves it with F11 for
// the window --scale 2 asks for; it has no sound device, and says so. It
// loads all its art and sounds: its menu in that window looks like the
// reference menu of that size, and it names no file it cannot load.
TEST(Install, ValidatedTreeWhoseGameRunsFromAnywhereWithItsRecordUnderXdg) {
  const std::string id = "org.vantor.Vantor";
  WorkDir stage(false);
  Child install({VANTOR_CMAKE, "--install", VANTOR_BINARY_DIR, "--prefix", "/usr"}, stage.path,
                {"DESTDIR=" + stage / "root"});
  ASSERT_EQ(install.Wait(), 0) << install.Output();
  const std::string share = stage / "root/usr/share/";
  const std::string entry = share + "applications/" + id + ".desktop";
  const std::string metainfo = share + "metainfo/" + id + ".metainfo.xml";
  for (const std::string& validator :
       {"desktop-file-validate " + entry, "appstreamcli validate --no-net --pedantic " + metainfo})
    EXPECT_EQ(Shell(validator + " >&2 && echo valid"), "valid") << validator;
  // Every icon size, in the order of the directories' names.
  EXPECT_EQ(Shell("identify -format '%w %h ' " + share + "icons/hicolor/*/apps/" + id + ".png"),
            "128 128 16 16 24 24 256 256 32 32 48 48 64 64 ");
  EXPECT_TRUE(fs::exists(share + "man/man6/vantor-game.6"));

  const std::string elsewhere = stage / "elsewhere", lonely = stage / "lonely";
  fs::create_directories(elsewhere);
  Game game(stage / "root/usr/bin/vantor-game", elsewhere, {"--fullscreen", "--scale", "2"},
            {"XDG_DATA_HOME=" + stage / "xdg", "ALSOFT_DRIVERS=nonexistent"});
  ASSERT_TRUE(game.Appeared());
  ASSERT_TRUE(game.Shows([](const Image& shot) {
    return SizeIs(kScreenWidth, kScreenHeight)(shot) &&
           shot.Mean(kScreenWidth / 2, kScreenHeight / 2, 1, 1) > 0 &&
           shot.Mean(0, 0, kBarWidth, kScreenHeight) == 0 &&
           shot.Mean(kScreenWidth - kBarWidth, 0, kBarWidth, kScreenHeight) == 0;
  })) << "no letterboxed picture: "
      << game.child.Output();
  game.Send("key F11");
  EXPECT_TRUE(game.Shows(SizeIs(2 * kWidth, 2 * kHeight))) << "not the window --scale 2 asks for";
  EXPECT_TRUE(game.ShowsReference("menu-1280x960"))
      << "the installed game's menu does not look like the reference menu: " << game.child.Output();
  EXPECT_EQ(game.child.Output().find("cannot load"), std::string::npos)
      << "the installed game could not load some of its files:\n"
      << game.child.Output();
  Shell("xdotool windowminimize " + game.window);
  EXPECT_TRUE(WaitFor([&] { return fs::exists(stage / "xdg/vantor/.vantorstate"); }))
      << "no record saved under XDG_DATA_HOME when the window was minimised";
  EXPECT_FALSE(fs::exists(elsewhere + "/.vantorstate"));
  EXPECT_EQ(game.Close(), 0) << game.child.Output();
  EXPECT_NE(game.child.Output().find("alcOpenDevice failed"), std::string::npos);

  fs::create_directories(lonely);
  fs::copy_file(stage / "root/usr/bin/vantor-game", lonely + "/vantor-game");
  Child alone({lonely + "/vantor-game"}, elsewhere);
  EXPECT_EQ(alone.Wait(), kNoDataStatus) << alone.Output();
  for (const std::string& place : {elsewhere + "/data", lonely + "/data"})
    EXPECT_NE(alone.Output().find(place + "\n"), std::string::npos) << alone.Output();
}

}  // namespace
}  // namespace vantor::e2e
