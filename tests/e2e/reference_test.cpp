// Reference screenshots: frames of the real game compared pixel by pixel
// with the ones committed under tests/e2e/reference, allowing small
// differences on blended edges. A failing comparison leaves the frame and
// a difference picture (red where pixels differ) under the build tree.
//
// Refresh the references after a deliberate change of the picture with
//   VANTOR_REFRESH_REFERENCES=1 ./scripts/with-display ctest --test-dir build -R e2e.Reference
// and look at every changed file before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kScripts = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/scripts/";
const std::string kReferences = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/reference/";
const std::string kDifferences = std::string(VANTOR_BINARY_DIR) + "/e2e-differences/";

bool Refreshing() { return std::getenv("VANTOR_REFRESH_REFERENCES") != nullptr; }

// Compares out/NAME.png with the reference REFERENCE.png (or replaces it).
void ExpectLikeReference(const std::string& out, const std::string& name,
                         const std::string& reference) {
  const std::string actualPath = out + "/" + name + ".png";
  const std::string referencePath = kReferences + reference + ".png";
  if (Refreshing()) {
    fs::copy_file(actualPath, referencePath, fs::copy_options::overwrite_existing);
    return;
  }
  const std::optional<Image> actual = LoadPng(actualPath);
  const std::optional<Image> expected = LoadPng(referencePath);
  ASSERT_TRUE(actual) << actualPath << " was not written";
  ASSERT_TRUE(expected) << referencePath << " is missing";
  Difference difference;
  if (LooksLike(*actual, *expected, &difference)) return;
  fs::create_directories(kDifferences);
  fs::copy_file(actualPath, kDifferences + reference + ".png",
                fs::copy_options::overwrite_existing);
  SavePng(kDifferences + reference + "-difference.png", difference.picture);
  ADD_FAILURE() << reference << ": " << difference.differing << " pixels differ (" << actual->width
                << "x" << actual->height << " against " << expected->width << "x"
                << expected->height << "); see " << kDifferences << reference << "-difference.png";
}

TEST(Reference, ScreensAroundTheRunAt640x480) {
  WorkDir work;
  const Result result = Replay(work, {"--script", kScripts + "scenes.txt", "--out", work / "out"});
  ASSERT_EQ(result.status, 0) << result.output;
  for (const char* name : {"loader", "menu", "credits", "pause", "gameover"}) {
    ExpectLikeReference(work / "out", name, name);
  }
}

TEST(Reference, EveryPhaseOfAWonRunAt640x480) {
  WorkDir work;
  const Result result = Replay(work, {"--autoplay", "win", "--phase-shots", "--out", work / "out"});
  ASSERT_EQ(result.status, 0) << result.output;
  for (int phase = 1; phase <= 9; ++phase) {
    const std::string name = "phase-" + std::to_string(phase);
    ExpectLikeReference(work / "out", name, name);
  }
}

// The menu with each art variant: base art up to 630 pixels, "-hd" above,
// "-hd2" above 1230, on 4:3 and 16:9 windows.
TEST(Reference, MenuAtOtherWindowSizes) {
  for (const char* size : {"600x450", "1280x720", "1280x960"}) {
    WorkDir work;
    const Result result =
        Replay(work, {"--script", kScripts + "menu.txt", "--size", size, "--out", work / "out"});
    ASSERT_EQ(result.status, 0) << result.output;
    ExpectLikeReference(work / "out", "menu", std::string("menu-") + size);
  }
}

}  // namespace
}  // namespace vantor::e2e
