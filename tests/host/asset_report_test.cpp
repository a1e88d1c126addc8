// Asset loading stays silent in the game but names every file it could not
// load on standard error, one line each, with the reason; a damaged file
// fails to load and never takes the process down.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/graphics.h"
#include "host/sound_decoder.h"
#include "tests/host/temp_dir.h"

namespace vantor::testing {
namespace {

bool LoadsImage(const String& path) {
  int w = 0, h = 0, d = 0;
  unsigned char* pixels = loadImage(path, &w, &h, &d);
  FreeImage(pixels);
  return pixels != nullptr;
}

bool LoadsSound(const String& path) {
  int length = 0, channels = 0, format = 0, hertz = 0;
  unsigned char* samples = loadSound(path, &length, &channels, &format, &hertz);
  unloadSound(samples);
  return samples != nullptr;
}

TEST(AssetReport, EveryFailedFileIsNamedOnceWithTheReason) {
  struct Case {
    const char* address;
    std::function<bool(const String&)> load;
    const char* named;  // the path as the file system sees it
    const char* reason;
  };
  const Case cases[] = {
      {"vantor://data/gone.png", LoadsImage, "./data/gone.png", "No such file or directory"},
      {"vantor://data/junk.png", LoadsImage, "./data/junk.png", "unknown image type"},
      {"vantor://cache/x.png", LoadsImage, "vantor://cache/x.png", "not an address"},
      {"vantor://data/gone.wav", LoadsSound, "./data/gone.wav", "No such file or directory"},
      {"vantor://data/junk.wav", LoadsSound, "./data/junk.wav", "not a sound this game decodes"},
      {"vantor://data/junk.ogg", LoadsSound, "./data/junk.ogg", "not a sound this game decodes"},
      {"vantor://data/tune.mp3", LoadsSound, "./data/tune.mp3", "not a .wav or .ogg file"},
      // Asks the Vorbis decoder for absurd sizes; once crashed the process.
      {VANTOR_SOURCE_DIR "/tests/fixtures/damaged_setup.ogg", LoadsSound,
       VANTOR_SOURCE_DIR "/tests/fixtures/damaged_setup.ogg", "not a sound this game decodes"},
  };
  ScopedWorkDir dir;
  for (const char* junk : {"data/junk.png", "data/junk.wav", "data/junk.ogg"}) {
    WriteFile(junk, "this is no picture and no sound");
  }
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    const bool loaded = c.load(String(c.address));
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(loaded) << c.address;
    const std::string line = std::string("Vantor: cannot load ") + c.named + ": ";
    EXPECT_EQ(printed.rfind(line, 0), 0u) << c.address << " printed " << printed;
    EXPECT_NE(printed.find(c.reason), std::string::npos) << c.address << " printed " << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << c.address;
  }
}

TEST(AssetReport, ALoadedFilePrintsNothing) {
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(LoadsImage(String(VANTOR_SOURCE_DIR "/data/gfx.png")));
  EXPECT_TRUE(LoadsSound(String(VANTOR_SOURCE_DIR "/data/sfx/001.wav")));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace vantor::testing
