// The real game under vantor-replay's virtual clock: scripted scenes and the
// bot's whole runs, checked by their frames against the reference pictures,
// by their state lines, and by the saved record they leave behind.
#include <algorithm>
#include <functional>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

using Numbers = std::vector<long long>;
constexpr int kRefused = 2, kFailed = 1;

TEST(Replay, RefusesBadScriptsFailsUnfinishedRunsAndStartsTheClockAsAsked) {
  WorkDir work;
  WriteFile(work / "bad.txt",
            "# a comment, then a good line\n5 state\n6 jump\nseven state\n8 press 10\n"
            "9 shot ../outside\n10 key 600\n11 quit now\n12 resize 0 480\n");
  // A run's vault code is drawn from the clock at its start.
  WriteFile(work / "start.txt", "60 key 13\n61 keyup 13\n70 state\n");
  Child early(ReplayCommand({"--script", "start.txt", "--out", "a"}), work.path);
  Child late(ReplayCommand({"--script", "start.txt", "--out", "b", "--clock", "250000"}),
             work.path);
  Child unfinished(ReplayCommand({"--autoplay", "win", "--max-updates", "200"}), work.path);

  Child bad(ReplayCommand({"--script", "bad.txt", "--out", "out"}), work.path);
  EXPECT_EQ(bad.Wait(), kRefused) << bad.Output();
  for (const int line : {3, 4, 5, 6, 7, 8, 9})
    EXPECT_NE(bad.Output().find("bad.txt:" + std::to_string(line) + ": "), std::string::npos)
        << "line " << line << " not refused:\n" << bad.Output();
  EXPECT_FALSE(fs::exists(work / "out")) << "the refused script ran";

  EXPECT_EQ(unfinished.Wait(), kFailed) << unfinished.Output();
  ASSERT_EQ(early.Wait() + late.Wait(), 0) << early.Output() << late.Output();
  EXPECT_NE(State(ReadFile(work / "a/state.jsonl"), "Seed"),
            State(ReadFile(work / "b/state.jsonl"), "Seed"));
}

// The scenes script says in its comments what each step does.
TEST(Replay, ScenesRunTwiceAlikeAndLookAsTheReferences) {
  WorkDir first, second;
  const std::string scenes = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/scripts/scenes.txt";
  Child a(ReplayCommand({"--script", scenes, "--out", "out"}), first.path);
  Child b(ReplayCommand({"--script", scenes, "--out", "out"}), second.path);
  ASSERT_EQ(a.Wait() + b.Wait(), 0) << a.Output() << b.Output();
  EXPECT_EQ(Shell("diff -r " + first / "out " + second / "out"), "") << "two runs differ";
  for (const char* name : {"loader", "menu", "credits", "pause", "gameover", "menu-600x450",
                           "menu-1280x720", "menu-1280x960"})
    ExpectLikeReference(first / "out", name);

  // The first state line: back from being iconified, the run is paused
  // and the keypad still holds the 1 and 5 pressed before.
  const std::string state = ReadFile(first / "out/state.jsonl");
  EXPECT_EQ(State(state, "paused"), Numbers{1});
  EXPECT_EQ(State(state, "enteredCode"), Numbers{15});
}

// A record written by hand from the file format: sound on (settings sum
// 5), no badges, table 0 ranked 20000, 15000 and recent 15000, 20000 (sum
// 4 x 20000 + 3 x 15000 + 5 x 15000 + 4 x 20000), tables 1 and 2 empty.
const std::string kHandMadeRecord =
    "0|0|0|0|0|1|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|5|0|0|0|0|0|0|0|0|0|20000|15000|15000|20000|"
    "0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|280000|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|"
    "0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|";

// The state line of a bot's run into DIR, once its report agrees with it.
std::string BotRun(const WorkDir& work, const std::string& outcome, const std::string& directory,
                   const Strings& more = {}) {
  Child bot(ReplayCommand(Joined({"--autoplay", outcome, "--out", directory}, more)), work.path);
  EXPECT_EQ(bot.Wait(), 0) << bot.Output();
  const std::string state = ReadFile(work / directory + "/state.jsonl");
  const std::string report =
      "outcome=" + outcome + " score=" + std::to_string(State(state, "score").at(0));
  EXPECT_NE(bot.Output().find(report), std::string::npos) << report << " not in " << bot.Output();
  return state;
}

// Table 0's ranked (`first` 0) or recent (`first` 30) scores.
Numbers Table(const std::string& state, int first) {
  const Numbers all = State(state, "highscores");
  return all.size() < 60 ? all : Numbers(all.begin() + first, all.begin() + first + 10);
}

// The rules: three bags of 1000 to 4500 each in steps of 500, and a time
// bonus of 3 points for each of at most 7200 updates left. The won run's
// score joins the hand-made tables; the lost run then reads the record the
// won one wrote and enters its 0.
TEST(Replay, BotWinsThenLosesAndTheSavedTablesKeepBoth) {
  constexpr long long kLeastLoot = 3000, kMostLoot = 13500, kBagStep = 500;
  constexpr long long kRunUpdates = 7200, kBonusPerUpdate = 3;
  WorkDir work;
  WriteFile(work / ".vantorstate", kHandMadeRecord);
  const std::string won = BotRun(work, "win", "won", {"--phase-shots"});
  for (int phase = 1; phase <= 9; ++phase)
    ExpectLikeReference(work / "won", "phase-" + std::to_string(phase));
  const long long loot = State(won, "loot").at(0), timeLeft = State(won, "timeLeft").at(0);
  const long long score = State(won, "score").at(0);
  EXPECT_TRUE(loot >= kLeastLoot && loot <= kMostLoot && loot % kBagStep == 0) << loot;
  EXPECT_TRUE(timeLeft > 0 && timeLeft < kRunUpdates) << timeLeft;
  EXPECT_EQ(score, loot + kBonusPerUpdate * timeLeft);
  EXPECT_EQ(State(won, "hitsLeft"), Numbers{0}) << "the cop took three hits";
  Numbers best = {20000, 15000, score, 0, 0, 0, 0, 0, 0, 0};
  std::sort(best.begin(), best.end(), std::greater<>());
  EXPECT_EQ(Table(won, 0), best);
  EXPECT_EQ(Table(won, 30), Numbers({score, 15000, 20000, 0, 0, 0, 0, 0, 0, 0}));

  const std::string lost = BotRun(work, "lose", "lost");
  EXPECT_EQ(State(lost, "hitsLeft"), Numbers{3}) << "the bot's gun fired";
  EXPECT_EQ(Table(lost, 0), best);
  EXPECT_EQ(Table(lost, 30), Numbers({0, score, 15000, 20000, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace vantor::e2e
