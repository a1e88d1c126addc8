// Sound for real: OpenAL Soft's wave writer records what the running game
// plays. Starting a run sounds the bank alarm; a run started after the
// sound has been switched off in the menu is silent from start to end.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/e2e/game_process.h"

namespace vantor::e2e {
namespace {

constexpr int kHertz = 44100;
constexpr int kChannels = 2;
constexpr int kWindowMillis = 10;
constexpr int kWindowSamples = kHertz * kChannels * kWindowMillis / 1000;
// Silence mixes to exactly 0; the game's effects peak far above this.
constexpr int kLoud = 1000;
// The menu's click lasts 50 ms, the alarm 750 ms and repeats every 46
// updates: over 2.5 s of the keypad, far more than the click alone.
constexpr int kAlarmWindowsAtLeast = 60;
constexpr auto kRunListened = 2500ms;
// The writer records from the start of the process to its end, so at
// least the time listened to the run.
constexpr size_t kRecordedAtLeast = kHertz * kChannels * 2;
constexpr int kStartX = 256, kStartY = 336;
constexpr int kSoundButtonX = 320, kSoundButtonY = 32;

// The 16-bit samples of the data chunk of a WAV file.
std::vector<std::int16_t> Samples(const std::string& path) {
  const std::string bytes = ReadFile(path);
  constexpr size_t kRiffHeader = 12, kChunkHeader = 8;
  for (size_t at = kRiffHeader; at + kChunkHeader <= bytes.size();) {
    std::uint32_t length = 0;
    std::memcpy(&length, &bytes[at + 4], sizeof length);
    if (bytes.compare(at, 4, "data") == 0) {
      const size_t end = std::min(bytes.size(), at + kChunkHeader + length);
      std::vector<std::int16_t> samples((end - at - kChunkHeader) / sizeof(std::int16_t));
      std::memcpy(samples.data(), &bytes[at + kChunkHeader], samples.size() * sizeof(std::int16_t));
      return samples;
    }
    at += kChunkHeader + length;
  }
  return {};
}

// The number of 10 ms windows whose peak is loud.
int LoudWindows(const std::vector<std::int16_t>& samples) {
  int loud = 0;
  for (size_t start = 0; start + kWindowSamples <= samples.size(); start += kWindowSamples) {
    int peak = 0;
    for (size_t i = start; i < start + kWindowSamples; ++i)
      peak = std::max(peak, std::abs(int{samples[i]}));
    loud += peak > kLoud;
  }
  return loud;
}

// Plays the game with OpenAL Soft writing its mix to record.wav; `inMenu`
// clicks made before the start button. Returns the recorded samples.
std::vector<std::int16_t> RecordRun(const WorkDir& work,
                                    const std::vector<std::pair<int, int>>& inMenu) {
  const std::string wav = work / "record.wav";
  WriteFile(work / "openal.conf", "drivers=wave\nsample-type=int16\nchannels=stereo\nfrequency=" +
                                      std::to_string(kHertz) + "\n[wave]\nfile=" + wav + "\n");
  GameProcess game(work, {"ALSOFT_CONF=" + (work / "openal.conf"), "ALSOFT_DRIVERS=wave"});
  EXPECT_FALSE(game.window().empty()) << game.child().Output();
  if (game.window().empty()) return {};
  if (!game.WaitForMenu()) {
    ADD_FAILURE() << "the menu never showed: " << game.child().Output();
    return {};
  }
  for (const auto& [x, y] : inMenu) game.Click(x, y);
  game.Click(kStartX, kStartY);
  std::this_thread::sleep_for(kRunListened);
  game.Close();
  EXPECT_EQ(game.child().Wait(10s), 0) << game.child().Output();
  return Samples(wav);
}

TEST(Sound, StartingARunSoundsTheAlarm) {
  WorkDir work;
  const std::vector<std::int16_t> samples = RecordRun(work, {});
  ASSERT_GE(samples.size(), kRecordedAtLeast) << "nothing recorded";
  EXPECT_GE(LoudWindows(samples), kAlarmWindowsAtLeast);
}

TEST(Sound, SwitchedOffInTheMenuTheNextRunIsSilent) {
  WorkDir work;
  const std::vector<std::int16_t> samples = RecordRun(work, {{kSoundButtonX, kSoundButtonY}});
  // The recording covers the run: silence, not a missing recording.
  ASSERT_GE(samples.size(), kRecordedAtLeast) << "nothing recorded";
  EXPECT_EQ(LoudWindows(samples), 0);
}

}  // namespace
}  // namespace vantor::e2e
