// Checks every art and sound file the game loads from data/: it exists,
// decodes, has the geometry the game cuts frames from at each scale (so no
// "Image frame outside surface" can happen), a transparent background where
// one is needed, and every sound is 16-bit PCM of a sane rate and length.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

const std::string kData = std::string(VANTOR_SOURCE_DIR) + "/data/";

// One row per image sheet: the cell size in base units and the frame count
// the loader (spec Part 4.2) asks for, and whether the corners of every
// cell must be transparent (sprites drawn over the game's own background).
struct Sheet {
  const char* name;
  int cellW, cellH, frames;
  bool transparentCorners;
};

const Sheet kSheets[] = {
    {"gfx", 64, 64, 64, true},
    {"menu", 256, 256, 4, false},  // frame 0 is the full-screen background
    {"logo", 256, 128, 1, true},
    {"common/icons", 32, 32, 16, true},
    {"common/Buttons", 64, 64, 16, true},
    {"common/dpad", 32, 32, 16, true},
    {"common/icade", 64, 64, 2, true},
    {"common/ZOVALogo", 256, 256, 1, true},
    {"parts", 8, 8, 16, true},
    {"BadgesA", 64, 64, 64, true},
    {"fonts/editundo", 16, 16, 128, true},
};

void PrintTo(const Sheet& s, std::ostream* os) { *os << s.name; }

const struct {
  int scale;
  const char* suffix;
} kScales[] = {{1, ""}, {2, "-hd"}, {4, "-hd2"}};

struct Decoded {
  int w = 0, h = 0, channels = 0;
  std::vector<unsigned char> rgba;
  bool ok = false;
};

Decoded Load(const std::string& path) {
  Decoded d;
  unsigned char* px = stbi_load(path.c_str(), &d.w, &d.h, &d.channels, 4);
  if (!px) return d;
  d.rgba.assign(px, px + static_cast<size_t>(d.w) * d.h * 4);
  stbi_image_free(px);
  d.ok = true;
  return d;
}

int AlphaAt(const Decoded& d, int x, int y) { return d.rgba[(static_cast<size_t>(y) * d.w + x) * 4 + 3]; }

// The frame walk of Image::Grab (spec Part 3.2): left to right, then the
// next row from column 0; fails where the game would stop with "Image frame
// outside surface". Returns the top-left corners.
bool GrabFrames(int sheetW, int sheetH, int cw, int ch, int frames, std::vector<std::pair<int, int>>* out) {
  int cx = 0, cy = 0;
  for (int i = 0; i < frames; ++i) {
    if (cx + cw > sheetW) {
      cy += ch;
      cx = 0;
      if (cw > sheetW) return false;
    }
    if (cy + ch > sheetH) return false;
    out->push_back({cx, cy});
    cx += cw;
  }
  return true;
}

class SheetTest : public ::testing::TestWithParam<Sheet> {};

TEST_P(SheetTest, EveryScaleDecodesAndHoldsEveryFrame) {
  const Sheet& s = GetParam();
  for (const auto& sc : kScales) {
    const std::string path = kData + s.name + sc.suffix + ".png";
    SCOPED_TRACE(path);
    Decoded d = Load(path);
    ASSERT_TRUE(d.ok) << "missing or undecodable: " << stbi_failure_reason();
    EXPECT_EQ(d.channels, 4) << "sheets must be RGBA";
    const int cw = s.cellW * sc.scale, ch = s.cellH * sc.scale;
    EXPECT_EQ(d.w % cw, 0) << "width is not a whole number of cells";
    EXPECT_EQ(d.h % ch, 0) << "height is not a whole number of cells";
    std::vector<std::pair<int, int>> cells;
    ASSERT_TRUE(GrabFrames(d.w, d.h, cw, ch, s.frames, &cells)) << "Image frame outside surface";
    if (s.transparentCorners) {
      for (auto [x, y] : cells) {
        EXPECT_EQ(AlphaAt(d, x, y), 0);
        EXPECT_EQ(AlphaAt(d, x + cw - 1, y), 0);
        EXPECT_EQ(AlphaAt(d, x, y + ch - 1), 0);
        EXPECT_EQ(AlphaAt(d, x + cw - 1, y + ch - 1), 0);
      }
    }
  }
}

