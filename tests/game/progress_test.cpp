// The saved record: its exact text, the checksums, the recovery of each
// section on its own, and the text helpers of the score screens.
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

// A record written the long way, from the values it is to hold.
struct Record {
  std::vector<int64_t> settings = std::vector<int64_t>(25, 0);
  std::vector<int64_t> words = std::vector<int64_t>(8, 0);
  std::vector<int64_t> ranked = std::vector<int64_t>(30, 0);
  std::vector<int64_t> recent = std::vector<int64_t>(30, 0);
  std::optional<int64_t> settingsSum, badgeSum;

  static int64_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

  std::vector<std::string> Elements() const {
    std::vector<std::string> out;
    int64_t s = 0;
    for (int i = 0; i < 25; ++i) {
      out.push_back(std::to_string(settings[i]));
      s += settings[i] * i;
    }
    out.push_back(std::to_string(settingsSum.value_or(Wrap(s))));
    int64_t b = 0;
    for (int64_t w : words) {
      out.push_back(std::to_string(w));
      b += w;
    }
    out.push_back(std::to_string(badgeSum.value_or(Wrap(b))));
    for (int t = 0; t < 3; ++t) {
      int64_t h = 0;
      for (int e = 0; e < 10; ++e) {
        out.push_back(std::to_string(ranked[t * 10 + e]));
        out.push_back(std::to_string(recent[t * 10 + e]));
        h += (e + 4) * ranked[t * 10 + e] + (t + 3 + e) * recent[t * 10 + e];
      }
      out.push_back(std::to_string(Wrap(h)));
    }
    return out;
  }

  // The first `count` elements, each followed by "|".
  std::string Text(int count = 98) const {
    std::string text;
    const auto elements = Elements();
    for (int i = 0; i < count; ++i) text += elements[i] + "|";
    return text;
  }
};

Record FreshRecord() {
  Record r;
  r.settings[5] = 1;
  r.settings[10] = 64;
  r.settings[11] = 64;
  r.settings[12] = 10;
  return r;
}

HarnessOptions WithRecord(const std::string& text) {
  HarnessOptions options;
  options.savedRecord = text;
  return options;
}

// Starts the game over `text` and returns what its loading printed.
std::string LoadOutput(std::optional<GameHarness>& game, const std::string& text) {
  return CaptureOutput([&] { game.emplace(WithRecord(text)); });
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, separator)) parts.push_back(part);
  return parts;
}


const char* const kAllLoaded =
    "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\n"
    "Highscore 2 Loaded\n";

TEST(SavedRecord, FreshStartSavesTheExactRecordWhenSuspended) {
  GameHarness game;
  EXPECT_EQ(game.SavedRecord(), std::nullopt);
  game.Suspend();
  const auto saved = game.SavedRecord();
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, FreshRecord().Text());
  const auto elements = Split(*saved, '|');
  ASSERT_EQ(elements.size(), 98u);
  EXPECT_EQ(elements[25], "1469");
}

TEST(SavedRecord, FreshRecordLoadsEverySectionInOrderAndChangesNothing) {
  std::optional<GameHarness> game;
  const std::string fresh = FreshRecord().Text();
  EXPECT_EQ(LoadOutput(game, fresh), kAllLoaded);
  const std::vector<int> settings = {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 64, 64, 10,
                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Values(game->app().settings), settings);
  EXPECT_EQ(Values(game->app().highscores), std::vector<int>(60, 0));
  EXPECT_EQ(Values(game->app().badgeEarned), std::vector<bool>(256, false));
  game->Suspend();
  EXPECT_EQ(game->SavedRecord(), fresh);
}

TEST(SavedRecord, EveryFieldSurvivesASaveAndALoad) {
  std::optional<GameHarness> first(std::in_place);
  MyApp& app = first->app();
  for (int i = 0; i < kSettings; ++i) app.settings[i] = 100 + 7 * i;
  app.settings[kSettingSoundMode] = 3;  // a mode the game uses (0-3)
  for (int i = 0; i < kHighscores; ++i) app.highscores[i] = 1000 * i - 20000;
  for (int i : {0, 31, 32, 77, 200, 255}) app.badgeEarned[i] = true;
  const auto settings = Values(app.settings);
  const auto highscores = Values(app.highscores);
  const auto badges = Values(app.badgeEarned);
  first->Suspend();
  const std::string record = *first->SavedRecord();
  first.reset();

  std::optional<GameHarness> second;
  EXPECT_EQ(LoadOutput(second, record), kAllLoaded);
  EXPECT_EQ(Values(second->app().settings), settings);
  EXPECT_EQ(Values(second->app().highscores), highscores);
  EXPECT_EQ(Values(second->app().badgeEarned), badges);
}

