// Saved progress: the settings, the badge words and the three score tables
// in one text record of "|"-terminated integers, each section followed by
// its checksum so that a damaged section (a wrong checksum, or an element
// that is not a decimal integer) falls back to its defaults while the
// others still load. Also the ordinal of a new score and two
// fixed-width text routines for the score screens and menus. Creation loads
// the record; suspending (which the host also does as the program ends) and
// a finished run save it.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "game/ids.h"
#include "game/myapp.h"
#include "modules/app.h"
#include "runtime/debug.h"

namespace vantor {
namespace {

constexpr int kBadgeWords = 8;
constexpr int kBitsPerWord = 32;
constexpr int kScoreTables = 3;
// The recent-score lists follow the three ranked tables.
static_assert(kRecentOffset == kScoreTables * kTableSize);
constexpr int kTableElements = 2 * kTableSize;

// Checksum weights. A setting weighs its index, a ranked score e of table t
// weighs e + 4 and its recent score e + t + 3 (badge words are summed
// plainly): weighing by place makes the sum change when two elements trade
// places, which a plain sum would not notice. They are the weights every
// saved record was written with; other weights would make every existing
// record's sections read as damaged and reset them.
constexpr int kRankedWeightBase = 4;
constexpr int kRecentWeightBase = 3;

const char* const kOrdinals[] = {"",    "1st!", "2nd", "3rd", "4th", "5th",
                                 "6th", "7th",  "8th", "9th", "10th"};

// Checksums wrap like 32-bit two's complement arithmetic.
int32_t Wrap(uint32_t value) { return static_cast<int32_t>(value); }
uint32_t Bits(int value) { return static_cast<uint32_t>(value); }

void Append(String& record, int value) { record += String(value) + T("|"); }

bool IsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsRecordInt(const String& text) {
  const int length = text.Length();
  int i = 0;
  while (i < length && IsSpace(text[i])) ++i;
  if (i < length && (text[i] == '+' || text[i] == '-')) ++i;
  const int firstDigit = i;
  while (i < length && IsDigit(text[i])) ++i;
  if (i == firstDigit) return false;
  while (i < length && IsSpace(text[i])) ++i;
  return i == length;
}

int RecordInt(const String& text) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  const int length = text.Length();
  int i = 0;
  // Each unit is taken as the 8-bit character it stands for.
  auto at = [&](int index) { return text[index] & 0xff; };
  while (i < length && IsSpace(at(i))) ++i;
  bool negative = false;
  if (i < length && (at(i) == '+' || at(i) == '-')) {
    negative = at(i) == '-';
    ++i;
  }
  int64_t magnitude = 0;
  for (; i < length && IsDigit(at(i)); ++i) {
    magnitude = std::min<int64_t>(magnitude * 10 + (at(i) - '0'), kMax + 1);
  }
  const int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp(value, kMin, kMax));
}

int MyApp::ScoreChecksum(int table) {
  uint32_t sum = 0;
  for (int e = 0; e < kTableSize; ++e) {
    sum += Bits(e + kRankedWeightBase) * Bits(highscores[table * kTableSize + e]);
    sum += Bits(table + kRecentWeightBase + e) *
           Bits(highscores[kRecentOffset + table * kTableSize + e]);
  }
  return Wrap(sum);
}

int MyApp::m_Save() {
  String record;
  uint32_t settingsSum = 0;
  for (loopIndex = 0; loopIndex < kSettings; ++loopIndex) {
    Append(record, settings[loopIndex]);
    settingsSum += Bits(settings[loopIndex]) * Bits(loopIndex);
  }
  Append(record, Wrap(settingsSum));
  uint32_t badgeSum = 0;
  for (badgeWordIndex = 0; badgeWordIndex < kBadgeWords; ++badgeWordIndex) {
    uint32_t word = 0;
    for (badgeBitIndex = 0; badgeBitIndex < kBitsPerWord; ++badgeBitIndex) {
      if (badgeEarned[badgeWordIndex * kBitsPerWord + badgeBitIndex]) word |= 1u << badgeBitIndex;
    }
    savedValue = Wrap(word);
    Append(record, savedValue);
    badgeSum += word;
  }
  Append(record, Wrap(badgeSum));
  for (scoreGroupIndex = 0; scoreGroupIndex < kScoreTables; ++scoreGroupIndex) {
    const int ranked = scoreGroupIndex * kTableSize;
    for (scoreEntryIndex = 0; scoreEntryIndex < kTableSize; ++scoreEntryIndex) {
      Append(record, highscores[ranked + scoreEntryIndex]);
      Append(record, highscores[kRecentOffset + ranked + scoreEntryIndex]);
    }
    Append(record, ScoreChecksum(scoreGroupIndex));
  }
  if (game::DebugMode == 1) DebugLog(record);
  app::SaveState(record);
  return 0;
}

int MyApp::m_Load() {
  const String text = app::LoadState();
  const Array<String> parts = text.Split(T("|"));
  loadCursor = 0;
  if (game::DebugMode == 1) DebugLog(text);
  LoadSettingsSection(parts);
  // The pad must stay reachable whatever the record held.
  if (settings[kSettingPadX] < kPadMinPosition) settings[kSettingPadX] = kPadMinPosition;
  if (settings[kSettingPadY] < kPadMinPosition) settings[kSettingPadY] = kPadMinPosition;
  if (settings[kSettingPadSize] < kPadMinSize) settings[kSettingPadSize] = kPadDefaultSize;
  // A mode the game never sets would overflow its arithmetic on the first
  // change (1 - mode, mode + 1): such a value starts as the default.
  int& soundMode = settings[kSettingSoundMode];
  if (soundMode < 0 || soundMode >= kSoundModes) soundMode = kDefaultSoundMode;
  LoadBadgeSection(parts);
  LoadScoreSection(parts);
  return 0;
}

