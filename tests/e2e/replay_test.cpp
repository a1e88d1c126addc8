// The real game under vantor-replay's virtual clock: scripted scenes and the
// bot's whole runs, checked by their frames against the reference pictures,
// by their state lines, and by the saved record they leave behind; and the
// bot's run paused in every phase, which goes on as if never paused.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "tools/testing/e2e_support.h"

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
        << "line " << line << " not refused:\n"
        << bad.Output();
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
  std::string state = ReadFile(work / directory + "/state.jsonl");
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
  // The replay is deterministic, so the bot's run is pinned to the update:
  // a change that moves these (which the frames' pixel tolerance lets
  // pass) must be meant, and its new numbers written here.
  constexpr long long kBotLoot = 9500, kBotTimeLeft = 6385, kBotScore = 28655;
  EXPECT_TRUE(loot == kBotLoot && timeLeft == kBotTimeLeft && score == kBotScore)
      << "the bot's run went differently: loot " << loot << ", time left " << timeLeft << ", score "
      << score << " (pinned " << kBotLoot << ", " << kBotTimeLeft << ", " << kBotScore << ")";
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

// The number after `name=` in the bot's report, or -1.
long long Reported(const std::string& output, const std::string& name) {
  const size_t at = output.find(" " + name + "=");
  return at == std::string::npos ? -1 : std::atoll(output.c_str() + at + name.size() + 2);
}

// With keys alone and with a gamepad's state alone the bot wins and loses
// whole runs at 640x480. They are deterministic, so each is pinned to its
// score and its length (a change that moves them must be meant).
TEST(Replay, BotWinsAndLosesWithKeysAloneAndWithAGamepadAlone) {
  const struct {
    std::string input, outcome;
    long long score, updates;
  } runs[] = {{"keys", "win", 28601, 1029},
              {"keys", "lose", 0, 1036},
              {"pad", "win", 28493, 1065},
              {"pad", "lose", 0, 1072}};
  WorkDir work;
  std::vector<std::unique_ptr<Child>> bots;
  for (const auto& run : runs) {
    const std::string name = run.input + "-" + run.outcome;
    bots.push_back(std::make_unique<Child>(
        ReplayCommand({"--autoplay", run.outcome, "--input", run.input, "--workdir", work / name,
                       "--out", work / name + "/out"}),
        work.path));
  }
  for (size_t i = 0; i < bots.size(); ++i) {
    const auto& run = runs[i];
    SCOPED_TRACE(run.input + " " + run.outcome);
    ASSERT_EQ(bots[i]->Wait(), 0) << bots[i]->Output();
    const std::string said = bots[i]->Output();
    EXPECT_NE(said.find("outcome=" + run.outcome + " score=" + std::to_string(run.score) +
                        " updates=" + std::to_string(run.updates)),
              std::string::npos)
        << "the run went differently: " << said;
    const long long keys = Reported(said, "keys"), pad = Reported(said, "pad");
    EXPECT_EQ(Reported(said, "pointer"), 0) << said;
    EXPECT_TRUE(run.input == "keys" ? keys > 0 && pad == 0 : pad > 0 && keys == 0)
        << "not " << run.input << " alone: " << said;
  }
}

// ---- A run paused in every phase ----------------------------------------

constexpr int kPauseUpdates = 150;
constexpr int kEscape = 27;
// More updates than the bot's won run takes.
constexpr int kRunUpdatesAtMost = 2000;
// Updates into the overlay at which the last pause comes.
constexpr long long kOverlayPauseFrame = 30;

