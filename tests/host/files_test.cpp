// Addresses, the file opener, the saved state and the raw data buffer.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "host/files.h"
#include "tests/host/resource_limit.h"
#include "tests/host/temp_dir.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  ScopedWorkDir dir;

  // The whole content of the file `path` opens, or "(null)".
  static std::string Open(const String& path) {
    std::FILE* file = fopenFile(path, u"rb");
    if (!file) return "(null)";
    std::string content;
    for (int c; (c = std::fgetc(file)) != EOF;) content += static_cast<char>(c);
    std::fclose(file);
    return content;
  }
};

TEST_F(FilesTest, AddressesMapOntoFoldersBesideTheWorkingDirectory) {
  WriteFile("data/x.png", "data");
  WriteFile("internal/x", "internal");
  WriteFile("external/x", "external");
  WriteFile("cache/x", "cache");
  WriteFile("plain.txt", "plain");
  EXPECT_EQ(Open(u"vantor://data/x.png"), "data");
  EXPECT_EQ(Open(u"vantor://internal/x"), "internal");
  EXPECT_EQ(Open(u"vantor://external/x"), "external");
  EXPECT_EQ(Open(u"vantor://cache/x"), "(null)");
  EXPECT_EQ(Open(u"vantor://data"), "(null)");
  EXPECT_EQ(Open(u"plain.txt"), "plain");
  EXPECT_EQ(Open(u"./data/x.png"), "data");
  EXPECT_EQ(Open(u"missing"), "(null)");
}

TEST_F(FilesTest, PathsReachTheFileSystemAsUtf8) {
  WriteFile("caf\xc3\xa9 \xe2\x82\xac.txt", "utf8");
  fs::create_directory("data");
  EXPECT_EQ(Open(u"caf\u00e9 \u20ac.txt"), "utf8");
  EXPECT_EQ(Open(u"vantor://data/../caf\u00e9 \u20ac.txt"), "utf8");
}

TEST_F(FilesTest, APathWithANulUnitOpensNothing) {
  WriteFile("data/x.png", "data");
  const char16_t units[] = u"data/x.png\0.txt";
  EXPECT_EQ(Open(String(units, 15)), "(null)");
  EXPECT_EQ(Open(String(u"vantor://data/x.png\0", 20)), "(null)");
  EXPECT_EQ(fopenFile(u"data/x.png", String(u"r\0w", 3)), nullptr);
}

TEST_F(FilesTest, StateRoundTripKeepsUnitsAboveAscii) {
  const String state(u"name=J\u00fcrgen;sym=\u20ac\u4e2d;end");
  EXPECT_EQ(SaveStateFile(state), 0);
  EXPECT_EQ(ReadFile(kStateFileName),
            "name=J\xc3\xbcrgen;sym=\xe2\x82\xac\xe4\xb8\xad;end");  // UTF-8, no mark
  EXPECT_TRUE(LoadStateFile() == state);
  EXPECT_FALSE(fs::exists(kStateTempFileName));
}

TEST_F(FilesTest, EmptyStateMakesAnEmptyFileAndNoFileReadsEmpty) {
  EXPECT_EQ(LoadStateFile().Length(), 0);
  EXPECT_EQ(SaveStateFile(String()), 0);
  ASSERT_TRUE(fs::exists(kStateFileName));
  EXPECT_EQ(fs::file_size(kStateFileName), 0u);
  EXPECT_EQ(LoadStateFile().Length(), 0);
}

TEST_F(FilesTest, StateHonoursByteOrderMarks) {
  WriteFile(kStateFileName, "\xef\xbb\xbf" "abc");
  EXPECT_TRUE(LoadStateFile() == String(u"abc"));
  WriteFile(kStateFileName, std::string("\xff\xfe" "a\0\xac\x20", 6));
  EXPECT_TRUE(LoadStateFile() == String(u"a\u20ac"));
  WriteFile(kStateFileName, std::string("\xfe\xff\0a\x20\xac", 6));
  EXPECT_TRUE(LoadStateFile() == String(u"a\u20ac"));
}

