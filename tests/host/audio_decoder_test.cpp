// Sound file decoding: WAV layouts the game's files use, the extension rule,
// malformed files that must fail without reading or allocating past their
// end, and Ogg Vorbis.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "host/sound_decoder.h"
#include "tests/host/wav_fixture.h"

namespace vantor::test {
namespace {

struct Decoded {
  unsigned char* data = nullptr;
  SoundInfo info;
  ~Decoded() { unloadSound(data); }
};

void Load(const std::string& path, Decoded* out) {
  out->data = loadSound(String(path.c_str()), &out->info.length, &out->info.channels,
                        &out->info.format, &out->info.hertz);
}

class SoundDecoderTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const WavLayout& layout) {
    return Put(name, BuildWav(layout));
  }
  // The samples come back as written, in the shape the fmt chunk gave.
  void ExpectLoadsAsWritten(const std::string& name, const WavLayout& layout, int frames) {
    Decoded decoded;
    Load(Write(name, layout), &decoded);
    ASSERT_NE(decoded.data, nullptr);
    EXPECT_EQ(decoded.info.length, frames);
    EXPECT_EQ(decoded.info.channels, layout.channels);
    EXPECT_EQ(decoded.info.format, layout.bits / 8);
    EXPECT_EQ(decoded.info.hertz, layout.hertz);
    EXPECT_EQ(std::memcmp(decoded.data, layout.samples.data(), layout.samples.size()), 0);
  }
  bool Loads(const std::string& path) {
    Decoded decoded;
    Load(path, &decoded);
    return decoded.data != nullptr;
  }
  testing::ScopedWorkDir dir_;
};

TEST_F(SoundDecoderTest, WellFormedWavLoadsAsWritten) {
  WavLayout stereo;
  stereo.channels = 2;
  stereo.samples = Tone16(1000, 2, stereo.hertz);  // 4000 bytes: 1000 frames
  WavLayout listed;
  listed.bits = 8;
  listed.hertz = 11025;
  listed.fmtExtraBytes = 2;  // an 18-byte fmt chunk
  listed.before = {{"LIST", Bytes(26, 'x')}, {"fact", Bytes(4, 0)}};
  for (int i = 0; i < 300; ++i) listed.samples.push_back(static_cast<std::uint8_t>(i));
  WavLayout odd = listed;
  odd.before = {{"LIST", Bytes(25, 'x')}, {"junk", Bytes(3, 'y')}};  // each followed by a pad byte
  const struct {
    const char* name;
    const WavLayout& layout;
    int frames;
  } cases[] = {{"stereo.wav", stereo, 1000}, {"listed.wav", listed, 300}, {"odd.wav", odd, 300}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectLoadsAsWritten(c.name, c.layout, c.frames);
  }
}

TEST_F(SoundDecoderTest, TypeComesFromTheTextAfterTheLastDot) {
  const Bytes wav = ToneWav(0.01);
  EXPECT_TRUE(Loads(Put("LOUD.WAV", wav)));
  EXPECT_TRUE(Loads(Put("two.dots.Wav", wav)));
  EXPECT_FALSE(Loads(Put("sound.mp3", wav)));
  EXPECT_FALSE(Loads(Put("noextension", wav)));
  // A dot followed by a directory separator belongs to a directory name.
  EXPECT_FALSE(Loads(Put("folder.wav/sound", wav)));
  EXPECT_FALSE(Loads(Put("back.wav\\sound", wav)));
  EXPECT_FALSE(Loads("missing.wav"));
}

// Each case below changes one thing in an otherwise valid file: a field of
// the fmt chunk, a length field, or where the file ends.
struct BadField {
  const char* what;
  int WavLayout::*field;
  int value;
};

const BadField kBadFields[] = {
    {"no channels", &WavLayout::channels, 0},
    {"negative channels", &WavLayout::channels, 0xFFFF},
    {"four bits per sample", &WavLayout::bits, 4},
    {"no bits per sample", &WavLayout::bits, 0},
    {"no sample rate", &WavLayout::hertz, 0},
    {"float samples", &WavLayout::formatTag, 3},
};

constexpr int kValidFrames = 64;
constexpr std::int64_t kValidDataBytes = kValidFrames * 2;

struct BadLength {
  const char* what;
  bool listFirst;  // a LIST chunk sits between fmt and data
  std::size_t offset;
  std::int64_t value;
};

