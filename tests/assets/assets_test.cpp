// Checks the art and sound files the game loads from data/: every sheet
// holds the frames the game cuts from it at every scale (so no "Image frame
// outside surface" can happen), with transparent corners where sprites are
// drawn over the game's own background; every sound is short mono 16-bit
// PCM with its peaks at -1 dBFS at most and no click at its ends, the loops
// last their replay period and join seamlessly, and every sound's loudness
// follows the mix plan in assets/sfx/mix.txt.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/sound_decoder.h"

namespace {

const std::string kData = std::string(VANTOR_SOURCE_DIR) + "/data/";

// The sheets as the game's loader cuts them: cell size in base-art pixels,
// frame count, whether the corners of every cell must be transparent, and the
// runs [first, end) of frames some screen draws, which must not be empty.
struct Sheet {
  const char* name;
  int cellW, cellH, frames;
  bool clearCorners;
  std::vector<std::pair<int, int>> drawn;
};
const Sheet kSheets[] = {
    {"menu", 256, 256, 4, false, {{0, 3}}},  // frame 0 is a full-screen background
    {"gfx", 64, 64, 64, true, {{0, 10}, {12, 21}, {23, 35}, {40, 45}}},
    {"logo", 256, 128, 1, true, {{0, 1}}},
    {"common/icons", 32, 32, 16, true, {{0, 2}, {3, 8}}},
    {"common/Buttons", 64, 64, 16, true, {{0, 1}}},
    {"common/dpad", 32, 32, 16, true, {{0, 2}, {4, 7}, {9, 10}}},
    {"common/icade", 64, 64, 2, true, {{0, 2}}},
    {"common/ZOVALogo", 256, 256, 1, true, {{0, 1}}},
    {"parts", 8, 8, 16, true, {{0, 1}}},
    {"BadgesA", 64, 64, 64, true, {{0, 8}}},
    {"fonts/editundo", 16, 16, 128, true, {{1, 95}}}};  // characters 33 to 126

// Each scale is a rendering of the base art at that size.
TEST(Art, EverySheetHoldsItsFramesAtEveryScale) {
  for (const Sheet& s : kSheets) {
    int baseW = 0, baseH = 0, channels = 0, w = 0, h = 0;
    stbi_info((kData + s.name + ".png").c_str(), &baseW, &baseH, &channels);
    for (const auto& [scale, suffix] : {std::pair{1, ""}, {2, "-hd"}, {4, "-hd2"}}) {
      const std::string path = kData + s.name + suffix + ".png";
      SCOPED_TRACE(path);
      const std::unique_ptr<unsigned char, void (*)(void*)> px(
          stbi_load(path.c_str(), &w, &h, &channels, 4), stbi_image_free);
      ASSERT_NE(px, nullptr) << "missing or undecodable";
      const int cw = s.cellW * scale, ch = s.cellH * scale, columns = w / cw;
      EXPECT_TRUE(channels == 4 && w == baseW * scale && h == baseH * scale) << w << "x" << h;
      ASSERT_TRUE(w % cw == 0 && h % ch == 0 && columns * (h / ch) >= s.frames)
          << "Image frame outside surface";
      // Alpha of the pixel (x, y) of cell f.
      const auto alpha = [&](int f, int x, int y) {
        const int row = f / columns * ch + y, column = f % columns * cw + x;
        return px.get()[(static_cast<size_t>(row) * w + column) * 4 + 3];
      };
      int opaqueCorners = 0, emptyDrawn = 0;
      for (int f = 0; f < s.frames && s.clearCorners; ++f)
        opaqueCorners +=
            alpha(f, 0, 0) + alpha(f, cw - 1, 0) + alpha(f, 0, ch - 1) + alpha(f, cw - 1, ch - 1) >
            0;
      for (const auto& [first, end] : s.drawn) {
        for (int f = first; f < end; ++f) {
          int ink = 0;
          for (int i = 0; i < cw * ch; ++i) ink += alpha(f, i % cw, i / cw) > 0;
          emptyDrawn += ink == 0;
        }
      }
      EXPECT_EQ(opaqueCorners, 0) << "frames with a corner that is not transparent";
      EXPECT_EQ(emptyDrawn, 0) << "drawn frames without ink";
    }
  }
}

// ---------------------------------------------------------------- sounds

// A shipped sound as the game decodes it: no samples when it does not.
struct Sound {
  int length = 0, channels = 0, bytesPerSample = 0, hertz = 0;
  std::vector<double> x;  // 16-bit samples over 32768
};

Sound Decode(int num) {
  const std::string path =
      kData + "sfx/" + std::to_string(1000 + num).substr(1) + ".wav";  // 001.wav
  Sound s;
  unsigned char* data = vantor::loadSound(vantor::String(path.c_str()), &s.length, &s.channels,
                                          &s.bytesPerSample, &s.hertz);
  for (int i = 0; data && s.bytesPerSample == 2 && i < s.length * s.channels; ++i) {
    int16_t sample;
    std::memcpy(&sample, data + sizeof sample * i, sizeof sample);
    s.x.push_back(sample / 32768.0);
  }
  vantor::unloadSound(data);
  return s;
}

// The mix plan's loudness: the loudest 100 ms (stepping a tenth of that) of
// the signal after two one-pole high-passes at 100 Hz, RMS in dB re full
// scale (a full-scale sine reads -3 dB).
double Loudness(std::vector<double> x, double rate) {
  constexpr double kWeightHighpass = 100, kWindow = 0.1;
  const double a = 1 - std::exp(-2 * M_PI * kWeightHighpass / rate);
  for (int pass = 0; pass < 2; ++pass) {
    for (double low = 0; double& v : x) v -= (low += a * (v - low));  // less its low-passed self
  }
  const size_t win = std::lround(kWindow * rate), n = x.size();
  std::vector<double> sums(n + 1, 0.0);
  for (size_t i = 0; i < n; ++i) sums[i + 1] = sums[i] + x[i] * x[i];
  double loudest = 0;
  for (size_t i = 0; i < n; i += win / 10)
    loudest = std::max(loudest, sums[std::min(n, i + win)] - sums[i]);
  return 10 * std::log10(std::max(loudest / win, 1e-12));
}

// Loops the game replays on a fixed beat: the alarm every 46 updates and the
// siren every 21, at 60 updates a second; their period in seconds.
const std::map<int, double> kLoops = {{18, 46 / 60.0}, {19, 21 / 60.0}};

// A loop replayed every period has no hole: it lasts the period (to a
// sample), its last sample runs into its first with no bigger step than it
// has inside, and it does not fade out and in around the join.
void ExpectSeamlessLoop(const std::vector<double>& x, int hertz, double period) {
  EXPECT_NEAR(static_cast<double>(x.size()), period * hertz, 1.0) << "not the replay period";
  double step = 0, energy = 0, join = 0;
  const size_t edge = hertz / 200;  // 5 ms on each side
  for (size_t i = 0; i < x.size(); ++i) {
    if (i > 0) step = std::max(step, std::abs(x[i] - x[i - 1]));
    energy += x[i] * x[i];
    if (i < edge || i >= x.size() - edge) join += x[i] * x[i];
  }
  EXPECT_LE(std::abs(x.front() - x.back()), step) << "a step at the join";
  EXPECT_GE(std::sqrt(join / (2 * edge)), 0.5 * std::sqrt(energy / x.size()))
      << "a gap at the join";
}

// Feedback to the player's own actions must stay clear of the loops under
// it: every feedback sound this much louder than every background loop.
constexpr double kFeedbackOverBackground = 6;

// The mix plan (assets/sfx/mix.txt): its classes loudest first, each with
// its loudness range in dB and its sounds.
struct SoundClass {
  const char* name;
  double lowest, highest;
  std::vector<int> sounds;
};
const SoundClass kMixPlan[] = {{"feedback", -14.5, -10.5, {1, 2, 3, 6, 7, 8, 14, 16, 17, 98, 99}},
                               {"event", -16, -12, {4, 5, 11, 12, 13, 15, 95}},
                               {"background", -23, -19, {9, 10, 18, 19}}};

TEST(Sounds, AreCleanPcmLoopSeamlesslyAndFollowTheMixPlan) {
  // Peaks at -1 dBFS (one step of rounding allowed); ends quieter than a click.
  const double ceiling = std::pow(10, -1 / 20.0) + 1 / 32768.0, click = 64 / 32768.0;
  std::vector<std::pair<double, double>> measured;  // each class's quietest and loudest
  for (const SoundClass& c : kMixPlan) {
    measured.emplace_back(HUGE_VAL, -HUGE_VAL);
    for (int num : c.sounds) {
      SCOPED_TRACE("sound " + std::to_string(num) + ", " + c.name);
      const Sound w = Decode(num);
      ASSERT_FALSE(w.x.empty()) << "missing, not PCM or not 16-bit";
      EXPECT_TRUE(w.channels == 1 && w.bytesPerSample == 2 && w.hertz == 22050)
          << "not mono 16-bit at 22050 Hz";
      const double seconds = static_cast<double>(w.length) / w.hertz;
      EXPECT_TRUE(seconds >= 0.02 && seconds <= 3.0) << seconds << " s";
      const auto [lowest, highest] = std::minmax_element(w.x.begin(), w.x.end());
      EXPECT_LE(std::max(-*lowest, *highest), ceiling);
      // Effects start and end at (near) zero; loops are checked at their join.
      if (kLoops.count(num)) ExpectSeamlessLoop(w.x, w.hertz, kLoops.at(num));
      EXPECT_TRUE(kLoops.count(num) ||
                  (std::abs(w.x.front()) < click && std::abs(w.x.back()) < click))
          << "a click";
      const double loudness = Loudness(w.x, w.hertz);
      EXPECT_TRUE(loudness >= c.lowest && loudness <= c.highest)
          << loudness << " dB is outside the class";
      measured.back() = {std::min(measured.back().first, loudness),
                         std::max(measured.back().second, loudness)};
    }
  }
  for (size_t i = 1; i < measured.size(); ++i)
    EXPECT_GT(measured[i - 1].second, measured[i].second) << kMixPlan[i].name;
  EXPECT_GE(measured.front().first - measured.back().second, kFeedbackOverBackground);
}

}  // namespace
