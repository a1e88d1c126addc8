// loadSound and unloadSound: sound files decoded whole into memory.
//
// Reads WAV (uncompressed PCM, 8 or 16 bits, mono or stereo, with or without
// extra fmt bytes and other chunks before the samples) and Ogg Vorbis
// (through stb_vorbis) into one block of interleaved samples. Files open
// through fopenFile, so asset addresses work here. A malformed WAV fails
// before anything is allocated by a length the file cannot hold. The audio
// device calls these when it loads a sample; the WAV fuzz target calls
// `decodeWav` directly.
#pragma once

#include <cstdio>

#include "runtime/text.h"

namespace vantor {

// What a decoded block holds: `length` in sample frames, `format` in bytes
// per sample (1 or 2), `hertz` frames per second.
struct SoundInfo {
  int length = 0;
  int channels = 0;
  int format = 0;
  int hertz = 0;
};

// Decodes a sound file (by extension: "wav" or "ogg", any case) into
// interleaved samples; null on failure. `format` is bytes per sample.
unsigned char* loadSound(const String& path, int* length, int* channels, int* format, int* hertz);
void unloadSound(unsigned char* data);

// Decodes an open WAV file from its current position; the caller closes it.
// Null when the file is malformed. The block is freed with unloadSound.
unsigned char* decodeWav(std::FILE* file, SoundInfo* info);

}  // namespace vantor
