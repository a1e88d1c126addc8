// The saved record: its exact layout and checksums.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/ids.h"
#include "tools/testing/game_harness.h"

namespace vantor::testing {
namespace {

// A record written the long way from the values it holds: 25 settings and
// their checksum (each weighted by its index), 8 badge words and their sum,
// then per score table ten (best, last) pairs and a checksum weighing best
// entry e by e + 4 and last entry e of table t by t + 3 + e. "|" ends each.
struct Record {
  std::vector<int64_t> settings = std::vector<int64_t>(25, 0), words = std::vector<int64_t>(8, 0);
  std::vector<int64_t> best = std::vector<int64_t>(30, 0), last = std::vector<int64_t>(30, 0);

  Record() {
    settings[kSettingSoundMode] = kDefaultSoundMode;
    settings[kSettingPadX] = settings[kSettingPadY] = kPadMinPosition;
    settings[kSettingPadSize] = kPadDefaultSize;
  }
  static std::string Sum(int64_t v) {
    return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(v))) + "|";
  }
  std::string Text() const {
    std::string text;
    int64_t sum = 0;
    for (int i = 0; i < 25; ++i) text += std::to_string(settings[i]) + "|", sum += settings[i] * i;
    text += Sum(sum);
    sum = 0;
    for (int64_t w : words) text += std::to_string(w) + "|", sum += w;
    text += Sum(sum);
    for (int t = 0; t < 3; ++t) {
      sum = 0;
      for (int e = 0; e < 10; ++e) {
        text += std::to_string(best[t * 10 + e]) + "|" + std::to_string(last[t * 10 + e]) + "|";
        sum += (e + 4) * best[t * 10 + e] + (t + 3 + e) * last[t * 10 + e];
      }
      text += Sum(sum);
    }
    return text;
  }
};

const char* const kAllLoaded =
    "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\n"
    "Highscore 2 Loaded\n";

// Starts the game over `record` and returns what its loading printed.
std::string Load(std::optional<GameHarness>& game, const std::string& record) {
  ::testing::internal::CaptureStdout();
  game.emplace(HarnessOptions{kDefaultWindowWidth, kDefaultWindowHeight, record, true});
  return ::testing::internal::GetCapturedStdout();
}

TEST(SavedRecord, AFreshGameSavesTheDefaultsWithTheirChecksums) {
  std::optional<GameHarness> game(std::in_place);
  game->Suspend();
  const std::string fresh = Record().Text();
  EXPECT_EQ(game->SavedRecord(), fresh);
  EXPECT_NE(fresh.find("|10|0|0|0|0|0|0|0|0|0|0|0|0|1469|"), std::string::npos);
  EXPECT_EQ(Load(game, fresh), kAllLoaded);
}

TEST(SavedRecord, EveryFieldSurvivesASaveAndALoad) {
  Record r;
  for (int i = 0; i < 25; ++i) r.settings[i] = 100 + 7 * i;
  r.settings[kSettingSoundMode] = 2;
  r.words = {1, -2147483648LL, 0, 5, 0, 0, 0, 8};
  for (int i = 0; i < 30; ++i) r.best[i] = 1000 * i - 20000, r.last[i] = 2147483647 - i;
  std::optional<GameHarness> game;
  EXPECT_EQ(Load(game, r.Text()), kAllLoaded);
  MyApp& app = game->app();
  EXPECT_EQ(app.settings[24], 100 + 7 * 24);
  EXPECT_EQ(app.highscores[7], 1000 * 7 - 20000);
  EXPECT_EQ(app.highscores[30 + 29], 2147483647 - 29) << "the last ten follow the best at 30";
  EXPECT_TRUE(app.badgeEarned[31 + 32] && app.badgeEarned[7 * 32 + 3] &&
              !app.badgeEarned[7 * 32 + 2]);
  game->Suspend();
  EXPECT_EQ(game->SavedRecord(), r.Text());
}

}  // namespace
}  // namespace vantor::testing
