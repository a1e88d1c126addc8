// gxtkAudio and gxtkSample: the host's sound mixer over OpenAL.
//
// 33 channels, each one OpenAL source created on first use: 0 to 31 for
// sound effects, 32 for music. Samples are whole decoded WAV (PCM) or Ogg
// Vorbis files held in OpenAL buffers. Buffers given up by samples wait in a
// deferred deletion list until no source plays them. When no OpenAL context
// could be made the device stays silent and every operation still answers
// (samples then load without a buffer). A channel number outside 0 to 32 is
// ignored rather than trusted.
// The audio module and the host application (suspend, resume) drive it.
// Main thread only.
#pragma once

#include <AL/al.h>

#include <vector>

#include "host/object.h"
#include "host/sound_decoder.h"
#include "runtime/text.h"

namespace vantor {

inline constexpr int kChannelCount = 33;
inline constexpr int kMusicChannel = 32;

class gxtkSample : public gxtkObject {
 public:
  ALuint buffer = 0;

  ~gxtkSample() override;
  virtual int Discard();
};

// A channel's state, as ChannelState reports it.
inline constexpr int kChannelStopped = 0;
inline constexpr int kChannelPlaying = 1;
inline constexpr int kChannelPaused = 2;

struct gxtkChannel {
  ALuint source = 0;
  gc_ref<gxtkSample> sample;
  int flags = 0;
  int state = kChannelStopped;
};

class gxtkAudio : public gxtkObject {
 public:
  gxtkChannel channels[kChannelCount];

  gxtkAudio();
  void mark() override;

  virtual gxtkSample* LoadSample__UNSAFE__(gxtkSample* sample, String path);
  virtual gxtkSample* LoadSample(String path);
  virtual int PlaySample(gxtkSample* sample, int channel, int flags);
  virtual int StopChannel(int channel);
  virtual int PauseChannel(int channel);
  virtual int ResumeChannel(int channel);
  virtual int ChannelState(int channel);
  virtual int SetVolume(int channel, float volume);
  virtual int SetPan(int channel, float pan);
  virtual int SetRate(int channel, float rate);
  // The music channel: kept for the framework's API; the game plays no music.
  virtual int PlayMusic(String path, int flags);
  virtual int StopMusic();
  virtual int PauseMusic();
  virtual int ResumeMusic();
  virtual int MusicState();
  virtual int SetMusicVolume(float volume);

  void OnSuspend();
  void OnResume();

 private:
  // The channel's record, or null for a number outside 0 to 32.
  gxtkChannel* Channel(int channel);
  // The channel's source, created on first use; 0 when there is no context.
  ALuint Source(gxtkChannel* channel);
  // Whether OpenAL reports the channel's source stopped (always, without a
  // source or a context).
  static bool SourceStopped(const gxtkChannel& channel);
  static ALint SourceState(const gxtkChannel& channel);
  void FlushDiscarded();
};

namespace host {
// Buffers given up by samples and not yet deleted, because a source may
// still be playing them. Flushed by LoadSample and PlaySample.
extern std::vector<ALuint> discarded;
}  // namespace host

}  // namespace vantor
