#include "host/sound_decoder.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

// The stb package ships stb_vorbis already compiled into its library; only the
// declarations are wanted here.
#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include "host/files.h"

namespace vantor {
namespace {

constexpr int kTagBytes = 4;
constexpr int kWavFormatPcm = 1;
// A plain PCM fmt chunk; anything longer carries extra bytes we skip.
constexpr int kFmtBaseBytes = 16;
constexpr int kBitsPerByte = 8;
// The Ogg decoder always hands out 16-bit samples.
constexpr int kOggBytesPerSample = 2;
// Room for at least this many frames is kept free before each decoder call;
// one Vorbis packet never yields more.
constexpr int kOggFreeFrames = 4096;
// Every allocation of the Vorbis decoder comes from one block of this size
// (a stereo test tone needs about 150 KB; this leaves room for the largest
// codebooks encoders write): a damaged file that asks for absurd sizes then
// fails to open, where the decoder's own malloc path would free a pointer
// it never set and crash, and nothing the decoder holds can leak.
constexpr int kOggDecoderBytes = 4 << 20;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Little-endian reads that know how much of the file is left, so that no
// length taken from the file can lead past its end.
class WavReader {
 public:
  explicit WavReader(std::FILE* file) : file_(file) {
    const long start = std::ftell(file);
    if (start >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
      size_ = std::ftell(file);
      std::fseek(file, start, SEEK_SET);
    }
  }

  bool Read(void* bytes, long count) {
    return count <= Remaining() && std::fread(bytes, 1, static_cast<std::size_t>(count), file_) ==
                                       static_cast<std::size_t>(count);
  }
  bool Expect(const char* tag) {
    char bytes[kTagBytes];
    return Read(bytes, kTagBytes) && std::memcmp(bytes, tag, kTagBytes) == 0;
  }
  // A short or int that cannot be read reads as -1.
  int ReadShort() {
    unsigned char b[2];
    if (!Read(b, sizeof b)) return -1;
    return static_cast<std::int16_t>(b[0] | b[1] << 8);
  }
  int ReadInt() {
    unsigned char b[4];
    if (!Read(b, sizeof b)) return -1;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | b[1] << 8 | b[2] << 16 |
                                     static_cast<std::uint32_t>(b[3]) << 24);
  }
  // Fails for a negative count or one that runs past the end of the file.
  bool Skip(long count) {
    return count >= 0 && count <= Remaining() && std::fseek(file_, count, SEEK_CUR) == 0;
  }
  long Remaining() const {
    const long at = std::ftell(file_);
    return at < 0 ? 0 : size_ - at;
  }

