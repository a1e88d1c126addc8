// Checks every art and sound file the game loads from data/: it exists,
// decodes, has the geometry the game cuts frames from at each scale (so no
// "Image frame outside surface" can happen), a transparent background where
// one is needed; every sound is short 16-bit PCM with its peaks at -1 dBFS at
// most, the loops join seamlessly, and the loudness follows the mix plan.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kData = std::string(VANTOR_SOURCE_DIR) + "/data/";

// One row per image sheet: the cell size in base units and the frame count
// the game's loader asks for, whether the corners of every cell must be
// transparent (sprites drawn over the game's own background), and the
// frames some screen draws, which must not be empty.
struct Sheet {
  const char* name;
  int cellW, cellH, frames;
  bool transparentCorners;
  std::vector<int> drawn;
};

std::vector<int> Range(int first, int end) {
  std::vector<int> out;
  for (int i = first; i < end; ++i) out.push_back(i);
  return out;
}

const Sheet kSheets[] = {
    {"gfx", 64, 64, 64, true, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  12, 13, 14, 15, 16, 17, 18, 19,
                               20, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 40, 41, 42, 43, 44}},
    {"menu", 256, 256, 4, false, {0, 1, 2}},  // frame 0 is the full-screen background
    {"logo", 256, 128, 1, true, {0}},
    {"common/icons", 32, 32, 16, true, {0, 1, 3, 4, 5, 6, 7}},
    {"common/Buttons", 64, 64, 16, true, {0}},
    {"common/dpad", 32, 32, 16, true, {0, 1, 4, 5, 6, 9}},
    {"common/icade", 64, 64, 2, true, {0, 1}},
    {"common/ZOVALogo", 256, 256, 1, true, {0}},
    {"parts", 8, 8, 16, true, {0}},
    {"BadgesA", 64, 64, 64, true, Range(0, 8)},
    {"fonts/editundo", 16, 16, 128, true, Range(1, 95)},  // characters 33 to 126
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

// The frame walk of Image::Grab: left to right, then the
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