TEST(SavedRecord, ChecksumsOfSettingsAndBadgeWords) {
  GameHarness game;
  MyApp& app = game.app();
  for (int& setting : app.settings) setting = 0;
  app.settings[5] = 1;
  app.badgeEarned[31] = true;
  game.Suspend();
  const auto elements = Split(*game.SavedRecord(), '|');
  ASSERT_EQ(elements.size(), 98u);
  EXPECT_EQ(elements[25], "5");
  EXPECT_EQ(elements[26], "-2147483648");
  for (int w = 27; w <= 33; ++w) EXPECT_EQ(elements[w], "0") << w;
  EXPECT_EQ(elements[34], "-2147483648");
  // What the save did with the working fields stays behind.
  EXPECT_EQ(app.loopIndex, 25);
  EXPECT_EQ(app.badgeWordIndex, 8);
  EXPECT_EQ(app.badgeBitIndex, 32);
  EXPECT_EQ(app.scoreGroupIndex, 3);
  EXPECT_EQ(app.scoreEntryIndex, 10);
}

TEST(SavedRecord, ScoreChecksumsWeighEveryEntry) {
  Record r = FreshRecord();
  r.recent[9] = 3;             // table 0, recent entry 9: weight 0 + 3 + 9
  r.ranked[10] = 500;          // table 1, ranked entry 0: weight 4
  r.recent[19] = 7;            // table 1, recent entry 9: weight 1 + 3 + 9
  r.ranked[20] = 2147483647;   // table 2, ranked entry 0: weight 4, wraps
  std::optional<GameHarness> game;
  EXPECT_EQ(LoadOutput(game, r.Text()), kAllLoaded);
  game->Suspend();
  const auto elements = Split(*game->SavedRecord(), '|');
  EXPECT_EQ(elements[55], "36");
  EXPECT_EQ(elements[76], "2091");
  EXPECT_EQ(elements[97], "-4");
}

TEST(SavedRecord, WrongSettingsChecksumStillLoadsBadgesAndTables) {
  Record r = FreshRecord();
  r.settings[5] = 0;
  r.settings[3] = 9;
  r.settingsSum = 12345;
  r.words[0] = 5;  // badges 0 and 2
  r.ranked[0] = 100;
  r.recent[20] = 42;
  std::optional<GameHarness> game;
  EXPECT_EQ(LoadOutput(game, r.Text()),
            "Settings Checksum Invalid\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\n"
            "Highscore 2 Loaded\n");
  MyApp& app = game->app();
  EXPECT_EQ(app.settings[3], 0);
  EXPECT_EQ(app.settings[5], 1);
  EXPECT_EQ(app.settings[10], 64);
  EXPECT_EQ(app.settings[11], 64);
  EXPECT_EQ(app.settings[12], 10);
  EXPECT_TRUE(app.badgeEarned[0]);
  EXPECT_FALSE(app.badgeEarned[1]);
  EXPECT_TRUE(app.badgeEarned[2]);
  EXPECT_EQ(app.highscores[0], 100);
  EXPECT_EQ(app.highscores[50], 42);
}

TEST(SavedRecord, WrongBadgeOrTableChecksumResetsOnlyThatSection) {
  Record r = FreshRecord();
  r.settings[7] = 3;
  r.words[1] = 1;
  r.badgeSum = 0;
  r.ranked[5] = 10;
  r.ranked[15] = 20;
  r.recent[15] = 9;
  r.recent[25] = 30;
  r.ranked[25] = 40;
  std::string text = r.Text();
  // Spoil the checksum of table 1 (element 76) only.
  auto elements = Split(text, '|');
  elements[76] = "1";
  text.clear();
  for (const auto& e : elements) text += e + "|";
  std::optional<GameHarness> game;
  EXPECT_EQ(LoadOutput(game, text),
            "Settings Loaded\nBadge Checksum Invalid\nHighscore 0 Loaded\n"
            "Highscore 1 Checksum Invalid\nHighscore 2 Loaded\n");
  MyApp& app = game->app();
  EXPECT_EQ(app.settings[7], 3);
  EXPECT_EQ(Values(app.badgeEarned), std::vector<bool>(256, false));
  EXPECT_EQ(app.badgeBitIndex, 256);
  EXPECT_EQ(app.highscores[5], 10);
  EXPECT_EQ(app.highscores[15], 0);
  EXPECT_EQ(app.highscores[45], 0);
  EXPECT_EQ(app.highscores[25], 40);
  EXPECT_EQ(app.highscores[55], 30);
}

