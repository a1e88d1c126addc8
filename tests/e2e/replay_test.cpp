// The real game under vantor-replay's virtual clock: scripted scenes and the
// bot's whole runs, checked by their frames against the reference pictures,
// by their state lines, and by the saved record they leave behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kScenes = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/scripts/scenes.txt";
constexpr int kRefused = 2, kFailed = 1;

TEST(Replay, RefusesBadScriptsFailsUnfinishedRunsAndStartsTheClockAsAsked) {
  WorkDir work;
  WriteFile(work / "bad.txt",
            "# a comment, then a good line\n5 state\n6 jump\nseven state\n8 press 10\n"
            "9 shot ../outside\n10 key 600\n11 quit now\n12 resize 0 480\n");
  // A run's vault code is drawn from the clock at its start.
  WriteFile(work / "start.txt", "60 key 13\n61 keyup 13\n70 state\n");
  Child early(ReplayCommand({"--script", "start.txt", "--out", "early"}), work.path());
  Child late(ReplayCommand({"--script", "start.txt", "--out", "late", "--clock", "250000"}),
             work.path());
  Child unfinished(ReplayCommand({"--autoplay", "win", "--max-updates", "200"}), work.path());

  const Result bad = e2e::Run(ReplayCommand({"--script", "bad.txt", "--out", "out"}), work.path());
  EXPECT_EQ(bad.status, kRefused) << bad.output;
  for (const int line : {3, 4, 5, 6, 7, 8, 9})
    EXPECT_NE(bad.output.find("bad.txt:" + std::to_string(line) + ": "), std::string::npos)
        << "line " << line << " not refused:\n" << bad.output;
  EXPECT_EQ(bad.output.find("bad.txt:2:"), std::string::npos) << bad.output;
  EXPECT_FALSE(fs::exists(work / "out")) << "the refused script ran";

  EXPECT_EQ(unfinished.Wait(), kFailed) << unfinished.Output();
  EXPECT_NE(unfinished.Output().find("outcome=none"), std::string::npos) << unfinished.Output();
  ASSERT_EQ(early.Wait(), 0) << early.Output();
  ASSERT_EQ(late.Wait(), 0) << late.Output();
  EXPECT_NE(StateNumber(ReadFile(work / "early/state.jsonl"), "Seed"),
            StateNumber(ReadFile(work / "late/state.jsonl"), "Seed"));
}

// Each file of a directory with its contents.
std::map<std::string, std::string> Files(const std::string& directory) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(directory))
    files[entry.path().filename().string()] = ReadFile(entry.path().string());
  return files;
}

// The scenes script says in its comments what each step does.
TEST(Replay, ScenesRunTwiceAlikeAndLookAsTheReferences) {
  WorkDir first, second;
  Child a(ReplayCommand({"--script", kScenes, "--out", "out"}), first.path());
  Child b(ReplayCommand({"--script", kScenes, "--out", "out"}), second.path());
  ASSERT_EQ(a.Wait(), 0) << a.Output();
  ASSERT_EQ(b.Wait(), 0) << b.Output();
  const auto files = Files(first / "out");
  EXPECT_TRUE(files == Files(second / "out")) << "two runs of one script differ";
  for (const char* name : {"loader", "menu", "credits", "pause", "gameover", "menu-600x450",
                           "menu-1280x720", "menu-1280x960"})
    ExpectLikeReference(first / "out", name);

  const std::vector<std::string> states = Lines(files.at("state.jsonl"));
  ASSERT_EQ(states.size(), 6u);
  EXPECT_EQ(StateNumber(states[0], "gameMode"), 10) << "Enter did not start a run";
  EXPECT_EQ(StateNumber(states[0], "enteredCode"), 15) << "keypad presses lost";
  EXPECT_EQ(StateNumber(states[1], "paused"), 1) << "not paused after iconifying";
  EXPECT_FALSE(ReadFile(first / ".vantorstate").empty()) << "iconifying did not save";
  EXPECT_EQ(StateNumber(states[2], "runOver"), 1) << "quit did not end the run";
  EXPECT_EQ(StateNumber(states[3], "gameMode"), 1) << "not back in the menu";
  for (size_t resized = 4; resized < states.size(); ++resized)
    EXPECT_EQ(StateNumber(states[resized], "loadStep"), 0) << "art not reloaded: " << resized;
}

