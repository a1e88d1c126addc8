// The saved record: its exact layout and checksums.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "game/ids.h"
#include "tools/testing/game_harness.h"
#include "tools/testing/record_model.h"

namespace vantor::testing {
namespace {

// A created game's defaults: the record model's, with the touch pad at its
// least position and default size.
RecordFields CreatedDefaults() {
  RecordFields fields = DefaultFields();
  fields[0][kSettingPadX] = fields[0][kSettingPadY] = kPadMinPosition;
  fields[0][kSettingPadSize] = kPadDefaultSize;
  return fields;
}

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
  const std::string fresh = RecordText(CreatedDefaults());
  EXPECT_EQ(game->SavedRecord(), fresh);
  EXPECT_NE(fresh.find("|10|0|0|0|0|0|0|0|0|0|0|0|0|1469|"), std::string::npos);
  EXPECT_EQ(Load(game, fresh), kAllLoaded);
}

// Also the 32-bit extremes, which loading must neither clamp nor lose.
TEST(SavedRecord, EveryFieldSurvivesASaveAndALoad) {
  RecordFields r = CreatedDefaults();
  for (int i = 0; i < 25; ++i) r[0][i] = 100 + 7 * i;
  r[0][kSettingSoundMode] = 2;
  r[1] = {1, INT32_MIN, 0, 5, 0, 0, 0, 8};
  for (int i = 0; i < 30; ++i) {
    const auto score = static_cast<std::size_t>(i % 10) * 2;
    r[2 + i / 10][score] = 1000 * i - 20000;
    r[2 + i / 10][score + 1] = INT32_MAX - i;
  }
  std::optional<GameHarness> game;
  EXPECT_EQ(Load(game, RecordText(r)), kAllLoaded);
  MyApp& app = game->app();
  EXPECT_EQ(app.settings[24], 100 + 7 * 24);
  EXPECT_EQ(app.highscores[7], 1000 * 7 - 20000);
  EXPECT_EQ(app.highscores[30 + 29], INT32_MAX - 29) << "the last ten follow the best at 30";
  EXPECT_TRUE(app.badgeEarned[31 + 32] && app.badgeEarned[7 * 32 + 3] &&
              !app.badgeEarned[7 * 32 + 2]);
  game->Suspend();
  EXPECT_EQ(game->SavedRecord(), RecordText(r));
}

}  // namespace
}  // namespace vantor::testing