TEST_P(SheetTest, ScalesAreTwoAndFourTimesTheBase) {
  const Sheet& s = GetParam();
  Decoded base = Load(kData + s.name + ".png");
  ASSERT_TRUE(base.ok);
  for (const auto& sc : kScales) {
    Decoded d = Load(kData + s.name + sc.suffix + ".png");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.w, base.w * sc.scale) << s.name << sc.suffix;
    EXPECT_EQ(d.h, base.h * sc.scale) << s.name << sc.suffix;
  }
}

TEST_P(SheetTest, FramesTheGameDrawsAreNotEmpty) {
  const Sheet& s = GetParam();
  Decoded d = Load(kData + s.name + ".png");
  ASSERT_TRUE(d.ok);
  std::vector<std::pair<int, int>> cells;
  ASSERT_TRUE(GrabFrames(d.w, d.h, s.cellW, s.cellH, s.frames, &cells));
  std::vector<int> used;
  if (std::string(s.name) == "gfx") {
    used = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 18, 19, 20, 23, 24, 25, 26,
            27, 28, 29, 30, 31, 32, 33, 34, 40, 41, 42, 43};
  } else if (std::string(s.name) == "common/icons") {
    used = {0, 1, 3, 4, 5, 6, 7};
  } else if (std::string(s.name) == "common/dpad") {
    used = {0, 1, 4, 5, 6, 9};
  } else if (std::string(s.name) == "menu") {
    used = {0, 1, 2};
  } else if (std::string(s.name) == "fonts/editundo") {
    for (int c = 33; c < 127; ++c) used.push_back(c - 32);
  } else {
    used = {0};
  }
  for (int f : used) {
    auto [x0, y0] = cells[f];
    int opaque = 0;
    for (int y = y0; y < y0 + s.cellH; ++y)
      for (int x = x0; x < x0 + s.cellW; ++x) opaque += AlphaAt(d, x, y) > 0;
    EXPECT_GT(opaque, 0) << s.name << " frame " << f << " is empty";
  }
}

INSTANTIATE_TEST_SUITE_P(Data, SheetTest, ::testing::ValuesIn(kSheets),
                         [](const ::testing::TestParamInfo<Sheet>& info) {
                           std::string n = info.param.name;
                           for (char& c : n)
                             if (c == '/') c = '_';
                           return n;
                         });

TEST(DefaultFont, OneRowOf96CellsWithTransparentBorders) {
  Decoded d = Load(kData + "zeph_font.png");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.channels, 4);
  ASSERT_EQ(d.w % 96, 0);
  const int cw = d.w / 96;
  ASSERT_GE(cw, 3);
  for (int i = 0; i < 96; ++i)
    for (int y = 0; y < d.h; ++y) {
      EXPECT_EQ(AlphaAt(d, i * cw, y), 0) << "cell " << i;
      EXPECT_EQ(AlphaAt(d, i * cw + cw - 1, y), 0) << "cell " << i;
    }
  // "A" (code 65) has ink.
  int ink = 0;
  for (int y = 0; y < d.h; ++y)
    for (int x = 33 * cw; x < 34 * cw; ++x) ink += AlphaAt(d, x, y) > 0;
  EXPECT_GT(ink, 0);
}

