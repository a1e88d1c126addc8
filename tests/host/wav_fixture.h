// WAV files built byte by byte for the sound tests, so that each test can
// say exactly which chunk is odd.
// Used by the audio tests of the host and of the audio module.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/host/temp_dir.h"

namespace vantor::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutTag(Bytes& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}
inline void PutShort(Bytes& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void PutInt(Bytes& out, std::int64_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}
// Overwrites the 32-bit little-endian field at `offset`.
inline void PatchInt(Bytes& bytes, std::size_t offset, std::int64_t value) {
  Bytes field;
  PutInt(field, value);
  std::copy(field.begin(), field.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Offsets in a file made by BuildWav.
inline constexpr std::size_t kFmtLengthOffset = 16;
// The length field of the first chunk after fmt, given the extra fmt bytes.
inline constexpr std::size_t FirstChunkLengthOffset(int fmtExtraBytes) {
  return 40 + static_cast<std::size_t>(fmtExtraBytes);
}

struct WavLayout {
  int formatTag = 1;
  int channels = 1;
  int hertz = 22050;
  int bits = 16;
  int fmtExtraBytes = 0;                           // bytes after the 16 plain fmt bytes
  std::vector<std::pair<std::string, Bytes>> before;  // chunks between fmt and data
  Bytes samples;                                   // the data chunk's bytes
};

inline Bytes BuildWav(const WavLayout& layout) {
  Bytes out;
  PutTag(out, "RIFF");
  PutInt(out, 0);  // patched below
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutInt(out, 16 + layout.fmtExtraBytes);
  PutShort(out, layout.formatTag);
  PutShort(out, layout.channels);
  PutInt(out, layout.hertz);
  const int blockAlign = layout.channels * layout.bits / 8;
  PutInt(out, static_cast<std::int64_t>(layout.hertz) * blockAlign);
  PutShort(out, blockAlign);
  PutShort(out, layout.bits);
  out.insert(out.end(), layout.fmtExtraBytes, 0);
  for (const auto& [tag, body] : layout.before) {
    PutTag(out, tag.c_str());
    PutInt(out, static_cast<std::int64_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2) out.push_back(0);  // RIFF pads odd chunks to even
  }
  PutTag(out, "data");
  PutInt(out, static_cast<std::int64_t>(layout.samples.size()));
  out.insert(out.end(), layout.samples.begin(), layout.samples.end());
  PatchInt(out, 4, static_cast<std::int64_t>(out.size()) - 8);
  return out;
}

// A 16-bit sine tone at half scale, the same on every channel.
inline Bytes Tone16(int frames, int channels, int hertz, double pitch = 440.0) {
  constexpr double kHalfScale = 16384.0;
  const double step = 2.0 * std::acos(-1.0) * pitch / hertz;
  Bytes out;
  for (int frame = 0; frame < frames; ++frame) {
    const int value = static_cast<int>(std::lround(kHalfScale * std::sin(step * frame)));
    for (int c = 0; c < channels; ++c) PutShort(out, value);
  }
  return out;
}

// A mono 16-bit tone file of `seconds` at 22050 Hz.
inline Bytes ToneWav(double seconds) {
  WavLayout layout;
  layout.samples = Tone16(static_cast<int>(seconds * layout.hertz), 1, layout.hertz);
  return BuildWav(layout);
}

// Writes `bytes` to `path` (relative to the working directory, which the
// tests make a fresh temporary one) and returns the path.
inline std::string Put(const std::string& path, const Bytes& bytes) {
  testing::WriteFile(path, std::string(bytes.begin(), bytes.end()));
  return path;
}

}  // namespace vantor::test