// Records that are short, edited or hold odd integers: what loading prints
// and the fields it leaves.
TEST(SavedRecord, DamagedRecordsKeepWhatStillChecksOut) {
  Record r = FreshRecord();
  r.settings[2] = 5;
  r.words[7] = 8;  // bit 3 of word 7: badge 227
  r.ranked[0] = 11;
  r.ranked[10] = 22;
  std::string twentyFive;
  for (int i = 0; i < 24; ++i) twentyFive += "7|";
  Record big = FreshRecord();
  big.settings[1] = 2147483647;
  const std::string bigText = big.Text();
  const std::string fresh = FreshRecord().Text();
  const struct {
    const char* name;
    std::string text, output;
    int settings1, settings2, settings0, highscore0;
    bool badge;
  } cases[] = {
      {"no record: only the pad settings clamp", "", "", 0, 0, 0, 0, false},
      // The badge section then reads from the start: 8 words of 7 do not
      // sum to the 7 after them.
      {"25 elements: no settings section", twentyFive + "7", "Badge Checksum Invalid\n", 0, 0, 0, 0, false},
      {"table 1 cut before its checksum", r.Text(75), "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\n", 0, 5, 0, 11, true},
      {"cut inside the badge words", r.Text(30), "Settings Loaded\n", 0, 5, 0, 0, false},
      {"the first setting weighs nothing", "99" + fresh.substr(1), kAllLoaded, 0, 0, 99, 0, false},
      {"an oversized value is clamped", "0|99999999999|" + bigText.substr(bigText.find('|', 2) + 1), kAllLoaded, 2147483647, 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    std::optional<GameHarness> game;
    EXPECT_EQ(LoadOutput(game, c.text), c.output) << c.name;
    const MyApp& app = game->app();
    const int want[] = {c.settings0, c.settings1, c.settings2, 1, 64, 64, 10, c.highscore0, 0};
    const int got[] = {app.settings[0], app.settings[1], app.settings[2], app.settings[5], app.settings[10],
                       app.settings[11], app.settings[12], app.highscores[0], app.highscores[10]};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(got[i], want[i]) << c.name << ", field " << i;
    EXPECT_EQ(app.badgeEarned[7 * 32 + 3], c.badge) << c.name;
  }
}

TEST(SavedRecord, IntegersAreReadLikeAtoiAndClampedTo32Bits) {
  const struct {
    const char* text;
    long long value;
  } cases[] = {{"  +12abc", 12}, {"\t-7", -7}, {"", 0}, {"-", 0}, {"x5", 0}, {"2147483647", 2147483647},
               {"2147483648", 2147483647}, {"-2147483648", -2147483648LL},
               {"-99999999999999999999999", -2147483648LL}, {"99999999999999999999999", 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(RecordInt(T(c.text)), c.value) << '"' << c.text << '"';
}

TEST(ScoreText, OrdinalOfTheScoreInTheCurrentTable) {
  GameHarness game;
  MyApp& app = game.app();
  app.scoreTableIndex = 1;
  app.score = 1;
  EXPECT_EQ(app.m_MyNth(), T("1st!"));
  EXPECT_EQ(app.loopIndex, 1);
  EXPECT_EQ(app.keyDigit, 10);

  app.scoreTableIndex = 3;
  const int table[] = {900, 800, 700, 600, 500, 400, 300, 200, 100, 50};
  for (int e = 0; e < 10; ++e) app.highscores[20 + e] = table[e];
  app.score = 10;
  EXPECT_EQ(app.m_MyNth(), T(""));
  EXPECT_EQ(app.loopIndex, 0);
  app.score = 700;  // an equal score stays behind the entry
  EXPECT_EQ(app.m_MyNth(), T("4th"));
  app.score = 650;
  EXPECT_EQ(app.m_MyNth(), T("4th"));
  app.score = 51;
  EXPECT_EQ(app.m_MyNth(), T("10th"));
}

TEST(ScoreText, FixedWidthFields) {
  GameHarness game;
  MyApp& app = game.app();
  EXPECT_EQ(app.m_rstr(7, 3, T("0")), T("007"));
  EXPECT_EQ(app.m_rstr(12345, 3, T(" ")), T("345"));
  EXPECT_EQ(app.m_rstr(-5, 4, T(" ")), T("  -5"));
  EXPECT_EQ(app.m_lstr(T("ab"), 4, T(" ")), T("ab  "));
  EXPECT_EQ(app.m_lstr(T("abcdef"), 4, T(".")), T("abcd"));
  EXPECT_EQ(app.loopIndex, 5);
}

}  // namespace
}  // namespace vantor::testing
