// Hundreds of randomly damaged records, seeded so that a failure repeats:
// every intact section loads its values, every damaged or cut one is reset
// to its defaults, and harmless edits (spaces, signs, leading zeros) change
// nothing.
#include <gtest/gtest.h>

#include <random>

#include "tests/host/temp_dir.h"
#include "tests/record/record_game.h"

namespace vantor::testing {
namespace {

constexpr unsigned kSeed = 20261207;
constexpr int kRounds = 400;
constexpr int kSectionCount = static_cast<int>(kSections.size());

struct Damaged {
  std::vector<std::string> elements;
  std::array<bool, kSectionCount> reset{};
};

// Random values in the ranges loading leaves alone, with no checksum 0 (a
// cut checksum element reads as 0).
RecordFields RandomFields(std::mt19937& random) {
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  for (;;) {
    RecordFields f;
    for (int32_t& s : f.settings) s = any(random);
    f.settings[5] = static_cast<int32_t>(random() % 4);
    f.settings[10] = f.settings[11] = 64 + static_cast<int32_t>(random() % 1000);
    f.settings[12] = 8 + static_cast<int32_t>(random() % 100);
    for (bool& b : f.badges) b = random() % 2;
    for (int32_t& score : f.scores) score = any(random) % 100000;
    const std::vector<int32_t> e = RecordElements(f);
    bool zero = false;
    for (const Section& s : kSections) zero = zero || e[s.first + s.values] == 0;
    if (!zero) return f;
  }
}

// Changes one element of section `s` so that its checksum no longer holds:
// a value after the first (settings[0] weighs nothing) or the checksum, to
// another number or to text that reads as 0.
void Damage(Damaged& d, int s, const std::vector<int32_t>& values, std::mt19937& random) {
  const Section section = kSections[s];
  const int element = section.first + 1 + static_cast<int>(random() % section.values);
  const int64_t old = values[element];
  const int64_t delta = 1 + random() % 1000;
  const int64_t changed = old + delta <= INT32_MAX ? old + delta : old - delta;
  d.elements[element] =
      random() % 2 == 0 || old == 0 ? std::to_string(changed) : "x" + d.elements[element];
  d.reset[s] = true;
}

// Edits any element of an intact section without changing its value.
void HarmlessEdit(Damaged& d, std::mt19937& random) {
  const int element = static_cast<int>(random() % d.elements.size());
  const std::string& text = d.elements[element];
  const bool negative = text[0] == '-';
  d.elements[element] = (negative ? " \t-00" : "  +00") + text.substr(negative ? 1 : 0);
}

// Cuts the text at a random byte; sections not ending before the cut reset.
std::string Cut(Damaged& d, std::mt19937& random) {
  std::string text;
  std::vector<size_t> ends;  // of each section's checksum text
  for (size_t i = 0; i < d.elements.size(); ++i) {
    text += d.elements[i];
    ends.push_back(text.size());
    text += "|";
  }
  const size_t cut = random() % text.size();
  for (int s = 0; s < kSectionCount; ++s) {
    if (ends[kSections[s].first + kSections[s].values] > cut) d.reset[s] = true;
  }
  return text.substr(0, cut);
}

TEST(RecordDamage, IntactSectionsLoadAndDamagedOrCutOnesReset) {
  ScopedWorkDir dir;
  RecordGame game;
  std::mt19937 random(kSeed);
  for (int round = 0; round < kRounds; ++round) {
    const RecordFields fields = RandomFields(random);
    const std::vector<int32_t> values = RecordElements(fields);
    Damaged d;
    for (int32_t v : values) d.elements.push_back(std::to_string(v));
    HarmlessEdit(d, random);
    for (int k = static_cast<int>(random() % 4); k > 0; --k)
      Damage(d, random() % kSectionCount, values, random);
    std::string text;
    if (random() % 4 == 0) {
      text = Cut(d, random);
    } else {
      for (const std::string& e : d.elements) text += e + "|";
    }
    RecordFields expected = fields;
    for (int s = 0; s < kSectionCount; ++s) {
      if (d.reset[s]) StoreSection(expected, s, SectionValues(RecordFields::Defaults(), s));
    }
    const RecordFields loaded = game.Load(text);
    EXPECT_TRUE(loaded == Clamped(expected)) << "round " << round << ": " << text;
  }
}

}  // namespace
}  // namespace vantor::testing
