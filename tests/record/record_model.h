// The saved record modelled apart from the game's code: the fields it
// holds, the text they make, and what loading a text must leave in the
// fields. Shared by the record tests (tests/record) and the record loader's
// fuzz target (fuzz/record_fuzzer.cpp), which compare the game against it.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor::testing {

struct RecordFields {
  std::array<int32_t, 25> settings{};
  std::array<bool, 256> badges{};
  std::array<int32_t, 60> scores{};  // ranked tables 0-29, then recent 30-59
  bool operator==(const RecordFields&) const = default;

  // The start-up defaults: everything 0 or unearned, but sound mode 1.
  static RecordFields Defaults() {
    RecordFields fields;
    fields.settings[5] = 1;
    return fields;
  }
};

// The record's sections in order, as element ranges of the split text.
struct Section {
  int first, values;  // the checksum follows the values
};
inline constexpr std::array<Section, 5> kSections = {
    {{0, 25}, {26, 8}, {35, 20}, {56, 20}, {77, 20}}};

inline int32_t Wrapped(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// The weight of element `index` of section `section` in its checksum.
inline int64_t Weight(int section, int index) {
  if (section == 0) return index;
  if (section == 1) return 1;
  const int table = section - 2, entry = index / 2;
  return index % 2 == 0 ? entry + 4 : table + 3 + entry;
}

// Section `s`'s values in record order.
inline std::vector<int32_t> SectionValues(const RecordFields& f, int s) {
  std::vector<int32_t> values;
  if (s == 0) values.assign(f.settings.begin(), f.settings.end());
  for (int w = 0; s == 1 && w < 8; ++w) {
    uint32_t word = 0;
    for (int b = 0; b < 32; ++b) word |= static_cast<uint32_t>(f.badges[w * 32 + b]) << b;
    values.push_back(static_cast<int32_t>(word));
  }
  for (int e = 0; s >= 2 && e < 10; ++e) {
    values.push_back(f.scores[(s - 2) * 10 + e]);
    values.push_back(f.scores[30 + (s - 2) * 10 + e]);
  }
  return values;
}

inline int32_t Checksum(int section, const std::vector<int32_t>& values) {
  int64_t sum = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    sum += Weight(section, static_cast<int>(i)) * values[i];
  }
  return Wrapped(sum);
}

// The 98 integers of the record: each section's values, then its checksum.
inline std::vector<int32_t> RecordElements(const RecordFields& fields) {
  std::vector<int32_t> elements;
  for (int s = 0; s < static_cast<int>(kSections.size()); ++s) {
    const std::vector<int32_t> values = SectionValues(fields, s);
    elements.insert(elements.end(), values.begin(), values.end());
    elements.push_back(Checksum(s, values));
  }
  return elements;
}

inline std::string RecordText(const std::vector<int32_t>& elements) {
  std::string text;
  for (int32_t e : elements) text += std::to_string(e) + "|";
  return text;
}

// atoi over the low byte of each unit, held to the 32-bit range.
inline int32_t ModelInt(const std::u16string& text) {
  size_t i = 0;
  auto byte = [&](size_t k) { return text[k] & 0xff; };
  while (i < text.size() && (byte(i) == ' ' || (byte(i) >= '\t' && byte(i) <= '\r'))) ++i;
  const bool negative = i < text.size() && byte(i) == '-';
  if (i < text.size() && (byte(i) == '-' || byte(i) == '+')) ++i;
  int64_t magnitude = 0;
  for (; i < text.size() && byte(i) >= '0' && byte(i) <= '9'; ++i) {
    magnitude = std::min<int64_t>(magnitude * 10 + byte(i) - '0', int64_t{1} << 31);
  }
  return static_cast<int32_t>(
      std::clamp<int64_t>(negative ? -magnitude : magnitude, INT32_MIN, INT32_MAX));
}

// Stores section `s`'s values into `f`.
inline void StoreSection(RecordFields& f, int s, const std::vector<int32_t>& v) {
  for (int i = 0; s == 0 && i < 25; ++i) f.settings[i] = v[i];
  for (int b = 0; s == 1 && b < 256; ++b) {
    f.badges[b] = (static_cast<uint32_t>(v[b / 32]) >> (b % 32)) & 1;
  }
  for (int e = 0; s >= 2 && e < 10; ++e) {
    f.scores[(s - 2) * 10 + e] = v[2 * e];
    f.scores[30 + (s - 2) * 10 + e] = v[2 * e + 1];
  }
}

// The pad's settings and the sound mode held in the range the game uses,
// as every load leaves them.
inline RecordFields Clamped(RecordFields fields) {
  int32_t* settings = fields.settings.data();
  settings[10] = std::max(settings[10], 64);
  settings[11] = std::max(settings[11], 64);
  if (settings[12] < 8) settings[12] = 10;
  if (settings[5] < 0 || settings[5] > 3) settings[5] = 1;
  return fields;
}

// What loading the decoded `text` leaves, starting from the defaults: each
// section that fits is stored when its checksum matches and reset when not;
// a section that does not fit is skipped without moving the read position;
// then the values are clamped.
inline RecordFields ModelLoad(const std::u16string& text) {
  std::vector<std::u16string> parts(1);
  for (char16_t unit : text) {
    if (unit == u'|') {
      parts.emplace_back();
    } else {
      parts.back() += unit;
    }
  }
  RecordFields fields = RecordFields::Defaults();
  const RecordFields defaults = fields;
  size_t cursor = 0;
  for (int s = 0; s < static_cast<int>(kSections.size()); ++s) {
    const size_t count = kSections[s].values;
    if (parts.size() < cursor + count + 1) continue;
    std::vector<int32_t> values;
    for (size_t i = 0; i < count; ++i) values.push_back(ModelInt(parts[cursor + i]));
    const bool valid = ModelInt(parts[cursor + count]) == Checksum(s, values);
    StoreSection(fields, s, valid ? values : SectionValues(defaults, s));
    cursor += count + 1;
  }
  return Clamped(fields);
}

}  // namespace vantor::testing
