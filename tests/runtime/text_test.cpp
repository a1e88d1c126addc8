// String: conversions, slicing, searching, splitting, replacing, shared
// representations, and the UTF-8 and UTF-16 codecs at their edges.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/text.h"

namespace vantor {
namespace {

using Bytes = std::vector<unsigned char>;

std::u16string Units(const String& s) {
  return std::u16string(s.Data(), static_cast<size_t>(s.Length()));
}

const String kAbab("abab");

// Searches, comparisons and sharing read as numbers: sharing is 1 where a
// result that changes nothing hands back the representation it was given,
// or an empty result the one shared empty representation.
TEST(String, OperationsGiveTheExpectedUnits) {
  const unsigned char bytes[] = {0xE9, 0x00, 0x41};
  const struct {
    const char* name;
    String got;
    std::u16string want;
  } cases[] = {
      {"8-bit text is sign-extended", String("\xE9"), u"\xFFE9"},
      {"bytes are not", String(bytes, 3), std::u16string(u"\u00E9\0A", 3)},
      {"int", String(-2147483647 - 1), u"-2147483648"},
      {"float keeps a point", String(100.0f), u"100.0"},
      {"float keeps every digit", String(0.1f), u"0.10000000149011612"},
      {"exponent form", String(1e-10f), u"1.000000013351432e-10"},
      {"slice from the end", kAbab.Slice(-3, -1), u"ba"},
      {"slice clamps", kAbab.Slice(-10, 100), u"abab"},
      {"replace without overlap", String("aaa.a").Replace(String("aa"), String("::")), u"::a.a"},
      {"lower only ASCII capitals", String("AbZ@[`{\xC9").ToLower(), u"abz@[`{\xFFC9"},
      {"split keeps empty pieces", String(String(",a,,b,").Split(String(",")).Length()), u"5"},
      {"split by nothing", String("ab").Split(String())[1], u"b"},
      {"find clamps its start", String(kAbab.Find(String("b"), -5)), u"1"},
      {"find nothing past the end", String(kAbab.Find(String(), 5)), u"-1"},
      {"find last", String(kAbab.FindLast(String("ab"))), u"2"},
      {"equal needs the same length", String(String("ab") == String("abc")), u"0"},
      {"whole slice shares", String(kAbab.Slice(-4, 4).SharesRepWith(kAbab)), u"1"},
      {"empty slice shares", String(kAbab.Slice(3, 3).SharesRepWith(String())), u"1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Units(c.got), c.want) << c.name;
}

TEST(StringCodec, DecodesMarksAndFormsAndKeepsInvalidBytes) {
  const struct {
    const char* name;
    Bytes bytes;
    std::u16string want;
    bool invalid;
  } cases[] = {
      {"UTF-16 little-endian", {0xFF, 0xFE, 0xAC, 0x20, 0x00, 0xD8}, u"\u20AC\xD800", false},
      {"UTF-16 big-endian, odd byte dropped", {0xFE, 0xFF, 0x00, 0x41, 0x00}, u"A", false},
      {"one to three bytes",
       {0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0x7F},
       u"A\u00E9\u20AC\x7F",
       false},
      {"overlong form passes", {0xC0, 0x80}, std::u16string(1, 0), false},
      {"surrogate passes", {0xED, 0xA0, 0x80}, u"\xD800", false},
      {"missing continuation", {0xC3}, u"\u00C3", true},
      {"cut short", {0x41, 0xE2, 0x82}, u"A\u00E2\u0082", true},
      {"wrong continuation", {0xC3, 0x41}, u"\u00C3A", true},
      {"four-byte form", {0xF0, 0x9F, 0x98, 0x80}, u"\u00F0\u009F\u0098\u0080", true},
      {"four-byte lead before two continuations", {0xF0, 0x9F, 0x98}, u"\u00F0\u009F\u0098", true},
      {"invalid after a mark", {0xEF, 0xBB, 0xBF, 0x41, 0xFF}, u"A\u00FF", true},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStdout();
    const String text = String::Load(c.bytes.data(), static_cast<int>(c.bytes.size()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.invalid ? "Invalid UTF-8!\n" : "")
        << c.name;
    EXPECT_EQ(Units(text), c.want) << c.name;
  }
}

TEST(StringCodec, EncodesOneToThreeBytesAndEveryUnitRoundTripsThroughAFile) {
  Bytes edges;
  String(u"A\u07FF\u0800\xD83D").Save(edges);
  EXPECT_EQ(edges, (Bytes{0x41, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xED, 0xA0, 0xBD}));
  // Every unit; multi-byte forms fall across the boundaries of read chunks.
  std::u16string all;
  for (int unit = 1; unit <= 0xFFFF; ++unit) all.push_back(static_cast<char16_t>(unit));
  const String saved(all.data(), static_cast<int>(all.size()));
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(saved.Save(file));
  std::rewind(file);
  EXPECT_EQ(String::Load(file), saved);
  std::fclose(file);
  std::FILE* read_only = std::fopen("/dev/null", "r");
  EXPECT_FALSE(String("abc").Save(read_only)) << "a failed write is reported";
  std::fclose(read_only);
}

}  // namespace
}  // namespace vantor
