// libFuzzer entry point for the Ogg Vorbis path of the sound loader:
// arbitrary bytes as an .ogg file. A decoded block must describe 16-bit
// samples of at least one channel.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "host/sound_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const bool entered = (vantor::fuzz::EnterScratchDirectory(), true);
  (void)entered;
  vantor::fuzz::WriteBytes("input.ogg", bytes, size);
  int length = 0, channels = 0, format = 0, hertz = 0;
  unsigned char* samples = vantor::loadSound(u"./input.ogg", &length, &channels, &format, &hertz);
  if (samples) {
    vantor::fuzz::Check(channels > 0 && format == 2 && length >= 0, "a decoded block describes its samples");
  }
  vantor::unloadSound(samples);
  return 0;
}
