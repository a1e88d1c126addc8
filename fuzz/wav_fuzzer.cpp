// libFuzzer entry point for the WAV decoder: arbitrary bytes are handed to
// it as an open file. Besides the sanitizers' checks, a decoded block must
// never claim more samples than the file could hold.
#include <cstdint>
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "host/sound_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  // fmemopen refuses an empty buffer.
  std::FILE* file = size ? fmemopen(const_cast<std::uint8_t*>(bytes), size, "rb") : nullptr;
  if (!file) return 0;
  vantor::SoundInfo info;
  unsigned char* samples = vantor::decodeWav(file, &info);
  std::fclose(file);
  const long claimed = samples ? static_cast<long>(info.length) * info.channels * info.format : 0;
  if (samples) {
    vantor::fuzz::Check(info.channels > 0 && claimed <= static_cast<long>(size),
                        "a decoded block holds no more samples than the file");
  }
  vantor::unloadSound(samples);
  vantor::fuzz::CheckHeap();
  return 0;
}
