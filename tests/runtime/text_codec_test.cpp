// String: decoding UTF-16 and UTF-8 bytes, encoding UTF-8, and reading and
// writing whole files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/text.h"

namespace vantor {
namespace {

using Bytes = std::vector<unsigned char>;

std::u16string units(const String& s) { return std::u16string(s.Data(), static_cast<size_t>(s.Length())); }

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

TEST(StringDecodeUtf16, ByteOrderMarkChoosesTheOrder) {
  EXPECT_EQ(decode({0xFF, 0xFE, 0x41, 0x00}), u"A");
  EXPECT_EQ(decode({0xFE, 0xFF, 0x00, 0x41, 0x20, 0xAC}), u"A\u20AC");
  EXPECT_EQ(decode({0xFF, 0xFE, 0xAC, 0x20, 0x00, 0xD8}), u"\u20AC\xD800");
}

TEST(StringDecodeUtf16, TrailingOddByteIsDropped) {
  EXPECT_EQ(decode({0xFE, 0xFF, 0x00, 0x41, 0x00}), u"A");
  EXPECT_TRUE(String::Load(Bytes{0xFF, 0xFE, 0x41}.data(), 3).SharesRepWith(String()));
}

TEST(StringDecodeUtf8, MarkIsSkippedAndOneToThreeByteFormsDecode) {
  EXPECT_EQ(decode({0xEF, 0xBB, 0xBF, 0x41}), u"A");
  EXPECT_EQ(decode({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0x7F}), u"A\u00E9\u20AC\x7F");
  EXPECT_EQ(decode({0xC0, 0x80}), std::u16string(1, 0));  // overlong forms pass
  EXPECT_EQ(decode({0xED, 0xA0, 0x80}), u"\xD800");       // so do surrogates
}

TEST(StringDecodeUtf8, NothingDecodedIsTheSharedEmpty) {
  EXPECT_TRUE(String::Load(Bytes{0xEF, 0xBB, 0xBF}.data(), 3).SharesRepWith(String()));
  EXPECT_TRUE(String::Load(nullptr, 0).SharesRepWith(String()));
}

TEST(StringDecodeUtf8, InvalidInputIsReportedAndKeptByteForByte) {
  const std::vector<Bytes> invalid = {
      {0xC3},                    // missing continuation
      {0x41, 0xE2, 0x82},        // three-byte form cut short
      {0xC3, 0x41},              // wrong continuation
      {0x80},                    // stray continuation
      {0xF0, 0x9F, 0x98, 0x80},  // four-byte form
      {0xF8},
  };
  for (const Bytes& bytes : invalid) {
    std::string printed;
    EXPECT_EQ(decode(bytes, &printed), std::u16string(bytes.begin(), bytes.end()));
    EXPECT_EQ(printed, "Invalid UTF-8!\n");
  }
}

TEST(StringDecodeUtf8, InvalidInputAfterAMarkKeepsOnlyTheBytesAfterIt) {
  std::string printed;
  EXPECT_EQ(decode({0xEF, 0xBB, 0xBF, 0x41, 0xFF}, &printed), u"A\u00FF");
  EXPECT_EQ(printed, "Invalid UTF-8!\n");
}

TEST(StringEncode, UnitsBecomeOneToThreeBytes) {
  EXPECT_EQ(encode(u"A"), (Bytes{0x41}));
  EXPECT_EQ(encode(u"\u00E9"), (Bytes{0xC3, 0xA9}));
  EXPECT_EQ(encode(u"\u07FF\u0800"), (Bytes{0xDF, 0xBF, 0xE0, 0xA0, 0x80}));
  EXPECT_EQ(encode(u"\u20AC"), (Bytes{0xE2, 0x82, 0xAC}));
  EXPECT_EQ(encode(u"\xD83D"), (Bytes{0xED, 0xA0, 0xBD}));
  EXPECT_EQ(encode(u""), Bytes{});
}

TEST(StringEncode, EveryUnitSurvivesARoundTrip) {
  std::u16string all;
  for (int unit = 1; unit <= 0xFFFF; ++unit) all.push_back(static_cast<char16_t>(unit));
  const Bytes bytes = encode(all);
  EXPECT_EQ(decode(bytes), all);
}

class StringFile : public testing::Test {
 protected:
  void SetUp() override {
    file_ = std::tmpfile();
    ASSERT_NE(file_, nullptr);
  }
  void TearDown() override { std::fclose(file_); }

  String reload() {
    std::rewind(file_);
    return String::Load(file_);
  }

  std::FILE* file_ = nullptr;
};

TEST_F(StringFile, LongTextSurvivesSaveAndLoad) {
  // Several read chunks, and multi-byte forms across their boundaries.
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += (i % 3 == 0) ? u"\u20AC" : u"a\u00E9";
  const String saved(text.data(), static_cast<int>(text.size()));
  ASSERT_TRUE(saved.Save(file_));
  EXPECT_GT(std::ftell(file_), 4096 * 3);
  EXPECT_EQ(reload(), saved);
}

TEST_F(StringFile, ExactMultipleOfTheChunkSize) {
  const std::string text(8192, 'q');
  std::fwrite(text.data(), 1, text.size(), file_);
  EXPECT_EQ(reload(), String(text.c_str()));
}

TEST_F(StringFile, EmptyFileAndEmptyText) {
  EXPECT_TRUE(String().Save(file_));
  EXPECT_EQ(std::ftell(file_), 0);
  EXPECT_TRUE(reload().SharesRepWith(String()));
}

TEST(StringFileWrite, FailedWriteIsReported) {
  std::FILE* read_only = std::fopen("/dev/null", "r");
  ASSERT_NE(read_only, nullptr);
  EXPECT_FALSE(String("abc").Save(read_only));
  std::fclose(read_only);
}

}  // namespace
}  // namespace vantor