// A record written by hand from the file format: sound on (settings sum
// 5), no badges, table 0 ranked 20000, 15000 and recent 15000, 20000 (sum
// 4 x 20000 + 3 x 15000 + 5 x 15000 + 4 x 20000), tables 1 and 2 empty.
std::string HandMadeRecord() {
  const auto zeros = [](int count) {
    std::string text;
    while (count-- > 0) text += "0|";
    return text;
  };
  return zeros(5) + "1|" + zeros(19) + "5|" + zeros(9) + "20000|15000|15000|20000|" + zeros(16) +
         "280000|" + zeros(42);
}

// The bot's last state line, after its report line.
std::string BotRun(const WorkDir& work, const std::vector<std::string>& arguments,
                   const std::string& outcome) {
  const Result result = e2e::Run(ReplayCommand(arguments), work.path());
  EXPECT_EQ(result.status, 0) << result.output;
  const std::vector<std::string> states = Lines(ReadFile(work / "out/state.jsonl"));
  if (states.empty()) return "{}";
  const std::string report =
      "outcome=" + outcome + " score=" + std::to_string(StateNumber(states.back(), "score"));
  EXPECT_NE(result.output.find(report), std::string::npos) << report << " not in " << result.output;
  return states.back();
}

std::vector<int> Table(const std::string& state, int first) {
  constexpr int kTableSize = 10;
  const std::vector<int> all = StateList(state, "highscores");
  if (all.size() < static_cast<size_t>(first + kTableSize)) return all;
  return std::vector<int>(all.begin() + first, all.begin() + first + kTableSize);
}

// The rules: three bags of 1000 to 4500 each in steps of 500, and a time
// bonus of 3 points for each of at most 7200 updates left. The won run's
// score joins the hand-made tables; the lost run then reads the record the
// won one wrote and enters its 0.
TEST(Replay, BotWinsThenLosesAndTheSavedTablesKeepBoth) {
  constexpr int kLeastLoot = 3000, kMostLoot = 13500, kBagStep = 500;
  constexpr int kRunUpdates = 7200, kBonusPerUpdate = 3, kRecent = 30;
  WorkDir work;
  WriteFile(work / ".vantorstate", HandMadeRecord());
  const std::string won =
      BotRun(work, {"--autoplay", "win", "--phase-shots", "--out", "out"}, "win");
  for (int phase = 1; phase <= 9; ++phase) ExpectLikeReference(work / "out", "phase-" + std::to_string(phase));
  const int loot = StateNumber(won, "loot"), timeLeft = StateNumber(won, "timeLeft");
  const int score = StateNumber(won, "score");
  EXPECT_TRUE(loot >= kLeastLoot && loot <= kMostLoot && loot % kBagStep == 0) << loot;
  EXPECT_TRUE(timeLeft > 0 && timeLeft < kRunUpdates) << timeLeft;
  EXPECT_EQ(score, loot + kBonusPerUpdate * timeLeft);
  EXPECT_EQ(StateNumber(won, "hitsLeft"), 0) << "the cop took three hits";
  EXPECT_GT(StateNumber(won, "playerHealth"), 0);
  std::vector<int> best = {20000, 15000, score, 0, 0, 0, 0, 0, 0, 0};
  std::sort(best.begin(), best.end(), std::greater<>());
  EXPECT_EQ(Table(won, 0), best);
  EXPECT_EQ(Table(won, kRecent), std::vector<int>({score, 15000, 20000, 0, 0, 0, 0, 0, 0, 0}));

  const std::string lost = BotRun(work, {"--autoplay", "lose", "--out", "out"}, "lose");
  EXPECT_EQ(StateNumber(lost, "score"), 0);
  EXPECT_EQ(StateNumber(lost, "phase"), 8);
  EXPECT_EQ(StateNumber(lost, "playerHealth"), 0);
  EXPECT_EQ(StateNumber(lost, "hitsLeft"), 3) << "the bot's gun fired";
  EXPECT_EQ(Table(lost, 0), best);
  EXPECT_EQ(Table(lost, kRecent), std::vector<int>({0, score, 15000, 20000, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace vantor::e2e
