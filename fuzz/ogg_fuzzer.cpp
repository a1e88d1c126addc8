// libFuzzer entry point for the Ogg Vorbis path of the sound loader: the
// header pages of the test tone (identification, comment, setup) followed
// by arbitrary bytes as its audio pages, loaded as an .ogg file. A decoded
// block must describe 16-bit samples of at least one channel.
//
// The headers stay whole because the Vorbis decoder (stb_vorbis, from the
// distribution) is known to crash on some damaged setup headers; what is
// fuzzed here is packet decoding and our growing of the sample block.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/fuzz_support.h"
#include "host/sound_decoder.h"

constexpr size_t kPageHeaderBytes = 27;  // up to and with the segment count
constexpr size_t kGranuleAt = 6, kGranuleBytes = 8;

// The leading pages whose granule position is 0: the three header packets.
static std::string HeaderPages() {
  // The fixture lies in the source tree beside this file's folder.
  const std::filesystem::path tone = std::filesystem::path(__FILE__).parent_path().parent_path() /
                                     "tests/fixtures/tone_stereo_0.5s.ogg";
  std::ifstream in(tone, std::ios::binary);
  const std::string file(std::istreambuf_iterator<char>(in), {});
  size_t at = 0;
  while (at + kPageHeaderBytes <= file.size() && file.compare(at, 4, "OggS") == 0 &&
         file.find_first_not_of('\0', at + kGranuleAt) >= at + kGranuleAt + kGranuleBytes) {
    const auto segments = static_cast<unsigned char>(file[at + kPageHeaderBytes - 1]);
    size_t body = 0;
    for (size_t s = 0; s < segments; ++s)
      body += static_cast<unsigned char>(file[at + kPageHeaderBytes + s]);
    at += kPageHeaderBytes + segments + body;
  }
  vantor::fuzz::Check(at > 0, "the test tone's header pages are found");
  return file.substr(0, at);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const std::string headers = (vantor::fuzz::EnterScratchDirectory(), HeaderPages());
  // A fresh file each time: some file systems flush a truncated file as it
  // closes, which would slow a run down to the disk's pace.
  std::remove("input.ogg");
  std::ofstream("input.ogg", std::ios::binary) << headers << vantor::fuzz::Text(bytes, size);
  int length = 0, channels = 0, format = 0, hertz = 0;
  unsigned char* samples = vantor::loadSound(u"./input.ogg", &length, &channels, &format, &hertz);
  if (samples) {
    vantor::fuzz::Check(channels > 0 && format == 2 && length >= 0,
                        "a decoded block describes its samples");
  }
  vantor::unloadSound(samples);
  vantor::fuzz::CheckHeap();
  return 0;
}
