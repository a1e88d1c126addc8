// WAV files built byte by byte for the sound tests, so that each test can
// say exactly which chunk is odd. Used by the audio tests of the host and
// of the audio module.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/testing/temp_dir.h"

namespace vantor::test {

using Bytes = std::vector<std::uint8_t>;

// Appends `value` as a little-endian field of `size` bytes.
inline void PutInt(Bytes& out, std::int64_t value, int size = 4) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

struct WavLayout {
  int formatTag = 1, channels = 1, hertz = 22050, bits = 16;
  std::vector<std::pair<std::string, Bytes>> before;  // chunks between fmt and data
  Bytes samples;                                      // the data chunk's bytes
};

inline Bytes BuildWav(const WavLayout& layout) {
  const std::string header = "WAVEfmt ";
  Bytes out(header.begin(), header.end());
  const int blockAlign = layout.channels * layout.bits / 8;
  for (const auto& [value, size] : {std::pair<std::int64_t, int>{16, 4},
                                    {layout.formatTag, 2},
                                    {layout.channels, 2},
                                    {layout.hertz, 4},
                                    {std::int64_t{layout.hertz} * blockAlign, 4},
                                    {blockAlign, 2},
                                    {layout.bits, 2}}) {
    PutInt(out, value, size);
  }
  auto chunks = layout.before;
  chunks.emplace_back("data", layout.samples);
  for (const auto& [tag, body] : chunks) {
    out.insert(out.end(), tag.begin(), tag.end());
    PutInt(out, static_cast<std::int64_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 && tag != "data") out.push_back(0);  // RIFF pads odd chunks to even
  }
  Bytes riff = {'R', 'I', 'F', 'F'};
  PutInt(riff, static_cast<std::int64_t>(out.size()));
  riff.insert(riff.end(), out.begin(), out.end());
  return riff;
}

// A mono 16-bit 440 Hz tone file of `seconds` at 22050 Hz, at half scale.
inline Bytes ToneWav(double seconds) {
  constexpr double kHalfScale = 16384.0, kPitch = 440.0;
  WavLayout layout;
  const double step = 2.0 * std::acos(-1.0) * kPitch / layout.hertz;
  for (int frame = 0; frame < static_cast<int>(seconds * layout.hertz); ++frame) {
    PutInt(layout.samples, std::lround(kHalfScale * std::sin(step * frame)), 2);
  }
  return BuildWav(layout);
}

// Writes `bytes` to `path` (relative to the working directory, which the
// tests make a fresh temporary one) and returns the path.
inline std::string Put(const std::string& path, const Bytes& bytes) {
  testing::WriteFile(path, std::string(bytes.begin(), bytes.end()));
  return path;
}

}  // namespace vantor::test
