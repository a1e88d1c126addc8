// Whole runs played by the bot through the real game: a won run and a lost
// run, checked by their outcome, their score, the tables after the run and
// the saved record on disk (whose checksums are recomputed here).
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

// What the rules allow: three bags of 1000 to 4500 each, and a time bonus
// of 3 points for each of at most 7200 updates left.
constexpr int kLeastLoot = 3000;
constexpr int kMostLoot = 13500;
constexpr int kBagValueStep = 500;
constexpr int kRunUpdates = 7200;
constexpr int kBonusPerUpdate = 3;
constexpr int kHighscores = 60;
constexpr int kRecent = 30;  // index of the first recent score of table 0
constexpr size_t kRecordElements = 99;
// Table 0's first best and recent entries among the record's elements.
constexpr int kRecordBest0 = 35;
constexpr int kRecordRecent0 = 36;

struct Report {
  std::string outcome;
  int score = -1, updates = -1;
};

// The bot's last line: outcome=... score=N updates=U.
Report LastReport(const std::string& output) {
  Report report;
  const size_t at = output.rfind("outcome=");
  char outcome[16] = {};
  if (at != std::string::npos &&
      std::sscanf(output.c_str() + at, "outcome=%15s score=%d updates=%d", outcome, &report.score,
                  &report.updates) == 3) {
    report.outcome = outcome;
  }
  return report;
}

void ExpectValidRecord(const std::string& record) {
  const std::vector<std::string> elements = RecordElements(record);
  ASSERT_EQ(elements.size(), kRecordElements) << record;
  const RecordChecksums sums = ComputeChecksums(elements);
  EXPECT_EQ(std::stoi(elements[25]), sums.settings);
  EXPECT_EQ(std::stoi(elements[34]), sums.badges);
  EXPECT_EQ(std::stoi(elements[55]), sums.tables[0]);
  EXPECT_EQ(std::stoi(elements[76]), sums.tables[1]);
  EXPECT_EQ(std::stoi(elements[97]), sums.tables[2]);
}

std::vector<int> Table(const StateLine& state, int first) {
  const std::vector<int>& all = state.lists.at("highscores");
  return std::vector<int>(all.begin() + first, all.begin() + first + 10);
}

TEST(Autoplay, WinsARunAndEntersItsScore) {
  WorkDir work;
  const Result result = Replay(work, {"--autoplay", "win", "--out", work / "out"});
  ASSERT_EQ(result.status, 0) << result.output;
  const Report report = LastReport(result.output);
  ASSERT_EQ(report.outcome, "win") << result.output;

  const std::vector<StateLine> states = ReadStateLines(work / "out/state.jsonl");
  ASSERT_EQ(states.size(), 1u);
  const StateLine& end = states.back();
  EXPECT_EQ(end["gameMode"], 1);
  EXPECT_EQ(end["update"], report.updates);
  const int loot = end["loot"], timeLeft = end["timeLeft"];
  EXPECT_GE(loot, kLeastLoot);
  EXPECT_LE(loot, kMostLoot);
  EXPECT_EQ(loot % kBagValueStep, 0);
  EXPECT_GT(timeLeft, 0);
  EXPECT_LT(timeLeft, kRunUpdates);
  EXPECT_EQ(report.score, loot + kBonusPerUpdate * timeLeft);
  EXPECT_EQ(end["score"], report.score);
  EXPECT_EQ(end["hitsLeft"], 0) << "the cop took three hits";
  EXPECT_GT(end["playerHealth"], 0);

  ASSERT_EQ(end.lists.at("highscores").size(), static_cast<size_t>(kHighscores));
  std::vector<int> expected(10, 0);
  expected[0] = report.score;
  EXPECT_EQ(Table(end, 0), expected);
  EXPECT_EQ(Table(end, kRecent), expected);

  const std::string record = ReadFile(work / ".vantorstate");
  ExpectValidRecord(record);
  const std::vector<std::string> elements = RecordElements(record);
  EXPECT_EQ(std::stoi(elements[kRecordBest0]), report.score);
  EXPECT_EQ(std::stoi(elements[kRecordRecent0]), report.score);
}

TEST(Autoplay, LosesARunWithoutFiringAndEntersZero) {
  WorkDir work;
  std::vector<int> before(kHighscores, 0);
  before[0] = 20000;
  before[1] = 15000;
  before[kRecent] = 15000;
  before[kRecent + 1] = 20000;
  WriteFile(work / ".vantorstate", MakeRecord(before));

  const Result result = Replay(work, {"--autoplay", "lose", "--out", work / "out"});
  ASSERT_EQ(result.status, 0) << result.output;
  const Report report = LastReport(result.output);
  EXPECT_EQ(report.outcome, "lose") << result.output;
  EXPECT_EQ(report.score, 0);

  const std::vector<StateLine> states = ReadStateLines(work / "out/state.jsonl");
  ASSERT_EQ(states.size(), 1u);
  const StateLine& end = states.back();
  EXPECT_EQ(end["gameMode"], 1);
  EXPECT_EQ(end["phase"], 8);
  EXPECT_EQ(end["playerHealth"], 0);
  EXPECT_EQ(end["hitsLeft"], 3) << "the bot's gun fired";
  // The loaded tables stay; the lost run's 0 heads the recent list.
  EXPECT_EQ(Table(end, 0), std::vector<int>({20000, 15000, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Table(end, kRecent), std::vector<int>({0, 15000, 20000, 0, 0, 0, 0, 0, 0, 0}));

  const std::string record = ReadFile(work / ".vantorstate");
  ExpectValidRecord(record);
  EXPECT_EQ(RecordElements(record)[kRecordRecent0], "0");
}

TEST(Autoplay, GivesUpWithAFailureWhenTheRunDoesNotEndInTime) {
  WorkDir work;
  const Result result = Replay(work, {"--autoplay", "win", "--max-updates", "200"});
  EXPECT_EQ(result.status, 1) << result.output;
  const Report report = LastReport(result.output);
  EXPECT_EQ(report.outcome, "none") << result.output;
  EXPECT_EQ(report.updates, 200);
}

}  // namespace
}  // namespace vantor::e2e
