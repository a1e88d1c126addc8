// Sound file decoding: WAV as real files lay it out, damaged files that
// must fail without reading or allocating past their end, and Ogg Vorbis.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>

#include "host/sound_decoder.h"
#include "tools/testing/wav_fixture.h"

namespace vantor::test {
namespace {

struct Decoded {
  explicit Decoded(const std::string& path)
      : data(loadSound(String(path.c_str()), &info.length, &info.channels, &info.format,
                       &info.hertz)) {}
  ~Decoded() { unloadSound(data); }
  std::vector<int> Shape() const { return {info.length, info.channels, info.format, info.hertz}; }
  SoundInfo info;
  unsigned char* data;
};

constexpr std::size_t kDataLengthOffset = 40;  // in a file with no chunk between fmt and data

// RIFF pads a chunk of odd length with a byte its length does not count.
TEST(SoundDecoder, WavLoadsAsWrittenPastOddChunks) {
  testing::ScopedWorkDir dir;
  WavLayout odd;
  odd.bits = 8;
  odd.hertz = 11025;
  odd.before = {{"LIST", Bytes(25, 'x')}, {"junk", Bytes(3, 'y')}};
  for (int i = 0; i < 300; ++i) odd.samples.push_back(static_cast<std::uint8_t>(i));
  const Decoded decoded(Put("odd.wav", BuildWav(odd)));
  ASSERT_NE(decoded.data, nullptr);
  EXPECT_EQ(decoded.Shape(), (std::vector<int>{300, 1, 1, 11025}));
  EXPECT_EQ(std::memcmp(decoded.data, odd.samples.data(), odd.samples.size()), 0);
  // A sound the game ships: 6394 bytes of 16-bit mono samples at 22050 Hz.
  EXPECT_EQ(Decoded(VANTOR_SOURCE_DIR "/data/sfx/001.wav").Shape(),
            (std::vector<int>{3197, 1, 2, 22050}));
}

// Each case changes one thing in an otherwise valid file.
TEST(SoundDecoder, DamagedFilesFailToLoad) {
  testing::ScopedWorkDir dir;
  WavLayout valid;
  valid.samples = Bytes(128, 0);
  // A damage changes the layout the file is built from, the built bytes, or both.
  using Layout = std::function<void(WavLayout&)>;
  using Patch = std::function<void(Bytes&)>;
  const std::tuple<const char*, Layout, Patch> cases[] = {
      {"no channels", [](WavLayout& w) { w.channels = 0; }, nullptr},
      {"four bits per sample", [](WavLayout& w) { w.bits = 4; }, nullptr},
      {"no sample rate", [](WavLayout& w) { w.hertz = 0; }, nullptr},
      {"float samples", [](WavLayout& w) { w.formatTag = 3; }, nullptr},
      {"data one byte past the end", nullptr, [](Bytes& b) { ++b[kDataLengthOffset]; }},
      {"negative data length", nullptr, [](Bytes& b) { b[kDataLengthOffset + 3] = 0x80; }},
      {"chunk before data past the end",
       [](WavLayout& w) {
         w.before = {{"LIST", Bytes(4, 0)}};
       },
       [](Bytes& b) { b[kDataLengthOffset + 2] = 1; }},
      {"no data chunk", nullptr, [](Bytes& b) { b.resize(36); }},
  };
  ASSERT_NE(Decoded(Put("good.wav", BuildWav(valid))).data, nullptr);
  for (const auto& [what, layout, patch] : cases) {
    WavLayout damaged = valid;
    if (layout) layout(damaged);
    Bytes bytes = BuildWav(damaged);
    if (patch) patch(bytes);
    EXPECT_EQ(Decoded(Put("bad.wav", bytes)).data, nullptr) << what;
  }
  // The type comes from the name; this Ogg setup header asks the decoder
  // for absurd sizes (it once crashed the process).
  for (const std::string& path :
       {Put("wav.ogg", BuildWav(valid)), Put("wav.mp3", BuildWav(valid)),
        std::string(VANTOR_SOURCE_DIR "/tests/fixtures/damaged_setup.ogg")}) {
    EXPECT_EQ(Decoded(path).data, nullptr) << path;
  }
}

TEST(SoundDecoder, OggVorbisDecodesToSixteenBitFrames) {
  const Decoded decoded(VANTOR_SOURCE_DIR "/tests/fixtures/tone_stereo_0.5s.ogg");
  ASSERT_NE(decoded.data, nullptr);
  EXPECT_EQ(decoded.Shape(), (std::vector<int>{11025, 2, 2, 22050}));
  const auto* frames = reinterpret_cast<const std::int16_t*>(decoded.data);
  EXPECT_NE(frames[200], frames[201]) << "the sides hold tones of different pitch";
}

}  // namespace
}  // namespace vantor::test