TEST_F(FilesTest, StateThatCannotBeOpenedFailsWithMinusOneAndKeepsTheRecord) {
  ASSERT_EQ(SaveStateFile(u"old record"), 0);
  // No file can be opened while every descriptor number is taken (file
  // permissions would not stop root).
  {
    const ScopedLimit noFiles(RLIMIT_NOFILE, LowestFreeDescriptor());
    EXPECT_EQ(SaveStateFile(u"new record"), -1);
  }
  EXPECT_EQ(ReadFile(kStateFileName), "old record");
}

TEST_F(FilesTest, StateThatCannotBeWrittenFailsWithMinusTwoAndKeepsTheRecord) {
  ASSERT_EQ(SaveStateFile(u"old record"), 0);
  // Every write past the file-size limit fails.
  {
    const ScopedLimit smallFiles(RLIMIT_FSIZE, 4);
    EXPECT_EQ(SaveStateFile(u"new record"), -2);
  }
  EXPECT_EQ(ReadFile(kStateFileName), "old record");
}

TEST_F(FilesTest, StateThatCannotReplaceTheOldFileFailsWithMinusOne) {
  fs::create_directory(kStateFileName);
  WriteFile(fs::path(kStateFileName) / "inside", "x");
  EXPECT_EQ(SaveStateFile(u"new record"), -1);
  EXPECT_TRUE(fs::is_directory(kStateFileName));
  EXPECT_FALSE(fs::exists(kStateTempFileName));
}

TEST_F(FilesTest, LoadStringReadsThroughAddresses) {
  WriteFile("data/t.txt", "h\xc3\xa9llo");
  EXPECT_TRUE(LoadStringFile(u"vantor://data/t.txt") == String(u"h\u00e9llo"));
  EXPECT_EQ(LoadStringFile(u"vantor://cache/t.txt").Length(), 0);
}

TEST_F(FilesTest, DataBufferLoadsWholeFilesAndRefusesASecondLoad) {
  std::string bytes(4096, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteFile("data/block.bin", bytes);
  WriteFile("data/other.bin", "xyz");
  RkDataBuffer buffer;
  ASSERT_TRUE(buffer._Load(u"vantor://data/block.bin"));
  ASSERT_EQ(buffer.Length(), 4096);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data), 4096), bytes);
  EXPECT_FALSE(buffer._Load(u"vantor://data/other.bin"));
  EXPECT_FALSE(buffer._New(10));
  EXPECT_EQ(buffer.Length(), 4096);
  EXPECT_EQ(buffer.PeekByte(1), 7);

  buffer.Discard();
  EXPECT_EQ(buffer.Length(), 0);
  EXPECT_FALSE(buffer._Load(u"vantor://data/missing.bin"));
  bytes += "tail";
  WriteFile("data/block.bin", bytes);
  ASSERT_TRUE(buffer._Load(u"vantor://data/block.bin"));
  EXPECT_EQ(buffer.Length(), 4100);
  EXPECT_EQ(buffer.PeekByte(4099), 'l');
}

TEST_F(FilesTest, DataBufferPeeksAndPokesLittleEndianUnaligned) {
  RkDataBuffer buffer;
  ASSERT_TRUE(buffer._New(16));
  buffer.PokeInt(1, 0x12345678);
  EXPECT_EQ(buffer.data[1], 0x78);
  EXPECT_EQ(buffer.data[4], 0x12);
  EXPECT_EQ(buffer.PeekInt(1), 0x12345678);
  buffer.PokeShort(5, 0x1ff80);  // only the low 16 bits are stored
  EXPECT_EQ(buffer.PeekShort(5), -128);
  buffer.PokeByte(7, 0x1f0);
  EXPECT_EQ(buffer.PeekByte(7), -16);
  buffer.PokeFloat(9, -2.5f);
  EXPECT_EQ(buffer.PeekFloat(9), -2.5f);
  EXPECT_EQ(buffer.data[12], 0xc0);  // sign and exponent in the last byte
  buffer.PokeInt(0, -1);
  EXPECT_EQ(buffer.PeekInt(0), -1);
}

}  // namespace
}  // namespace vantor::testing
