// libFuzzer entry point for the WAV decoder: arbitrary bytes are handed to
// it as an open file. Besides the sanitizers' checks, a decoded block must
// never claim more samples than the file could hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "host/sound_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes), size, "rb");
  if (!file) return 0;
  vantor::SoundInfo info;
  unsigned char* samples = vantor::decodeWav(file, &info);
  std::fclose(file);
  if (samples) {
    const long claimed = static_cast<long>(info.length) * info.channels * info.format;
    if (info.channels <= 0 || claimed > static_cast<long>(size)) __builtin_trap();
  }
  vantor::unloadSound(samples);
  return 0;
}