// Reads the checksum that ends a section of `fields` elements and tells
// whether it is `sum` and every element of the section, the checksum too,
// is a decimal integer: a word would read as 0 and could pass the sum.
bool MyApp::SectionIntact(const Array<String>& parts, int fields, uint32_t sum) {
  savedValue = RecordInt(parts[loadCursor]);
  loadCursor += 1;
  bool integers = true;
  for (int i = loadCursor - fields - 1; i < loadCursor; ++i) {
    integers = integers && IsRecordInt(parts[i]);
  }
  return integers && savedValue == Wrap(sum);
}

// The defaults: every setting 0 but the sound mode, which starts on.
void MyApp::ResetSettings() {
  for (int& setting : settings) setting = 0;
  settings[kSettingSoundMode] = kDefaultSoundMode;
}

void MyApp::LoadSettingsSection(const Array<String>& parts) {
  if (parts.Length() < kSettings + 1) return;
  uint32_t sum = 0;
  for (loopIndex = 0; loopIndex < kSettings; ++loopIndex) {
    settings[loopIndex] = RecordInt(parts[loopIndex]);
    sum += Bits(settings[loopIndex]) * Bits(loopIndex);
  }
  loadCursor += kSettings;
  if (SectionIntact(parts, kSettings, sum)) {
    DebugLog(T("Settings Loaded"));
  } else {
    DebugLog(T("Settings Checksum Invalid"));
    ResetSettings();
  }
  savedValue = 0;
}

void MyApp::LoadBadgeSection(const Array<String>& parts) {
  if (parts.Length() <= loadCursor + kBadgeWords) return;
  uint32_t sum = 0;
  for (badgeWordIndex = 0; badgeWordIndex < kBadgeWords; ++badgeWordIndex) {
    savedValue = RecordInt(parts[loadCursor + badgeWordIndex]);
    for (badgeBitIndex = 0; badgeBitIndex < kBitsPerWord; ++badgeBitIndex) {
      badgeEarned[badgeWordIndex * kBitsPerWord + badgeBitIndex] =
          ((Bits(savedValue) >> badgeBitIndex) & 1u) != 0;
    }
    sum += Bits(savedValue);
  }
  loadCursor += kBadgeWords;
  if (SectionIntact(parts, kBadgeWords, sum)) {
    DebugLog(T("Badges Loaded"));
  } else {
    DebugLog(T("Badge Checksum Invalid"));
    for (badgeBitIndex = 0; badgeBitIndex < kBadgeCount; ++badgeBitIndex) {
      badgeEarned[badgeBitIndex] = false;
    }
  }
  scoreGroupIndex = 0;
}

void MyApp::LoadScoreSection(const Array<String>& parts) {
  for (scoreGroupIndex = 0; scoreGroupIndex < kScoreTables; ++scoreGroupIndex) {
    if (parts.Length() <= loadCursor + kTableElements) continue;
    const int ranked = scoreGroupIndex * kTableSize;
    for (scoreEntryIndex = 0; scoreEntryIndex < kTableSize; ++scoreEntryIndex) {
      const int element = loadCursor + 2 * scoreEntryIndex;
      highscores[ranked + scoreEntryIndex] = RecordInt(parts[element]);
      highscores[kRecentOffset + ranked + scoreEntryIndex] = RecordInt(parts[element + 1]);
    }
    loadCursor += kTableElements;
    const String table(scoreGroupIndex);
    if (SectionIntact(parts, kTableElements, Bits(ScoreChecksum(scoreGroupIndex)))) {
      Print(T("Highscore ") + table + T(" Loaded"));
      continue;
    }
    Print(T("Highscore ") + table + T(" Checksum Invalid"));
    for (scoreEntryIndex = 0; scoreEntryIndex < kTableSize; ++scoreEntryIndex) {
      highscores[ranked + scoreEntryIndex] = 0;
      highscores[kRecentOffset + ranked + scoreEntryIndex] = 0;
    }
  }
}

// The rank the score will be entered at: as m_LoadMenu enters it, a score
// must beat an entry to take its place.
String MyApp::m_MyNth() {
  loopIndex = 0;
  const int table = (scoreTableIndex - 1) * kTableSize;
  for (keyDigit = 1;; ++keyDigit) {
    if (score > highscores[table + keyDigit - 1] && loopIndex == 0) loopIndex = keyDigit;
    if (keyDigit == kTableSize) break;
  }
  return RankText(loopIndex);
}

String MyApp::RankText(int rank) { return T(kOrdinals[rank]); }

String MyApp::m_lstr(String text, int width, String pad) {
  for (loopIndex = 1; loopIndex <= width; ++loopIndex) text += pad;
  return text.Slice(0, width);
}

String MyApp::m_rstr(int value, int width, String pad) {
  String text = pad;
  for (loopIndex = 1; loopIndex <= width; ++loopIndex) text += pad;
  text += String(value);
  return text.Slice(std::max(0, text.Length() - width));
}

}  // namespace vantor
