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
  std::string Write(const std::string& name, const WavSpec& spec) {
    return dir_.Write(name, BuildWav(spec));
  }
  bool Loads(const std::string& path) {
    Decoded decoded;
    Load(path, &decoded);
    return decoded.data != nullptr;
  }
  TempDir dir_;
};

TEST_F(SoundDecoderTest, StereoSixteenBitWavOf4000DataBytesIs1000Frames) {
  WavSpec spec;
  spec.channels = 2;
  spec.samples = Tone16(1000, 2, spec.hertz);
  ASSERT_EQ(spec.samples.size(), 4000u);
  Decoded decoded;
  Load(Write("stereo.wav", spec), &decoded);
  ASSERT_NE(decoded.data, nullptr);
  EXPECT_EQ(decoded.info.length, 1000);
  EXPECT_EQ(decoded.info.channels, 2);
  EXPECT_EQ(decoded.info.format, 2);
  EXPECT_EQ(decoded.info.hertz, 22050);
  EXPECT_EQ(std::memcmp(decoded.data, spec.samples.data(), spec.samples.size()), 0);
}

TEST_F(SoundDecoderTest, ExtraFmtBytesAndChunksBeforeDataAreSkipped) {
  WavSpec spec;
  spec.bits = 8;
  spec.hertz = 11025;
  spec.fmtExtraBytes = 2;  // an 18-byte fmt chunk
  spec.before = {{"LIST", Bytes(26, 'x')}, {"fact", Bytes(4, 0)}};
  for (int i = 0; i < 300; ++i) spec.samples.push_back(static_cast<std::uint8_t>(i));
  Decoded decoded;
  Load(Write("listed.wav", spec), &decoded);
  ASSERT_NE(decoded.data, nullptr);
  EXPECT_EQ(decoded.info.length, 300);
  EXPECT_EQ(decoded.info.channels, 1);
  EXPECT_EQ(decoded.info.format, 1);
  EXPECT_EQ(decoded.info.hertz, 11025);
  EXPECT_EQ(std::memcmp(decoded.data, spec.samples.data(), spec.samples.size()), 0);
}

TEST_F(SoundDecoderTest, TypeComesFromTheTextAfterTheLastDot) {
  const Bytes wav = ToneWav(0.01);
  EXPECT_TRUE(Loads(dir_.Write("LOUD.WAV", wav)));
  EXPECT_TRUE(Loads(dir_.Write("two.dots.Wav", wav)));
  EXPECT_FALSE(Loads(dir_.Write("sound.mp3", wav)));
  EXPECT_FALSE(Loads(dir_.Write("noextension", wav)));
  // A dot followed by a directory separator belongs to a directory name.
  std::filesystem::create_directory(dir_.Path() + "/folder.wav");
  EXPECT_FALSE(Loads(dir_.Write("folder.wav/sound", wav)));
  EXPECT_FALSE(Loads(dir_.Write("back.wav\\sound", wav)));
  EXPECT_FALSE(Loads(dir_.Path() + "/missing.wav"));
}

// Each case changes one thing in an otherwise valid file.
struct Malformed {
  const char* what;
  Bytes (*make)(WavSpec);
};

Bytes Patched(const WavSpec& spec, std::size_t offset, std::int64_t value) {
  Bytes bytes = BuildWav(spec);
  PatchInt(bytes, offset, value);
  return bytes;
}

Bytes Cut(const WavSpec& spec, std::size_t size) {
  Bytes bytes = BuildWav(spec);
  bytes.resize(size);
  return bytes;
}

WavSpec WithList(WavSpec spec) {
  spec.before = {{"LIST", Bytes(4, 0)}};
  return spec;
}

const Malformed kMalformed[] = {
    {"data length one byte past the end",
     [](WavSpec s) {
       s.dataLength = static_cast<std::int64_t>(s.samples.size()) + 1;
       return BuildWav(s);
     }},
    {"data length near 2 GiB",
     [](WavSpec s) {
       s.dataLength = 0x7FFFFFF0;
       return BuildWav(s);
     }},
    {"negative data length",
     [](WavSpec s) {
       s.dataLength = -2;
       return BuildWav(s);
     }},
    {"chunk before data running past the end",
     [](WavSpec s) { return Patched(WithList(s), FirstChunkLengthOffset(0), 0x10000); }},
    {"negative chunk before data",
     [](WavSpec s) { return Patched(WithList(s), FirstChunkLengthOffset(0), -8); }},
    {"fmt extra bytes past the end",
     [](WavSpec s) { return Patched(s, kFmtLengthOffset, 0x40000000); }},
    {"no channels",
     [](WavSpec s) {
       s.channels = 0;
       return BuildWav(s);
     }},
    {"negative channels",
     [](WavSpec s) {
       s.channels = 0xFFFF;
       return BuildWav(s);
     }},
    {"four bits per sample",
     [](WavSpec s) {
       s.bits = 4;
       return BuildWav(s);
     }},
    {"no bits per sample",
     [](WavSpec s) {
       s.bits = 0;
       return BuildWav(s);
     }},
    {"no sample rate",
     [](WavSpec s) {
       s.hertz = 0;
       return BuildWav(s);
     }},
    {"float samples",
     [](WavSpec s) {
       s.formatTag = 3;
       return BuildWav(s);
     }},
    {"not WAVE",
     [](WavSpec s) {
       Bytes bytes = BuildWav(s);
       std::memcpy(&bytes[8], "AVI ", 4);
       return bytes;
     }},
    {"no data chunk", [](WavSpec s) { return Cut(s, 36); }},
    {"cut inside the fmt chunk", [](WavSpec s) { return Cut(s, 30); }},
    {"empty file", [](WavSpec) { return Bytes(); }},
};

TEST_F(SoundDecoderTest, MalformedWavFailsToLoad) {
  WavSpec valid;
  valid.samples = Tone16(64, 1, valid.hertz);
  ASSERT_TRUE(Loads(dir_.Write("good.wav", BuildWav(valid))));
  for (const Malformed& c : kMalformed) {
    EXPECT_FALSE(Loads(dir_.Write("bad.wav", c.make(valid)))) << c.what;
  }
}

// Random byte damage to a valid file: every outcome must be a clean failure
// or a block that the file itself could hold (the sanitizer build checks the
// reads).
TEST_F(SoundDecoderTest, DamagedWavNeverClaimsMoreThanTheFileHolds) {
  WavSpec spec;
  spec.channels = 2;
  spec.before = {{"LIST", Bytes(6, 'i')}};
  spec.samples = Tone16(32, 2, spec.hertz);
  const Bytes valid = BuildWav(spec);
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
  EXPECT_FALSE(Loads(dir_.Write("fake.ogg", ToneWav(0.01))));
}

}  // namespace
}  // namespace vantor::test