 private:
  std::FILE* file_;
  long size_ = 0;
};

struct WavFormat {
  int channels = 0;
  int hertz = 0;
  int bits = 0;
};

// The fmt chunk right after the RIFF header. Refuses compressed data and
// shapes that would make the frame count meaningless (no channels, fewer
// than 8 bits, no rate).
bool ReadFormat(WavReader& in, WavFormat* format) {
  const int length = in.ReadInt();
  const int tag = in.ReadShort();
  format->channels = in.ReadShort();
  format->hertz = in.ReadInt();
  in.ReadInt();    // byte rate, implied by the rest
  in.ReadShort();  // block align, implied by the rest
  format->bits = in.ReadShort();
  if (tag != kWavFormatPcm || format->channels <= 0 || format->bits < kBitsPerByte ||
      format->hertz <= 0) {
    return false;
  }
  return length <= kFmtBaseBytes || in.Skip(length - kFmtBaseBytes);
}

// RIFF keeps every chunk at an even offset: a chunk of odd length is
// followed by one pad byte that its length does not count.
long PaddedLength(int length) { return static_cast<long>(length) + (length & 1); }

// Walks the chunks after fmt up to "data" and reads its samples.
unsigned char* ReadSamples(WavReader& in, const WavFormat& format, SoundInfo* info) {
  for (;;) {
    char tag[kTagBytes];
    if (!in.Read(tag, kTagBytes)) return nullptr;
    // A length that cannot be read is -1: the file has ended.
    const int length = in.ReadInt();
    if (length < 0 || length > in.Remaining()) return nullptr;
    if (std::memcmp(tag, "data", kTagBytes) != 0) {
      in.Skip(PaddedLength(length));
      continue;
    }
    // One byte at least, so that an empty data chunk still gives a block.
    auto* data = static_cast<unsigned char*>(std::malloc(length > 0 ? length : 1));
    if (!data) return nullptr;
    if (!in.Read(data, length)) {
      std::free(data);
      continue;
    }
    const int bytesPerSample = format.bits / kBitsPerByte;
    info->length = length / (format.channels * bytesPerSample);
    info->channels = format.channels;
    info->format = bytesPerSample;
    info->hertz = format.hertz;
    return data;
  }
}

unsigned char* ReadWav(std::FILE* file, SoundInfo* info) {
  WavReader in(file);
  if (!in.Expect("RIFF")) return nullptr;
  in.ReadInt();  // RIFF length: the chunks themselves are trusted instead
  if (!in.Expect("WAVE") || !in.Expect("fmt ")) return nullptr;
  WavFormat format;
  if (!ReadFormat(in, &format)) return nullptr;
  return ReadSamples(in, format, info);
}

struct VorbisCloser {
  void operator()(stb_vorbis* decoder) const { stb_vorbis_close(decoder); }
};

// Decodes every packet into one growing block of 16-bit frames.
unsigned char* ReadOgg(std::FILE* file, SoundInfo* info) {
  int error = 0;
  const std::unique_ptr<char[]> arena(new char[kOggDecoderBytes]);
  const stb_vorbis_alloc alloc{arena.get(), kOggDecoderBytes};
  const std::unique_ptr<stb_vorbis, VorbisCloser> decoder(
      stb_vorbis_open_file(file, 0, &error, &alloc));
  if (!decoder) return nullptr;
  const stb_vorbis_info about = stb_vorbis_get_info(decoder.get());
  const int channels = about.channels;
  const int frameBytes = channels * kOggBytesPerSample;
  if (channels <= 0) return nullptr;
  long capacity = kOggFreeFrames;
  long frames = 0;
  auto* data = static_cast<short*>(std::malloc(capacity * frameBytes));
  while (data) {
    const int got =
        stb_vorbis_get_frame_short_interleaved(decoder.get(), channels, data + frames * channels,
                                               static_cast<int>((capacity - frames) * channels));
    if (got == 0) break;
    frames += got;
    if (capacity - frames >= kOggFreeFrames) continue;
    capacity *= 2;
    void* grown =
        capacity * frameBytes <= INT_MAX ? std::realloc(data, capacity * frameBytes) : nullptr;
    if (!grown) std::free(data);
    data = static_cast<short*>(grown);
  }
  if (!data) return nullptr;
  info->length = static_cast<int>(frames);
  info->channels = channels;
  info->format = kOggBytesPerSample;
  info->hertz = static_cast<int>(about.sample_rate);
  return reinterpret_cast<unsigned char*>(data);
}

// The text after the last dot in lower case, or nothing when a directory
// separator follows that dot (then the dot belongs to a directory name).
String Extension(const String& path) {
  const int dot = path.FindLast(T("."));
  if (dot < 0) return String();
  const String rest = path.Slice(dot + 1);
  if (rest.Find(T("/")) >= 0 || rest.Find(T("\\")) >= 0) return String();
  return rest.ToLower();
}

}  // namespace

unsigned char* decodeWav(std::FILE* file, SoundInfo* info) { return ReadWav(file, info); }

unsigned char* loadSound(const String& path, int* length, int* channels, int* format, int* hertz) {
  const String extension = Extension(path);
  unsigned char* (*decode)(std::FILE*, SoundInfo*) = nullptr;
  if (extension == T("wav")) decode = ReadWav;
  if (extension == T("ogg")) decode = ReadOgg;
  if (!decode) {
    ReportAssetFailure(path, "not a .wav or .ogg file");
    return nullptr;
  }
  const FileHandle file(OpenAsset(path));
  if (!file) return nullptr;
  SoundInfo info;
  unsigned char* data = decode(file.get(), &info);
  if (!data) ReportAssetFailure(path, "not a sound this game decodes (PCM WAV or Ogg Vorbis)");
  if (data) {
    *length = info.length;
    *channels = info.channels;
    *format = info.format;
    *hertz = info.hertz;
  }
  return data;
}

void unloadSound(unsigned char* data) { std::free(data); }

}  // namespace vantor
