// vantor-replay's own promises: a bad script is refused line by line before
// anything runs; the same script gives the same frames and state lines on
// every run; the virtual clock starts where --clock says.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kScenes = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/scripts/scenes.txt";

// Every file of a directory with its contents.
std::map<std::string, std::string> Files(const std::string& directory) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(directory)) {
    files[entry.path().filename().string()] = ReadFile(entry.path().string());
  }
  return files;
}

TEST(Replay, RefusesEveryBadLineWithItsNumberBeforeRunning) {
  WorkDir work;
  WriteFile(work / "bad.txt",
            "# a comment, then a good line\n"
            "5 state\n"
            "6 jump\n"
            "seven state\n"
            "8 press 10\n"
            "9 shot ../outside\n"
            "10 key 600\n"
            "11 quit now\n"
            "12 resize 0 480\n");
  const Result result = Replay(work, {"--script", work / "bad.txt", "--out", work / "out"});
  EXPECT_EQ(result.status, 2) << result.output;
  for (const int line : {3, 4, 5, 6, 7, 8, 9}) {
    EXPECT_NE(result.output.find("bad.txt:" + std::to_string(line) + ": "), std::string::npos)
        << "line " << line << " not refused:\n"
        << result.output;
  }
  EXPECT_EQ(result.output.find("bad.txt:2:"), std::string::npos) << result.output;
  // Nothing ran: no output directory, no saved record.
  EXPECT_FALSE(fs::exists(work / "out"));
  EXPECT_FALSE(fs::exists(work / ".vantorstate"));
}

TEST(Replay, SameScriptTwiceGivesIdenticalFramesAndStateLines) {
  WorkDir first, second;
  const Result a = Replay(first, {"--script", kScenes, "--out", first / "out"});
  const Result b = Replay(second, {"--script", kScenes, "--out", second / "out"});
  ASSERT_EQ(a.status, 0) << a.output;
  ASSERT_EQ(b.status, 0) << b.output;
  const auto one = Files(first / "out");
  const auto two = Files(second / "out");
  for (const char* name : {"loader.png", "menu.png", "credits.png", "keypad.png", "pause.png",
                           "gameover.png", "resized.png", "state.jsonl"}) {
    ASSERT_TRUE(one.count(name)) << name << " not written";
    EXPECT_TRUE(one.at(name) == two.at(name)) << name << " differs between two runs";
  }
  EXPECT_EQ(one.size(), two.size());
}

// The scenes script states what each of its steps did; the game must agree.
TEST(Replay, ScriptedInputReachesTheGame) {
  WorkDir work;
  const Result result = Replay(work, {"--script", kScenes, "--out", work / "out"});
  ASSERT_EQ(result.status, 0) << result.output;
  const std::vector<StateLine> states = ReadStateLines(work / "out/state.jsonl");
  ASSERT_EQ(states.size(), 9u);
  EXPECT_GT(states[0]["loadStep"], 0);  // 10: loading
  EXPECT_EQ(states[1]["gameMode"], 1);  // 70: the menu
  EXPECT_EQ(states[1]["loadStep"], 0);
  EXPECT_EQ(states[2]["creditsOpen"], 1);  // 90: credits
  EXPECT_EQ(states[3]["gameMode"], 10);    // 130: a run, keypad
  EXPECT_EQ(states[3]["phase"], 1);
  EXPECT_EQ(states[3].texts.at("enteredCode"), "15");  // the keys pressed
  EXPECT_EQ(states[4]["paused"], 1);                   // 160: pause menu
  EXPECT_EQ(states[5]["paused"], 1);                   // 190: back from iconified
  EXPECT_EQ(states[6]["runOver"], 1);                  // 230: quit
  EXPECT_EQ(states[7]["gameMode"], 1);                 // 320: menu again
  EXPECT_EQ(states[8]["loadStep"], 0);                 // 400: reloaded at 800x600
  EXPECT_EQ(states[8]["update"], 400);
  // Iconifying saved the record.
  EXPECT_FALSE(ReadFile(work / ".vantorstate").empty());
}

// A run's vault code is drawn from the clock at its start, so another
// starting clock gives another run; the same one the same run.
TEST(Replay, ClockOptionSetsWhereTheVirtualClockStarts) {
  WorkDir work;
  WriteFile(work / "start.txt", "60 key 13\n61 keyup 13\n70 state\n");
  auto seedWith = [&](const std::string& clock) {
    const Result result =
        Replay(work, {"--script", work / "start.txt", "--out", work / clock, "--clock", clock});
    EXPECT_EQ(result.status, 0) << result.output;
    const std::vector<StateLine> states = ReadStateLines(work / (clock + "/state.jsonl"));
    return states.empty() ? -1 : states[0]["Seed"];
  };
  const int fromZero = seedWith("0");
  EXPECT_EQ(seedWith("0"), fromZero);
  EXPECT_NE(seedWith("250000"), fromZero);
}

}  // namespace
}  // namespace vantor::e2e
