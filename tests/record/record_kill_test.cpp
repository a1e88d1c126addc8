// The game killed (SIGKILL) at random moments while it saves, many times:
// the record on disk is always one whole record the game wrote, never an
// older one than before, and the next save works and clears what the
// killed save left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "tests/host/temp_dir.h"
#include "tests/record/record_game.h"

namespace vantor::testing {
namespace {

constexpr unsigned kSeed = 7;
constexpr int kRounds = 80;
// Kills land anywhere in the first few saves of a child: the delay is up to
// this many times what one save takes on this disk.
constexpr int kSavesPerKillWindow = 3;

// The child: saves record after record, numbered in settings[0], until it
// is killed.
[[noreturn]] void SaveUntilKilled(const RecordGame& game, int first) {
  for (int n = first;; ++n) {
    game.app().settings[0] = n;
    game.app().m_Save();
  }
}

std::vector<std::string> DirectoryEntries() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    names.push_back(entry.path().filename());
  }
  return names;
}

TEST(RecordKill, AKilledSaveLeavesAWholeRecordAndTheNextSaveWorks) {
  ScopedWorkDir dir;
  RecordGame game;
  std::mt19937 random(kSeed);
  RecordFields base = RecordFields::Defaults();
  base.settings[10] = base.settings[11] = 64;
  base.settings[12] = 10;
  for (int i = 0; i < 60; ++i) base.scores[i] = 1000 * i + 7;
  base.badges[3] = base.badges[255] = true;
  game.Store(base);
  const auto start = std::chrono::steady_clock::now();
  game.app().m_Save();
  const auto saveMicros = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
  std::uniform_int_distribution<long> killDelay(0, kSavesPerKillWindow * saveMicros);
  int onDisk = 0, killedWhileWriting = 0;
  for (int round = 0; round < kRounds; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveUntilKilled(game, onDisk + 1);
    usleep(static_cast<useconds_t>(killDelay(random)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string bytes = ReadFile(kStateFileName);
    const RecordFields loaded = game.LoadFile();
    ASSERT_EQ(bytes, RecordText(RecordElements(loaded)))
        << "round " << round << ": not a whole record";
    ASSERT_GE(loaded.settings[0], onDisk) << "round " << round << ": an older record came back";
    RecordFields expected = base;
    expected.settings[0] = onDisk = loaded.settings[0];
    ASSERT_TRUE(loaded == expected) << "round " << round;
    killedWhileWriting += DirectoryEntries().size() > 1;
    ASSERT_EQ(SaveStateFile(String(bytes.c_str())), 0) << "round " << round;
    ASSERT_EQ(DirectoryEntries(), std::vector<std::string>{kStateFileName}) << "round " << round;
  }
  EXPECT_GT(onDisk, 0) << "no child ever finished a save";
  std::printf("%d kills, %d saves finished, %d kills left a half-written temporary file\n", kRounds,
              onDisk, killedWhileWriting);
}

}  // namespace
}  // namespace vantor::testing
