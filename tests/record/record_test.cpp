// The saved record: its layout against the model, damaged sections, bounded
// loading, and durable saves (killed saves, links, modes, other files).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <random>

#include "game/ids.h"
#include "tools/testing/record_game.h"
#include "tools/testing/temp_dir.h"

namespace fs = std::filesystem;

// Every fsync the process makes.
int g_syncs = 0;

extern "C" int fsync(int fd) {
  ++g_syncs;
  return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}

namespace vantor::testing {
namespace {

// Random values in the ranges loading leaves alone.
RecordFields RandomFields(std::mt19937& random) {
  RecordFields fields = DefaultFields();
  for (std::vector<int32_t>& section : fields)
    std::generate(section.begin(), section.end(), [&] { return random(); });
  std::vector<int32_t>& settings = fields[0];
  settings[kSettingSoundMode] = static_cast<int32_t>(random() % kSoundModes);
  settings[kSettingPadX] = settings[kSettingPadY] =
      static_cast<int32_t>(kPadMinPosition + random() % 1000);
  settings[kSettingPadSize] = static_cast<int32_t>(kPadMinSize + random() % 100);
  return fields;
}

// Records with damaged checksums, elements written with harmless spaces,
// signs and zeros, some cut short after a section's checksum: damaged and
// missing sections reset, all others load, and the game saves the model's
// text of what it loaded.
TEST(Record, OnlyDamagedSectionsResetAndTheSaveIsTheModelsText) {
  ScopedWorkDir dir;
  RecordGame game;
  std::mt19937 random(20261207);
  // What a reset section holds: the defaults, the pad's position and size held in range.
  RecordFields reset = DefaultFields();
  reset[0][kSettingPadX] = reset[0][kSettingPadY] = kPadMinPosition;
  reset[0][kSettingPadSize] = kPadDefaultSize;
  for (int round = 0; round < 300; ++round) {
    RecordFields expected = RandomFields(random);
    std::string text;
    char element[24];
    const auto last =
        static_cast<int>(random() % 2 ? 4 : random() % 5);  // the last section kept whole
    for (int s = 0; s <= last; ++s) {
      for (int32_t value : expected[s]) {
        text += (std::snprintf(element, sizeof element, random() % 8 ? "%d|" : " \t%+011d|", value),
                 element);
      }
      const int damaged = random() % 4 == 0;
      text += std::to_string(Checksum(s, expected[s]) ^ damaged) + (s < last ? "|" : "");
      if (damaged) expected[s] = reset[s];
    }
    for (int s = last + 1; s < 5; ++s) expected[s] = reset[s];
    ASSERT_TRUE(game.Load(text) == expected) << "round " << round << ": " << text;
    game.app().m_Save();
    ASSERT_EQ(ReadFile(kStateFileName), RecordText(expected)) << "round " << round;
  }
  RecordFields fields = RandomFields(random);
  for (const auto& [stored, loaded] :
       {std::pair{INT_MIN, 1}, {-1, 1}, {0, 0}, {3, 3}, {4, 1}, {INT_MAX, 1}}) {
    fields[0][5] = stored;
    EXPECT_EQ(game.Load(RecordText(fields))[0][5], loaded) << "sound mode " << stored;
  }
  WriteFile(kStateFileName, std::string(1 << 20, '7'));
  EXPECT_EQ(LoadStateFile().Length(), 65536) << "only the first 64 KiB are read";
}

// The game killed at random moments while it saves records numbered in
// settings[0]: the file always holds one whole record, never an older one
// than before, and the next save clears what the killed one left.
TEST(Record, SavesAreDurable) {
  ScopedWorkDir dir;
  RecordGame game;
  std::mt19937 random(7);
  RecordFields fields = game.Load("");  // the defaults, held in range
  game.app().m_Save();
  // Kills land anywhere in the first saves of a child: the window (in
  // microseconds) doubles, up to a fifth of a second, after a round in
  // which no save finished.
  long window = 1000;
  for (int round = 0; round < 80; ++round) {
    const pid_t child = fork();
    // A failed fork must not reach kill(): kill(-1, ...) signals every process we may.
    ASSERT_GE(child, 0) << "fork failed in round " << round;
    if (child == 0) {
      for (int n = fields[0][0] + 1;; ++n) game.app().settings[0] = n, game.app().m_Save();
    }
    usleep(static_cast<useconds_t>(random() % window));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string bytes = ReadFile(kStateFileName);
    if (std::atoi(bytes.c_str()) == fields[0][0] && window < 200000) window *= 2;
    ASSERT_GE(std::atoi(bytes.c_str()), fields[0][0])
        << "round " << round << ": an older record came back";
    fields[0][0] = game.app().settings[0] = std::atoi(bytes.c_str());
    ASSERT_EQ(bytes, RecordText(fields)) << "round " << round << ": not a whole record";
    game.app().m_Save();
    ASSERT_EQ(std::distance(fs::directory_iterator("."), {}), 1)
        << "round " << round << ": a file stayed";
  }
  EXPECT_GT(fields[0][0], 0) << "no child ever finished a save";
  // A new record syncs its file and its directory and takes the usual mode.
  fs::remove(kStateFileName);
  const mode_t mask = umask(027);
  WriteFile(std::string(kStateFileName) + ".tmp-1-2", "left by a killed save");
  const int syncs = g_syncs;
  EXPECT_EQ(SaveStateFile(u"new"), 0);
  EXPECT_EQ(g_syncs - syncs, 2);
  EXPECT_EQ(fs::status(kStateFileName).permissions(), fs::perms(0640));
  // A linked record is written where the link leads, keeping its mode;
  // anything but a regular file is never replaced; a run of failures is
  // reported once.
  WriteFile("saves/real", "");
  fs::permissions("saves/real", fs::perms(0604));
  fs::remove(kStateFileName), fs::create_symlink("saves/real", kStateFileName);
  EXPECT_EQ(SaveStateFile(u"linked"), 0);
  EXPECT_EQ(ReadFile("saves/real"), "linked");
  EXPECT_EQ(fs::status("saves/real").permissions(), fs::perms(0604));
  fs::remove(kStateFileName), mkfifo("saves/pipe", 0600),
      fs::create_symlink("saves/pipe", kStateFileName);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(SaveStateFile(u"r"), -1);
  fs::remove(kStateFileName);
  EXPECT_EQ(SaveStateFile(u"r"), 0);
  fs::remove(kStateFileName), fs::create_directories(std::string(kStateFileName) + "/inside");
  EXPECT_EQ(SaveStateFile(u"r") + SaveStateFile(u"r"), -2);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2)
      << "one line for each run of failures: " << errors;
  // saves, saves/real, saves/pipe, the record's directory and its inside: no temporary file stays.
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator("."), {}), 5);
  umask(mask);
}

}  // namespace
}  // namespace vantor::testing
