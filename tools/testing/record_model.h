// The saved record modelled apart from the game's code: the values of its
// sections and the text they make. Shared by the record tests and the
// record loader's fuzz target (fuzz/record_fuzzer.cpp), which compare the
// game against it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/ids.h"

namespace vantor::testing {

// The sections' values in record order: the 25 settings; the 256 badges as
// eight 32-bit words, badge 0 the lowest bit; then three score tables, each
// ten pairs of a ranked score (highscores 0-29) and a recent one (30-59).
using RecordFields = std::array<std::vector<int32_t>, 5>;

// The start-up defaults: everything 0 or unearned, but sound mode 1.
inline RecordFields DefaultFields() {
  std::vector<int32_t> settings(25), table(20);
  settings[kSettingSoundMode] = kDefaultSoundMode;
  return {settings, std::vector<int32_t>(8), table, table, table};
}

// The checksum that follows a section: a sum wrapped to 32 bits, in which
// setting i weighs i, a badge word 1, ranked score e of table t weighs e + 4
// and its recent score e + t + 3.
inline int32_t Checksum(int s, const std::vector<int32_t>& values) {
  uint32_t sum = 0;
  for (uint32_t i = 0; i < values.size(); ++i) {
    sum += (s == 0   ? i
            : s == 1 ? 1
                     : i / 2 + (i % 2 ? s + 1 : 4)) *
           static_cast<uint32_t>(values[i]);
  }
  return static_cast<int32_t>(sum);
}

// Each section's values then its checksum, each element ended by "|".
inline std::string RecordText(const RecordFields& fields) {
  std::string text;
  for (int s = 0; s < 5; ++s) {
    for (int32_t value : fields[s]) text += std::to_string(value) + "|";
    text += std::to_string(Checksum(s, fields[s])) + "|";
  }
  return text;
}

}  // namespace vantor::testing