// The state lines of `text`, one per update from update 1.
Strings Lines(const std::string& text) {
  Strings lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A state line without the named fields: each `"name":value` is cut out up
// to the next comma (with it) or the closing brace (without it).
std::string Without(const std::string& line, const Strings& names) {
  std::string kept = line;
  for (const std::string& name : names) {
    const std::string key = "\"" + name + "\":";
    for (size_t at = kept.find(key); at != std::string::npos; at = kept.find(key, at)) {
      size_t end = kept.find_first_of(",}", at + key.size());
      if (end == std::string::npos) {
        end = kept.size();
      } else if (kept[end] == ',') {
        ++end;
      }
      kept.erase(at, end - at);
    }
  }
  return kept;
}

// The pause's own fields, and what the input leaves while the pause menu
// has it.
const Strings kPauseFields = {"update", "paused"};
const Strings kPauseAndInput = {"update", "paused", "touchDown", "touchConsumed", "keyConsumed"};

long long Field(const std::string& line, const std::string& name) {
  return State(line, name).at(0);
}

// Whether the player has let go after update `line` and no press or key is
// held as used: a pause can come there without a press of the run's
// falling into it.
bool LetGo(const std::string& line) {
  return Field(line, "touchDown") == 0 && Field(line, "touchConsumed") == 0 &&
         Field(line, "keyConsumed") == 0;
}

// The updates at which to pause the never paused run `lines` (updates
// from 1): one in each of phases 1 to 9, and one under the overlay, each
// after the bot has let go.
std::vector<int> PausePoints(const Strings& lines) {
  std::vector<int> points;
  for (int phase = 1; phase <= 10; ++phase) {
    for (size_t i = 1; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (Field(line, "gameMode") != 10 || !LetGo(line)) continue;
      const bool overlay = Field(line, "runOver") == 1;
      const bool found = phase <= 9 ? !overlay && Field(line, "phase") == phase &&
                                          Field(lines[i - 1], "phase") == phase
                                    : overlay && Field(line, "gameOverFrame") == kOverlayPauseFrame;
      if (found) {
        points.push_back(static_cast<int>(i) + 2);  // the update after line i's
        break;
      }
    }
  }
  return points;
}

// The bot's won run with a state line after every update, paused at the
// given updates for kPauseUpdates updates each, then resumed; with the
// pause menu back key both times.
std::string PausedRun(const WorkDir& work, const std::string& directory,
                      const std::vector<int>& pauses, int updates) {
  std::string script;
  for (int update = 1; update <= updates; ++update) {
    for (const int pause : pauses) {
      for (const int at : {pause, pause + kPauseUpdates}) {
        if (update == at) script += std::to_string(at) + " key " + std::to_string(kEscape) + "\n";
        if (update == at + 1)
          script += std::to_string(at + 1) + " keyup " + std::to_string(kEscape) + "\n";
      }
    }
    script += std::to_string(update) + " state\n";
  }
  WriteFile(work / directory + ".txt", script);
  fs::remove(work / ".vantorstate");  // each run from the same fresh tables
  Child bot(ReplayCommand({"--autoplay", "win", "--script", directory + ".txt", "--out", directory,
                           "--max-updates", std::to_string(updates)}),
            work.path);
  const int status = bot.Wait();
  // A run cut short by --max-updates ends unfinished; that is all it is for.
  EXPECT_TRUE(status == 0 || status == kFailed) << bot.Output();
  return ReadFile(work / directory + "/state.jsonl");
}

// Paused in each phase and under the overlay for 150 updates, the run
// stands still (its state line, pause and input aside, stays as it was when
// the pause came), and after every resume each state line is the never
// paused run's, the pause aside, as many updates earlier as the run stood
// still.
TEST(Replay, ARunPausedInEveryPhaseGoesOnAsIfNeverPaused) {
  WorkDir work;
  const Strings never = Lines(PausedRun(work, "never", {}, kRunUpdatesAtMost));
  const std::vector<int> pauses = PausePoints(never);
  ASSERT_EQ(pauses.size(), 10u) << "no pause point in some phase";

  // How long one pause holds the run: from the update it comes in until the
  // countdown falls again.
  const int first = pauses.front();
  const Strings once =
      Lines(PausedRun(work, "once", {first}, first + kPauseUpdates + kPauseUpdates / 2));
  const long long timeAtPause = Field(never[first - 2], "timeLeft");
  int standing = first;
  while (standing <= static_cast<int>(once.size()) &&
         Field(once[standing - 1], "timeLeft") == timeAtPause)
    ++standing;
  const int held = standing - first;
  ASSERT_GT(held, kPauseUpdates) << "the run did not stand still while paused";

  std::vector<int> starts;  // where each pause comes in the paused run
  for (size_t k = 0; k < pauses.size(); ++k)
    starts.push_back(pauses[k] + static_cast<int>(k) * held);
  const Strings paused =
      Lines(PausedRun(work, "paused", starts,
                      static_cast<int>(never.size()) + static_cast<int>(pauses.size()) * held));
  for (size_t i = 0; i < paused.size() && i < never.size() + pauses.size() * held; ++i) {
    const int update = static_cast<int>(i) + 1;
    int k = 0;
    while (k < static_cast<int>(starts.size()) && starts[k] <= update) ++k;
    if (k > 0 && update < starts[k - 1] + held) {
      ASSERT_EQ(Without(paused[i], kPauseAndInput),
                Without(never[pauses[k - 1] - 2], kPauseAndInput))
          << "the run moved while paused, update " << update;
    } else {
      ASSERT_EQ(Without(paused[i], kPauseFields),
                Without(never[i - static_cast<size_t>(k) * held], kPauseFields))
          << "unlike the never paused run, update " << update;
    }
  }
  EXPECT_EQ(paused.size(), never.size() + pauses.size() * held) << "the runs took different times";
}

}  // namespace
}  // namespace vantor::e2e
