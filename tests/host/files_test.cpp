// Where the game finds its data, and the saved state.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/files.h"
#include "host/places.h"
#include "tools/testing/resource_limit.h"
#include "tools/testing/temp_dir.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

TEST(Places, DataIsSoughtInTheWorkingDirectoryThenUpFromTheExecutableThenInstalled) {
  EXPECT_EQ(DataCandidates("/home/me", "/src/vantor/build/game/vantor-game",
                           {"../share/vantor/data", "/opt/data"}),
            (std::vector<fs::path>{"/home/me/data", "/src/vantor/build/game/data",
                                   "/src/vantor/build/data", "/src/vantor/data", "/src/data",
                                   "/src/vantor/build/share/vantor/data", "/opt/data"}));
  EXPECT_EQ(DataCandidates("/bin", "/bin/vantor-game", {}),
            (std::vector<fs::path>{"/bin/data", "/data"}));
  ScopedWorkDir work;
  WriteFile("b/logo.png", "x");
  WriteFile("c/logo.png", "x");
  const fs::path& root = work.Path();
  EXPECT_EQ(FirstUsable({root / "a", root / "b", root / "c"}, "logo.png"), root / "b");
  EXPECT_EQ(FirstUsable({root / "a"}, "logo.png"), std::nullopt);
}

TEST(Files, StateRoundTripsAsUtf8) {
  ScopedWorkDir dir;
  EXPECT_EQ(LoadStateFile().Length(), 0) << "no file reads empty";
  const String state(u"name=J\u00fcrgen;sym=\u20ac\u4e2d");
  EXPECT_EQ(SaveStateFile(state), 0);
  EXPECT_EQ(ReadFile(kStateFileName), "name=J\xc3\xbcrgen;sym=\xe2\x82\xac\xe4\xb8\xad");
  EXPECT_TRUE(LoadStateFile() == state);
}

// A failed save says how it failed and leaves the saved record as it was.
TEST(Files, AFailedSaveKeepsTheRecord) {
  ScopedWorkDir dir;
  ASSERT_EQ(SaveStateFile(u"old record"), 0);
  {
    // No file can be opened while every descriptor number is taken (file
    // permissions would not stop root).
    const ScopedLimit noFiles(RLIMIT_NOFILE, LowestFreeDescriptor());
    EXPECT_EQ(SaveStateFile(u"new record"), -1);
  }
  {
    const ScopedLimit smallFiles(RLIMIT_FSIZE, 4);
    EXPECT_EQ(SaveStateFile(u"new record"), -2);
  }
  EXPECT_EQ(ReadFile(kStateFileName), "old record");
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1)
      << "no temporary file is left";
}

// The raw byte buffer kept for the framework's API: unaligned, little-endian
// access up to its last byte.
TEST(DataBuffer, PeeksAndPokesAreLittleEndianAndUnalignedUpToTheLastByte) {
  auto* buffer = gc_new<RkDataBuffer>();
  ASSERT_TRUE(buffer->_New(7));
  EXPECT_FALSE(buffer->_New(7)) << "a filled buffer is not filled again";
  buffer->PokeInt(3, static_cast<int>(0x81020304u));  // the last four bytes
  EXPECT_EQ(buffer->PeekByte(3), 4) << "the low byte comes first";
  EXPECT_EQ(buffer->PeekByte(6), -127) << "a byte is sign-extended";
  EXPECT_EQ(buffer->PeekShort(5), static_cast<short>(0x8102)) << "a short is sign-extended";
  EXPECT_EQ(buffer->PeekInt(3), static_cast<int>(0x81020304u));
  buffer->PokeFloat(0, 1.5f);
  EXPECT_EQ(buffer->PeekFloat(0), 1.5f);
  buffer->PokeShort(1, 0x12345);
  EXPECT_EQ(buffer->PeekShort(1), 0x2345) << "a poked short keeps the low 16 bits";
  buffer->Discard();
  EXPECT_EQ(buffer->Length(), 0);
}

// An access that reaches outside the buffer stops the process at once, with
// a line that says where, instead of reading or writing other memory.
TEST(DataBufferDeathTest, AnAccessOutsideTheBufferStopsAndSaysWhere) {
  auto* buffer = gc_new<RkDataBuffer>();
  ASSERT_TRUE(buffer->_New(8));
  EXPECT_DEATH(
      buffer->PeekInt(5),
      "Vantor: files: a data buffer access at offset 5 \\(width 4\\) lies outside its 8 bytes");
  EXPECT_DEATH(buffer->PeekByte(-1), "offset -1 \\(width 1\\)");
  EXPECT_DEATH(buffer->PeekShort(7), "offset 7 \\(width 2\\)");
  EXPECT_DEATH(buffer->PeekFloat(6), "offset 6 \\(width 4\\)");
  EXPECT_DEATH(buffer->PokeByte(8, 0), "offset 8 \\(width 1\\)");
  EXPECT_DEATH(buffer->PokeShort(-2, 0), "offset -2 \\(width 2\\)");
  EXPECT_DEATH(buffer->PokeInt(2147483647, 0), "offset 2147483647 \\(width 4\\)");
  EXPECT_DEATH(buffer->PokeFloat(5, 0), "offset 5 \\(width 4\\)");
  buffer->Discard();
  EXPECT_DEATH(buffer->PeekByte(0), "outside its 0 bytes") << "an empty buffer holds nothing";
}

}  // namespace
}  // namespace vantor::testing
