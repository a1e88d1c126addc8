// Elements that are not decimal integers: a word reads as 0, and a section
// of words has the checksum of zeros, so the checksum alone cannot tell.
// Such a section is damaged like one with a wrong checksum: it falls back to
// its defaults, says "Checksum Invalid", and the other sections still load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/testing/record_game.h"
#include "tools/testing/temp_dir.h"

namespace vantor::testing {
namespace {

// What each section's loading says when it loads and when it is damaged.
const char* const kLoaded[] = {"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded",
                               "Highscore 1 Loaded", "Highscore 2 Loaded"};
const char* const kDamaged[] = {"Settings Checksum Invalid", "Badge Checksum Invalid",
                                "Highscore 0 Checksum Invalid", "Highscore 1 Checksum Invalid",
                                "Highscore 2 Checksum Invalid"};

// Values other than the defaults in every section, sound mode 2.
RecordFields Played() {
  RecordFields fields = DefaultFields();
  for (int s = 0; s < 5; ++s) {
    for (size_t i = 0; i < fields[s].size(); ++i)
      fields[s][i] = static_cast<int32_t>(100 * s + static_cast<int>(i) + 70);
  }
  fields[0][5] = 2;
  return fields;
}

// The record of `fields` with element `at` of section `damaged` written as
// `word`, and that section's checksum the sum of what the word reads as
// (`reads`), so that the checksum matches it.
std::string WithWord(RecordFields fields, int damaged, size_t at, const std::string& word,
                     int reads) {
  std::string text;
  for (int s = 0; s < 5; ++s) {
    if (s == damaged) fields[s][at] = reads;
    for (size_t i = 0; i < fields[s].size(); ++i) {
      text += (s == damaged && i == at ? word : std::to_string(fields[s][i])) + "|";
    }
    text += std::to_string(Checksum(s, fields[s])) + "|";
  }
  return text;
}

// A reset section: the defaults, the pad's position and size held in range.
RecordFields Reset() {
  RecordFields reset = DefaultFields();
  reset[0][10] = reset[0][11] = 64, reset[0][12] = 10;
  return reset;
}

TEST(RecordWords, AWordInASectionResetsThatSectionOnly) {
  ScopedWorkDir dir;
  RecordGame game;
  const RecordFields played = Played();
  struct Word {
    std::string text;
    int reads;  // what the C library's atoi makes of it
  };
  for (const Word& word : {Word{"garbage", 0}, Word{"12abc", 12}, Word{"", 0}, Word{"-", 0}}) {
    for (int s = 0; s < 5; ++s) {
      SCOPED_TRACE("'" + word.text + "' in section " + std::to_string(s));
      // The sound mode stays in range whatever the word reads as.
      const size_t at = s == 0 ? 3 : 1;
      ::testing::internal::CaptureStdout();
      const RecordFields loaded = game.Load(WithWord(played, s, at, word.text, word.reads));
      const std::string said = ::testing::internal::GetCapturedStdout();
      for (int other = 0; other < 5; ++other) {
        EXPECT_EQ(loaded[other], other == s ? Reset()[other] : played[other])
            << "section " << other;
        EXPECT_NE(said.find(other == s ? kDamaged[other] : kLoaded[other]), std::string::npos)
            << said;
      }
    }
  }
}

}  // namespace
}  // namespace vantor::testing