TEST(Fonts, TintedArtIsWhiteOrGrey) {
  // Fonts are tinted by the game: every opaque pixel is grey (r = g = b).
  for (const char* name : {"fonts/editundo.png", "fonts/editundo-hd.png", "zeph_font.png"}) {
    Decoded d = Load(kData + name);
    ASSERT_TRUE(d.ok) << name;
    int bright = 0;
    for (size_t i = 0; i < d.rgba.size(); i += 4) {
      if (d.rgba[i + 3] == 0) continue;
      EXPECT_TRUE(d.rgba[i] == d.rgba[i + 1] || std::abs(d.rgba[i] - d.rgba[i + 1]) < 16) << name;
      bright += d.rgba[i] == 255 && d.rgba[i + 1] == 255 && d.rgba[i + 2] == 255;
    }
    EXPECT_GT(bright, 0) << name;
  }
}

// ---------------------------------------------------------------- sounds

uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<unsigned char>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

class SoundTest : public ::testing::TestWithParam<int> {};

TEST_P(SoundTest, IsShortCleanPcm16) {
  char name[32];
  std::snprintf(name, sizeof name, "sfx/%03d.wav", GetParam());
  const std::string path = kData + name;
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << path;
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(b.size(), 44u);
  ASSERT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
  ASSERT_EQ(std::memcmp(b.data() + 8, "WAVE", 4), 0);
  EXPECT_EQ(U32(b, 4) + 8, b.size()) << "RIFF size";
  size_t at = 12;
  int format = -1, channels = 0, bits = 0;
  uint32_t rate = 0;
  const unsigned char* samples = nullptr;
  uint32_t dataBytes = 0;
  while (at + 8 <= b.size()) {
    uint32_t len = U32(b, at + 4);
    ASSERT_LE(at + 8 + len, b.size()) << "chunk runs past the end";
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0) {
      format = U16(b, at + 8);
      channels = U16(b, at + 10);
      rate = U32(b, at + 12);
      bits = U16(b, at + 22);
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      samples = b.data() + at + 8;
      dataBytes = len;
    }
    at += 8 + len + (len & 1);
  }
  EXPECT_EQ(format, 1) << "PCM";
  EXPECT_TRUE(channels == 1 || channels == 2);
  EXPECT_EQ(bits, 16);
  EXPECT_TRUE(rate == 22050 || rate == 44100 || rate == 48000 || rate == 11025) << rate;
  ASSERT_NE(samples, nullptr);
  ASSERT_GT(channels, 0);
  const size_t n = dataBytes / 2;
  const double seconds = static_cast<double>(n) / channels / rate;
  EXPECT_GE(seconds, 0.02);
  EXPECT_LE(seconds, 3.0);
  int peak = 0;
  for (size_t i = 0; i < n; ++i) {
    int v = static_cast<int16_t>(samples[2 * i] | (samples[2 * i + 1] << 8));
    peak = std::max(peak, std::abs(v));
  }
  EXPECT_LT(peak, 32767) << "clips";
  EXPECT_GT(peak, 32767 / 8) << "too quiet";
  // Fades: the first and last samples are (near) zero, so no click.
  auto at_ = [&](size_t i) { return std::abs(static_cast<int16_t>(samples[2 * i] | (samples[2 * i + 1] << 8))); };
  EXPECT_LT(at_(0), 64);
  EXPECT_LT(at_(n - 1), 64);
}

TEST(Sounds, LoopsFitTheirReplayPeriod) {
  // The alarm is replayed every 46 updates, the siren every 21 (60 per second).
  const std::pair<int, double> loops[] = {{18, 46 / 60.0}, {19, 21 / 60.0}};
  for (auto [num, period] : loops) {
    char name[32];
    std::snprintf(name, sizeof name, "sfx/%03d.wav", num);
    std::ifstream in(kData + name, std::ios::binary);
    ASSERT_TRUE(in);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(b.size(), 44u);
    const double seconds = (b.size() - 44) / 2.0 / U32(b, 24) / U16(b, 22);
    EXPECT_LE(seconds, period + 0.01) << name;
    EXPECT_GE(seconds, period - 0.05) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Data, SoundTest,
                         ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                                           18, 19, 95, 98, 99));

}  // namespace
