// String: construction, conversions, comparison, searching, slicing,
// splitting, replacing, case, C-string buffers and shared representations.
#include <gtest/gtest.h>

#include <string>

#include "runtime/text.h"

namespace vantor {
namespace {

std::u16string units(const String& s) { return std::u16string(s.Data(), static_cast<size_t>(s.Length())); }

const String kAbcdef("abcdef");

TEST(StringConstruction, EightBitTextIsSignExtendedButBytesAreNot) {
  const String text("\xE9");
  ASSERT_EQ(text.Length(), 1);
  EXPECT_EQ(text[0], 0xFFE9);
  const unsigned char bytes[] = {0xE9, 0x00, 0x41};
  const String raw(bytes, 3);
  EXPECT_EQ(units(raw), std::u16string(u"\u00E9\0A", 3));
}

TEST(StringConstruction, UnitsAreCopiedAsGivenUpToTheCountOrTheZero) {
  const char16_t source[] = {0xD800, 0x0000, 0xFFFF};
  EXPECT_EQ(units(String(source, 3)), std::u16string(source, 3));
  EXPECT_EQ(String(source).Length(), 1);
  EXPECT_EQ(units(T(u"h\u20ACy")), u"h\u20ACy");
}

TEST(StringConstruction, EveryEmptyStringSharesOneRepresentation) {
  const char16_t none[] = {0};
  const String empties[] = {String(), String(""), String(none), String(none, 0), String(kAbcdef.Data(), 0)};
  for (const String& empty : empties) {
    EXPECT_TRUE(empty.SharesRepWith(String()));
    EXPECT_EQ(empty, String());
  }
}

TEST(StringConversion, IntsPrintAsDecimal) {
  EXPECT_EQ(units(String(-7)), u"-7");
  EXPECT_EQ(units(String(0)), u"0");
  EXPECT_EQ(units(String(-2147483647 - 1)), u"-2147483648");
}

TEST(StringConversion, FloatsKeepAPointAndAllDigits) {
  EXPECT_EQ(units(String(1.0f)), u"1.0");
  EXPECT_EQ(units(String(100.0f)), u"100.0");
  EXPECT_EQ(units(String(0.5f)), u"0.5");
  EXPECT_EQ(units(String(0.1f)), u"0.10000000149011612");
  EXPECT_EQ(units(String(123456.7f)), u"123456.703125");
  EXPECT_EQ(units(String(-0.0f)), u"-0.0");
}

TEST(StringConversion, ExponentFormStaysAsPrinted) {
  EXPECT_EQ(units(String(1e20f)), u"1.0000000200408773e+20");
  EXPECT_EQ(units(String(1e-10f)), u"1.000000013351432e-10");
}

TEST(StringComparison, EqualMeansSameLengthAndUnits) {
  EXPECT_EQ(String("abc"), T(u"abc"));
  EXPECT_NE(String("abc"), String("abd"));
  EXPECT_NE(String("ab"), String("abc"));
  EXPECT_NE(String("\xE9"), String(reinterpret_cast<const unsigned char*>("\xE9"), 1));
}

TEST(StringConcatenation, JoinsAndSharesAnEmptyOperandsPartner) {
  const String ab("ab");
  EXPECT_EQ(units(ab + String("cd")), u"abcd");
  EXPECT_TRUE((String() + ab).SharesRepWith(ab));
  EXPECT_TRUE((ab + String()).SharesRepWith(ab));
  String grown("x");
  grown += String("y");
  EXPECT_EQ(units(grown), u"xy");
}

TEST(StringSharing, CopiesAndAssignmentShareAndSelfAssignmentIsSafe) {
  String a(String("abc") + String("d"));
  String b = a;
  EXPECT_TRUE(b.SharesRepWith(a));
  String c("zz");
  c = a;
  EXPECT_TRUE(c.SharesRepWith(a));
  String& alias = a;
  a = alias;
  EXPECT_EQ(units(a), u"abcd");
}

TEST(StringStartsWith, PrefixMustFitAndMatch) {
  EXPECT_TRUE(kAbcdef.StartsWith(String("abc")));
  EXPECT_TRUE(kAbcdef.StartsWith(String()));
  EXPECT_TRUE(kAbcdef.StartsWith(kAbcdef));
  EXPECT_FALSE(kAbcdef.StartsWith(String("abd")));
  EXPECT_FALSE(String("ab").StartsWith(String("abc")));
}

TEST(StringFind, SearchesFromAClampedStart) {
  const String abc("abc");
  EXPECT_EQ(abc.Find(String("b"), -5), 1);
  EXPECT_EQ(abc.Find(String("c")), 2);
  EXPECT_EQ(abc.Find(String("bc"), 1), 1);
  EXPECT_EQ(abc.Find(String("bc"), 2), -1);
  EXPECT_EQ(abc.Find(String("abcd")), -1);
  EXPECT_EQ(String("abab").Find(String("ab"), 1), 2);
}

TEST(StringFind, EmptyTextIsFoundAtTheStartUnlessPastTheEnd) {
  const String abc("abc");
  EXPECT_EQ(abc.Find(String(), 3), 3);
  EXPECT_EQ(abc.Find(String(), 4), -1);
  EXPECT_EQ(abc.Find(String(), -2), 0);
}

TEST(StringFindLast, FindsTheLastOccurrence) {
  EXPECT_EQ(String("aXa").FindLast(String("a")), 2);
  EXPECT_EQ(String("abc").FindLast(String("abcd")), -1);
  EXPECT_EQ(String("abc").FindLast(String("x")), -1);
  EXPECT_EQ(String("abab").FindLast(String("ab")), 2);
  EXPECT_EQ(String("abc").FindLast(String()), 3);
}

TEST(StringSlice, ClampsAndCountsNegativeIndicesFromTheEnd) {
  EXPECT_EQ(units(kAbcdef.Slice(-2)), u"ef");
  EXPECT_EQ(units(kAbcdef.Slice(1, -1)), u"bcde");
  EXPECT_EQ(units(kAbcdef.Slice(4, 2)), u"");
  EXPECT_EQ(units(kAbcdef.Slice(3, 1)), u"");
  EXPECT_EQ(units(kAbcdef.Slice(-10, 3)), u"abc");
  EXPECT_EQ(units(kAbcdef.Slice(2, 100)), u"cdef");
  EXPECT_EQ(units(kAbcdef.Slice(9)), u"");
  EXPECT_EQ(units(kAbcdef.Slice(2, -10)), u"");
  EXPECT_EQ(units(kAbcdef.Slice(3, 3)), u"");
}

TEST(StringSlice, WholeSlicesShareAndEmptySlicesAreTheSharedEmpty) {
  EXPECT_TRUE(kAbcdef.Slice(0).SharesRepWith(kAbcdef));
  EXPECT_TRUE(kAbcdef.Slice(-6, 6).SharesRepWith(kAbcdef));
  EXPECT_TRUE(kAbcdef.Slice(4, 2).SharesRepWith(String()));
  EXPECT_FALSE(kAbcdef.Slice(1).SharesRepWith(kAbcdef));
}

std::u16string joined(const Array<String>& parts) {
  std::u16string out;
  for (const String& part : parts) out += u"[" + units(part) + u"]";
  return out;
}

TEST(StringSplit, SeparatorsDelimitPiecesIncludingEmptyOnes) {
  const String comma(",");
  EXPECT_EQ(joined(String("a,,b").Split(comma)), u"[a][][b]");
  EXPECT_EQ(joined(String(",a,").Split(comma)), u"[][a][]");
  EXPECT_EQ(joined(String("a::b::c").Split(String("::"))), u"[a][b][c]");
  EXPECT_EQ(joined(String("aaa").Split(String("aa"))), u"[][a]");
}

TEST(StringSplit, EmptyStringGivesOneEmptyElement) {
  const Array<String> parts = String().Split(String(","));
  ASSERT_EQ(parts.Length(), 1);
  EXPECT_EQ(parts[0].Length(), 0);
}

TEST(StringSplit, OnePieceSharesTheString) {
  const String x("x");
  const Array<String> parts = x.Split(String(","));
  ASSERT_EQ(parts.Length(), 1);
  EXPECT_TRUE(parts[0].SharesRepWith(x));
}

TEST(StringSplit, EmptySeparatorGivesOneElementPerUnit) {
  EXPECT_EQ(joined(String("ab\xE9").Split(String())), u"[a][b][\uFFE9]");
  EXPECT_EQ(String().Split(String()).Length(), 0);
}

TEST(StringReplace, ReplacesEveryNonOverlappingOccurrence) {
  EXPECT_EQ(units(String("a.b.c").Replace(String("."), String("::"))), u"a::b::c");
  EXPECT_EQ(units(String("aaaa").Replace(String("aa"), String("b"))), u"bb");
  EXPECT_EQ(units(String("aaa").Replace(String("aa"), String("b"))), u"ba");
  EXPECT_EQ(units(String("xax").Replace(String("x"), String())), u"a");
  EXPECT_EQ(units(String("ab").Replace(String("ab"), String())), u"");
}

TEST(StringReplace, NothingToReplaceSharesTheString) {
  EXPECT_TRUE(kAbcdef.Replace(String("x"), String("y")).SharesRepWith(kAbcdef));
  EXPECT_TRUE(kAbcdef.Replace(String(), String("y")).SharesRepWith(kAbcdef));
}

TEST(StringToLower, ChangesOnlyAsciiCapitals) {
  EXPECT_EQ(units(String("AbZ@[`{").ToLower()), u"abz@[`{");
  const String accented(u"\u00C9\u0100\uFF21");
  EXPECT_TRUE(accented.ToLower().SharesRepWith(accented));
  const String lower("already lower");
  EXPECT_TRUE(lower.ToLower().SharesRepWith(lower));
}

TEST(StringCString, EightBitBufferKeepsLowBytesAndEndsInZero) {
  const char* text = String(u"A\u0142\u00E9").ToCString<char>();
  EXPECT_EQ(std::string(text), "A\x42\xE9");
  EXPECT_EQ(text[3], 0);
  EXPECT_EQ(String().ToCString<char>()[0], 0);
}

TEST(StringCString, SixteenBitBufferKeepsUnitsAndEndsInZero) {
  const char16_t* text = String(u"A\u20AC").ToCString<char16_t>();
  EXPECT_EQ(std::u16string(text), u"A\u20AC");
}

TEST(StringSlots, CreateCopyAndDestroy) {
  alignas(String) unsigned char storage[3 * sizeof(String)];
  String* slots = reinterpret_cast<String*>(storage);
  t_create(3, slots);
  EXPECT_EQ(slots[2], String());
  slots[1] = String("b");
  alignas(String) unsigned char copy_storage[3 * sizeof(String)];
  String* copies = reinterpret_cast<String*>(copy_storage);
  t_create(3, copies, slots);
  EXPECT_TRUE(copies[1].SharesRepWith(slots[1]));
  t_destroy(3, copies);
  t_destroy(3, slots);
  t_create(0, slots);  // a count below 1 does nothing
}

}  // namespace
}  // namespace vantor
