// Where the game finds its data, and the saved state.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/files.h"
#include "host/places.h"
#include "tests/host/resource_limit.h"
#include "tests/host/temp_dir.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

TEST(Places, DataIsSoughtInTheWorkingDirectoryThenUpFromTheExecutableThenInstalled) {
  EXPECT_EQ(DataCandidates("/home/me", "/src/vantor/build/game/vantor-game", {"../share/vantor/data", "/opt/data"}),
            (std::vector<fs::path>{"/home/me/data", "/src/vantor/build/game/data", "/src/vantor/build/data",
                                   "/src/vantor/data", "/src/data", "/src/vantor/build/share/vantor/data",
                                   "/opt/data"}));
  EXPECT_EQ(DataCandidates("/bin", "/bin/vantor-game", {}), (std::vector<fs::path>{"/bin/data", "/data"}));
  ScopedWorkDir work;
  WriteFile("b/logo.png", "x");
  WriteFile("c/logo.png", "x");
  const fs::path root = work.Path();
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
  fs::remove(kStateFileName);
  WriteFile(fs::path(kStateFileName) / "inside", "x");  // a folder is not replaced
  EXPECT_EQ(SaveStateFile(u"new record"), -1);
  EXPECT_TRUE(fs::is_directory(kStateFileName));
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1) << "no temporary file is left";
}

}  // namespace
}  // namespace vantor::testing