const BadLength kBadLengths[] = {
    {"data one byte past the end", false, FirstChunkLengthOffset(0), kValidDataBytes + 1},
    {"data near 2 GiB", false, FirstChunkLengthOffset(0), 0x7FFFFFF0},
    {"negative data", false, FirstChunkLengthOffset(0), -2},
    {"chunk before data past the end", true, FirstChunkLengthOffset(0), 0x10000},
    {"negative chunk before data", true, FirstChunkLengthOffset(0), -8},
    {"fmt extra bytes past the end", false, kFmtLengthOffset, 0x40000000},
};

struct Truncation {
  const char* what;
  std::size_t size;
};

const Truncation kTruncations[] = {
    {"no data chunk", 36}, {"cut inside the fmt chunk", 30}, {"empty file", 0}};

TEST_F(SoundDecoderTest, MalformedWavFailsToLoad) {
  WavLayout valid;
  valid.samples = Tone16(kValidFrames, 1, valid.hertz);
  ASSERT_TRUE(Loads(Put("good.wav", BuildWav(valid))));
  for (const BadField& c : kBadFields) {
    WavLayout layout = valid;
    layout.*c.field = c.value;
    EXPECT_FALSE(Loads(Write("bad.wav", layout))) << c.what;
  }
  for (const BadLength& c : kBadLengths) {
    WavLayout layout = valid;
    if (c.listFirst) layout.before = {{"LIST", Bytes(4, 0)}};
    Bytes bytes = BuildWav(layout);
    PatchInt(bytes, c.offset, c.value);
    EXPECT_FALSE(Loads(Put("bad.wav", bytes))) << c.what;
  }
  for (const Truncation& c : kTruncations) {
    Bytes bytes = BuildWav(valid);
    bytes.resize(c.size);
    EXPECT_FALSE(Loads(Put("bad.wav", bytes))) << c.what;
  }
  Bytes notWave = BuildWav(valid);
  std::memcpy(&notWave[8], "AVI ", 4);
  EXPECT_FALSE(Loads(Put("bad.wav", notWave)));
}

// Random byte damage to a valid file: every outcome must be a clean failure
// or a block that the file itself could hold (the sanitizer build checks the
// reads).
TEST_F(SoundDecoderTest, DamagedWavNeverClaimsMoreThanTheFileHolds) {
  WavLayout layout;
  layout.channels = 2;
  layout.before = {{"LIST", Bytes(6, 'i')}};
  layout.samples = Tone16(32, 2, layout.hertz);
  const Bytes valid = BuildWav(layout);
  std::mt19937 random(4);
  int loaded = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes = valid;
    const int hits = 1 + round % 4;
    for (int i = 0; i < hits; ++i) {
      bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
    }
    if (round % 7 == 0) bytes.resize(random() % bytes.size());
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    ASSERT_NE(file, nullptr);
    SoundInfo info;
    unsigned char* data = decodeWav(file, &info);
    std::fclose(file);
    if (data) {
      EXPECT_GT(info.channels, 0);
      EXPECT_GE(info.format, 1);
      EXPECT_LE(static_cast<long>(info.length) * info.channels * info.format,
                static_cast<long>(bytes.size()));
      ++loaded;
    }
    unloadSound(data);
  }
  // Damage to the samples alone still loads: the check above did run.
  EXPECT_GT(loaded, 100);
}

TEST_F(SoundDecoderTest, OggVorbisDecodesToSixteenBitFrames) {
  Decoded decoded;
  Load(std::string(VANTOR_SOURCE_DIR) + "/tests/fixtures/tone_stereo_0.5s.ogg", &decoded);
  ASSERT_NE(decoded.data, nullptr);
  EXPECT_EQ(decoded.info.channels, 2);
  EXPECT_EQ(decoded.info.format, 2);
  EXPECT_EQ(decoded.info.hertz, 22050);
  EXPECT_EQ(decoded.info.length, 11025);
  // Half-scale tones of different pitch on the two sides.
  const auto* samples = reinterpret_cast<const std::int16_t*>(decoded.data);
  int loudest = 0, sidesDiffer = 0;
  for (int i = 0; i < decoded.info.length; ++i) {
    loudest = std::max(loudest, std::abs(samples[2 * i]));
    sidesDiffer += samples[2 * i] != samples[2 * i + 1];
  }
  EXPECT_GT(loudest, 12000);
  EXPECT_GT(sidesDiffer, decoded.info.length / 2);
}

TEST_F(SoundDecoderTest, OggNameOnOtherContentFails) {
  EXPECT_FALSE(Loads(Put("fake.ogg", ToneWav(0.01))));
}

}  // namespace
}  // namespace vantor::test
