// String: construction, conversions, searching, slicing, splitting,
// replacing, C-string buffers, sharing of representations, and the UTF-8 and
// UTF-16 codecs with whole files. Each table row names its case.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/text.h"

namespace vantor {
namespace {

using Bytes = std::vector<unsigned char>;

std::u16string units(const String& s) { return std::u16string(s.Data(), static_cast<size_t>(s.Length())); }

std::u16string joined(const Array<String>& parts) {
  std::u16string out;
  for (const String& part : parts) out += u"[" + units(part) + u"]";
  return out;
}

// Decodes and returns the units together with what was printed meanwhile.
std::u16string decode(const Bytes& bytes, std::string* printed = nullptr) {
  testing::internal::CaptureStdout();
  const String text = String::Load(bytes.data(), static_cast<int>(bytes.size()));
  const std::string out = testing::internal::GetCapturedStdout();
  if (printed) *printed = out;
  return units(text);
}

Bytes encode(const std::u16string& text) {
  Bytes out;
  String(text.data(), static_cast<int>(text.size())).Save(out);
  return out;
}

const String kAbcdef("abcdef");

TEST(String, ProducesTheExpectedUnits) {
  const unsigned char bytes[] = {0xE9, 0x00, 0x41};
  const char16_t raw[] = {0xD800, 0x0000, 0xFFFF};
  const struct {
    const char* name;
    String got;
    std::u16string want;
  } cases[] = {
      {"8-bit text is sign-extended", String("\xE9"), u"\xFFE9"},
      {"bytes are not", String(bytes, 3), std::u16string(u"\u00E9\0A", 3)},
      {"units copied up to the count", String(raw, 3), std::u16string(raw, 3)},
      {"units copied up to the zero", String(raw), u"\xD800"},
      {"int", String(-2147483647 - 1), u"-2147483648"},
      {"float keeps a point", String(100.0f), u"100.0"},
      {"float keeps every digit", String(0.1f), u"0.10000000149011612"},
      {"negative zero", String(-0.0f), u"-0.0"},
      {"exponent form", String(1e-10f), u"1.000000013351432e-10"},
      {"concatenation", String("ab") + String("cd"), u"abcd"},
      {"slice from the end", kAbcdef.Slice(-2), u"ef"},
      {"slice to the end", kAbcdef.Slice(1, -1), u"bcde"},
      {"slice backwards", kAbcdef.Slice(4, 2), u""},
      {"slice clamps the start", kAbcdef.Slice(-10, 3), u"abc"},
      {"slice clamps the end", kAbcdef.Slice(2, 100), u"cdef"},
      {"slice past the end", kAbcdef.Slice(9), u""},
      {"slice to before the start", kAbcdef.Slice(2, -10), u""},
      {"replace every occurrence", String("a.b.c").Replace(String("."), String("::")), u"a::b::c"},
      {"replace without overlap", String("aaa").Replace(String("aa"), String("b")), u"ba"},
      {"replace with nothing", String("xax").Replace(String("x"), String()), u"a"},
      {"lower only ASCII capitals", String("AbZ@[`{").ToLower(), u"abz@[`{"},
  };
  for (const auto& c : cases) EXPECT_EQ(units(c.got), c.want) << c.name;
}

TEST(String, SearchesFindTheExpectedIndex) {
  const String abc("abc");
  const struct {
    const char* name;
    int got, want;
  } cases[] = {
      {"start clamped to zero", abc.Find(String("b"), -5), 1},
      {"match at the start index", abc.Find(String("bc"), 1), 1},
      {"no match after the start", abc.Find(String("bc"), 2), -1},
      {"longer than the text", abc.Find(String("abcd")), -1},
      {"first match from the start", String("abab").Find(String("ab"), 1), 2},
      {"empty at the end", abc.Find(String(), 3), 3},
      {"empty past the end", abc.Find(String(), 4), -1},
      {"last occurrence", String("abab").FindLast(String("ab")), 2},
      {"last of none", abc.FindLast(String("x")), -1},
      {"last empty", abc.FindLast(String()), 3},
      {"starts with a prefix", kAbcdef.StartsWith(String("abc")), 1},
      {"starts with itself", kAbcdef.StartsWith(kAbcdef), 1},
      {"prefix differs", kAbcdef.StartsWith(String("abd")), 0},
      {"prefix too long", String("ab").StartsWith(String("abc")), 0},
      {"equal needs the same length", String("ab") == String("abc"), 0},
      {"equal compares units", String("\xE9") == String(reinterpret_cast<const unsigned char*>("\xE9"), 1), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(String, SplitKeepsEmptyPieces) {
  const String comma(",");
  const struct {
    const char* name;
    Array<String> got;
    std::u16string want;
  } cases[] = {
      {"empty middle piece", String("a,,b").Split(comma), u"[a][][b]"},
      {"empty ends", String(",a,").Split(comma), u"[][a][]"},
      {"long separator", String("a::b::c").Split(String("::")), u"[a][b][c]"},
      {"no overlap", String("aaa").Split(String("aa")), u"[][a]"},
      {"empty text", String().Split(comma), u"[]"},
      {"empty separator", String("ab\xE9").Split(String()), u"[a][b][\uFFE9]"},
      {"empty by empty", String().Split(String()), u""},
  };
  for (const auto& c : cases) EXPECT_EQ(joined(c.got), c.want) << c.name;
}

// Results that change nothing hand back the representation they were given,
// and every empty result is the one shared empty representation.
TEST(String, UnchangedAndEmptyResultsShareTheirRepresentation) {
  const char16_t none[] = {0};
  const String x("x");
  String assigned("zz");
  assigned = kAbcdef;
  const String lower("already lower");
  const String accented(u"\u00C9\u0100");
  const struct {
    const char* name;
    String got, shares;
  } cases[] = {
      {"empty from text", String(""), String()},
      {"empty from units", String(none), String()},
      {"empty from a count", String(kAbcdef.Data(), 0), String()},
      {"empty plus text", String() + x, x},
      {"text plus empty", x + String(), x},
      {"assignment", assigned, kAbcdef},
      {"whole slice", kAbcdef.Slice(-6, 6), kAbcdef},
      {"empty slice", kAbcdef.Slice(3, 3), String()},
      {"single piece", x.Split(String(","))[0], x},
      {"nothing replaced", kAbcdef.Replace(String("x"), String("y")), kAbcdef},
      {"empty pattern", kAbcdef.Replace(String(), String("y")), kAbcdef},
      {"lower case already", lower.ToLower(), lower},
      {"non-ASCII capitals stay", accented.ToLower(), accented},
      {"nothing decoded", String::Load(Bytes{0xEF, 0xBB, 0xBF}.data(), 3), String()},
      {"odd UTF-16 byte", String::Load(Bytes{0xFF, 0xFE, 0x41}.data(), 3), String()},
  };
  for (const auto& c : cases) EXPECT_TRUE(c.got.SharesRepWith(c.shares)) << c.name;
  String& alias = assigned;
  assigned = alias;
  EXPECT_EQ(units(assigned), u"abcdef") << "self-assignment";
  EXPECT_FALSE(kAbcdef.Slice(1).SharesRepWith(kAbcdef));
}

TEST(String, CStringBuffersKeepUnitsAndEndInZero) {
  const char* narrow = String(u"A\u0142\u00E9").ToCString<char>();
  EXPECT_EQ(std::string(narrow), "A\x42\xE9");
  EXPECT_EQ(std::u16string(String(u"A\u20AC").ToCString<char16_t>()), u"A\u20AC");
  alignas(String) unsigned char storage[2][3 * sizeof(String)];
  String* slots = reinterpret_cast<String*>(storage[0]);
  String* copies = reinterpret_cast<String*>(storage[1]);
  t_create(3, slots);
  slots[1] = String("b");
  t_create(3, copies, slots);
  EXPECT_TRUE(copies[1].SharesRepWith(slots[1]));
  EXPECT_EQ(copies[2], String());
  t_destroy(3, copies);
  t_destroy(3, slots);
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
      {"UTF-8 mark skipped", {0xEF, 0xBB, 0xBF, 0x41}, u"A", false},
      {"one to three bytes", {0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0x7F}, u"A\u00E9\u20AC\x7F", false},
      {"overlong form passes", {0xC0, 0x80}, std::u16string(1, 0), false},
      {"surrogate passes", {0xED, 0xA0, 0x80}, u"\xD800", false},
      {"missing continuation", {0xC3}, u"\u00C3", true},
      {"cut short", {0x41, 0xE2, 0x82}, u"A\u00E2\u0082", true},
      {"wrong continuation", {0xC3, 0x41}, u"\u00C3A", true},
      {"four-byte form", {0xF0, 0x9F, 0x98, 0x80}, u"\u00F0\u009F\u0098\u0080", true},
      {"invalid after a mark", {0xEF, 0xBB, 0xBF, 0x41, 0xFF}, u"A\u00FF", true},
  };
  for (const auto& c : cases) {
    std::string printed;
    EXPECT_EQ(decode(c.bytes, &printed), c.want) << c.name;
    EXPECT_EQ(printed, c.invalid ? "Invalid UTF-8!\n" : "") << c.name;
  }
}

TEST(StringCodec, EncodesOneToThreeBytesAndEveryUnitRoundTrips) {
  EXPECT_EQ(encode(u"A\u07FF\u0800"), (Bytes{0x41, 0xDF, 0xBF, 0xE0, 0xA0, 0x80}));
  EXPECT_EQ(encode(u"\xD83D"), (Bytes{0xED, 0xA0, 0xBD}));
  std::u16string all;
  for (int unit = 1; unit <= 0xFFFF; ++unit) all.push_back(static_cast<char16_t>(unit));
  EXPECT_EQ(decode(encode(all)), all);
}

TEST(StringCodec, FilesOfManyReadChunksRoundTrip) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  // Multi-byte forms across the boundaries of several read chunks.
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += (i % 3 == 0) ? u"\u20AC" : u"a\u00E9";
  const String saved(text.data(), static_cast<int>(text.size()));
  ASSERT_TRUE(saved.Save(file));
  EXPECT_GT(std::ftell(file), 4096 * 3);
  std::rewind(file);
  EXPECT_EQ(String::Load(file), saved);
  std::fclose(file);
  std::FILE* read_only = std::fopen("/dev/null", "r");
  EXPECT_FALSE(String("abc").Save(read_only)) << "a failed write is reported";
  std::fclose(read_only);
}

}  // namespace
}  // namespace vantor