// Each scale is a real rendering two and four times the base, so the same
// frame walk holds at every scale.
TEST_P(SheetTest, EveryScaleHoldsEveryFrame) {
  const Sheet& s = GetParam();
  const Decoded base = Load(kData + s.name + ".png");
  ASSERT_TRUE(base.ok) << s.name << ": " << stbi_failure_reason();
  for (const auto& sc : kScales) {
    const std::string path = kData + s.name + sc.suffix + ".png";
    SCOPED_TRACE(path);
    const Decoded d = sc.scale == 1 ? base : Load(path);
    ASSERT_TRUE(d.ok) << "missing or undecodable: " << stbi_failure_reason();
    EXPECT_EQ(d.channels, 4) << "sheets must be RGBA";
    EXPECT_EQ(d.w, base.w * sc.scale);
    EXPECT_EQ(d.h, base.h * sc.scale);
    const int cw = s.cellW * sc.scale, ch = s.cellH * sc.scale;
    EXPECT_EQ(d.w % cw, 0) << "width is not a whole number of cells";
    EXPECT_EQ(d.h % ch, 0) << "height is not a whole number of cells";
    std::vector<std::pair<int, int>> cells;
    ASSERT_TRUE(GrabFrames(d.w, d.h, cw, ch, s.frames, &cells)) << "Image frame outside surface";
    for (auto [x, y] : cells) {
      if (!s.transparentCorners) break;
      for (auto [cx, cy] : {std::pair{x, y}, {x + cw - 1, y}, {x, y + ch - 1}, {x + cw - 1, y + ch - 1}})
        EXPECT_EQ(AlphaAt(d, cx, cy), 0) << "corner of the cell at " << x << "," << y;
    }
    for (int f : s.drawn) {
      auto [x0, y0] = cells[f];
      int opaque = 0;
      for (int y = y0; y < y0 + ch; ++y)
        for (int x = x0; x < x0 + cw; ++x) opaque += AlphaAt(d, x, y) > 0;
      EXPECT_GT(opaque, 0) << "frame " << f << " is empty";
    }
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

// The game colours fonts, icons, the pad and the buttons with SetColor; only
// neutral greys show the colour true (dark outlines are fine), and some
// parts must be light.
TEST(TintedArt, IsNeutralGreyWithLightParts) {
  std::vector<std::string> paths = {kData + "zeph_font.png"};
  for (const char* name : {"fonts/editundo", "common/icons", "common/dpad", "common/Buttons"})
    for (const auto& sc : kScales) paths.push_back(kData + name + sc.suffix + ".png");
  for (const std::string& path : paths) {
    const Decoded d = Load(path);
    ASSERT_TRUE(d.ok) << path;
    int off = 0, light = 0;
    for (size_t i = 0; i < d.rgba.size(); i += 4) {
      if (d.rgba[i + 3] < 128) continue;
      const int r = d.rgba[i], g = d.rgba[i + 1], b = d.rgba[i + 2];
      off += std::max({std::abs(r - g), std::abs(g - b), std::abs(r - b)}) > 16;
      light += std::min({r, g, b}) >= 180;
    }
    EXPECT_EQ(off, 0) << path << " has coloured pixels";
    EXPECT_GT(light, 0) << path;
  }
}

// ---------------------------------------------------------------- sounds

const int kSounds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 95, 98, 99};

uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<unsigned char>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

struct Wav {
  int format = -1, channels = 0, bits = 0;
  uint32_t rate = 0;
  std::vector<double> samples;  // 16-bit values over 32768
};

// Walks the RIFF chunks; a file that is not a WAV comes back without samples.
Wav ReadWav(int num) {
  char name[32];
  std::snprintf(name, sizeof name, "sfx/%03d.wav", num);
  std::ifstream in(kData + name, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Wav w;
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return w;
  for (size_t at = 12; at + 8 <= b.size();) {
    const uint32_t len = U32(b, at + 4);
    if (at + 8 + len > b.size()) return Wav{};
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0) {
      w.format = U16(b, at + 8);
      w.channels = U16(b, at + 10);
      w.rate = U32(b, at + 12);
      w.bits = U16(b, at + 22);
    } else if (std::memcmp(b.data() + at, "data", 4) == 0 && w.bits == 16) {
      for (size_t i = 0; i + 1 < len; i += 2)
        w.samples.push_back(static_cast<int16_t>(U16(b, at + 8 + i)) / 32768.0);
    }
    at += 8 + len + (len & 1);
  }
  return w;
}

// The mix plan's loudness: the loudest 100 ms (stepping a tenth of that) of
// the signal after two one-pole high-passes at 100 Hz, RMS in dB re full
// scale (a full-scale sine reads -3 dB).
double Loudness(std::vector<double> x, double rate) {
  constexpr double kWeightHighpass = 100, kWindow = 0.1;
  const double a = 1 - std::exp(-2 * M_PI * kWeightHighpass / rate);
  for (int pass = 0; pass < 2; ++pass) {
    double low = 0;
    for (double& v : x) {
      low += a * (v - low);
      v -= low;
    }
  }
  const size_t win = std::lround(kWindow * rate), n = x.size();
  std::vector<double> sums(n + 1, 0.0);
  for (size_t i = 0; i < n; ++i) sums[i + 1] = sums[i] + x[i] * x[i];
  double loudest = 0;
  for (size_t i = 0; i < n; i += win / 10) loudest = std::max(loudest, sums[std::min(n, i + win)] - sums[i]);
  return 10 * std::log10(std::max(loudest / win, 1e-12));
}

// Loops the game replays on a fixed beat (every 46 and 21 updates at 60 a
// second) and their period in seconds.
const std::map<int, double> kLoops = {{18, 46 / 60.0}, {19, 21 / 60.0}};

class SoundTest : public ::testing::TestWithParam<int> {};

TEST_P(SoundTest, IsShortPcm16BelowTheCeilingWithoutClicks) {
  const Wav w = ReadWav(GetParam());
  ASSERT_FALSE(w.samples.empty()) << "missing or not 16-bit PCM";
  EXPECT_EQ(w.format, 1) << "PCM";
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(w.rate, 22050u);
  const double seconds = static_cast<double>(w.samples.size()) / w.rate;
  EXPECT_GE(seconds, 0.02);
  EXPECT_LE(seconds, 3.0);
  // Peaks at -1 dBFS at most (one step of rounding allowed).
  for (double v : w.samples) ASSERT_LE(std::abs(v), std::pow(10, -1 / 20.0) + 1 / 32768.0);
  // Effects start and end at (near) zero, so no click; loops are checked
  // for their join instead.
  if (kLoops.count(GetParam()) == 0) {
    EXPECT_LT(std::abs(w.samples.front()), 64 / 32768.0);
    EXPECT_LT(std::abs(w.samples.back()), 64 / 32768.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Data, SoundTest, ::testing::ValuesIn(kSounds));

// A loop replayed every period has no hole: it lasts the period (to a
// sample), its last sample runs into its first with no bigger step than it
// has inside, and it does not fade out and in around the join.
TEST(Sounds, LoopsJoinSeamlesslyAtTheirReplayPeriod) {
  for (auto [num, period] : kLoops) {
    SCOPED_TRACE(num);
    const Wav w = ReadWav(num);
    const std::vector<double>& x = w.samples;
    ASSERT_GT(x.size(), 100u);
    EXPECT_NEAR(static_cast<double>(x.size()), period * w.rate, 1.0);
    double step = 0, energy = 0, join = 0;
    for (size_t i = 1; i < x.size(); ++i) step = std::max(step, std::abs(x[i] - x[i - 1]));
    EXPECT_LE(std::abs(x.front() - x.back()), step);
    const size_t edge = w.rate / 200;  // 5 ms on each side
    for (size_t i = 0; i < x.size(); ++i) {
      energy += x[i] * x[i];
      if (i < edge || i >= x.size() - edge) join += x[i] * x[i];
    }
    EXPECT_GE(std::sqrt(join / (2 * edge)), 0.5 * std::sqrt(energy / x.size())) << "a gap at the join";
  }
}

// The mix plan (assets/sfx/mix.txt): classes with their loudness range,
// loudest first, and one class per sound.
struct MixPlan {
  std::vector<std::string> order;
  std::map<std::string, std::pair<double, double>> range;
  std::map<int, std::string> soundClass;
};

MixPlan ReadMixPlan() {
  std::ifstream in(std::string(VANTOR_SOURCE_DIR) + "/assets/sfx/mix.txt");
  MixPlan plan;
  for (std::string row; std::getline(in, row);) {
    std::istringstream words(row.substr(0, row.find('#')));
    std::string first, name;
    if (!(words >> first >> name)) continue;
    if (first == "class") {
      double lo = 0, hi = 0;
      words >> lo >> hi;
      plan.order.push_back(name);
      plan.range[name] = {lo, hi};
    } else {
      plan.soundClass[std::stoi(first)] = name;
    }
  }
  return plan;
}

// Feedback to the player's own actions must stay clear of the loops that
// play under it: every feedback sound this much louder than every loop.
constexpr double kFeedbackOverBackground = 6;

TEST(Sounds, LoudnessFollowsTheMixPlan) {
  const MixPlan plan = ReadMixPlan();
  ASSERT_EQ(plan.order, (std::vector<std::string>{"feedback", "event", "background"}));
  std::map<std::string, std::pair<double, double>> measured;  // quietest, loudest
  for (int num : kSounds) {
    ASSERT_EQ(plan.soundClass.count(num), 1u) << "sound " << num << " is not in the plan";
    const std::string& cls = plan.soundClass.at(num);
    const Wav w = ReadWav(num);
    ASSERT_FALSE(w.samples.empty()) << num;
    const double loudness = Loudness(w.samples, w.rate);
    const auto [lo, hi] = plan.range.at(cls);
    EXPECT_GE(loudness, lo) << "sound " << num << " is quieter than its class " << cls;
    EXPECT_LE(loudness, hi) << "sound " << num << " is louder than its class " << cls;
    auto& seen = measured.try_emplace(cls, loudness, loudness).first->second;
    seen = {std::min(seen.first, loudness), std::max(seen.second, loudness)};
  }
  // Loudest first, class by class.
  for (size_t i = 1; i < plan.order.size(); ++i)
    EXPECT_GT(measured[plan.order[i - 1]].second, measured[plan.order[i]].second) << plan.order[i];
  EXPECT_GE(measured["feedback"].first - measured["background"].second, kFeedbackOverBackground);
}

}  // namespace
