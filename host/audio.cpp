#include "host/audio.h"

#include <AL/alc.h>

#include <algorithm>

namespace vantor {

namespace host {
std::vector<ALuint> discarded;
}  // namespace host

namespace {

// Without a current context (no sound device at start-up) nothing is handed
// to OpenAL and the device plays silence.
bool HaveContext() { return alcGetCurrentContext() != nullptr; }

ALenum BufferFormat(int bytesPerSample, int channels) {
  if (bytesPerSample == 1 && channels == 1) return AL_FORMAT_MONO8;
  if (bytesPerSample == 1 && channels == 2) return AL_FORMAT_STEREO8;
  if (bytesPerSample == 2 && channels == 1) return AL_FORMAT_MONO16;
  if (bytesPerSample == 2 && channels == 2) return AL_FORMAT_STEREO16;
  return 0;
}

// A buffer still attached to a source cannot be deleted yet; OpenAL says so
// through its error state, which is cleared first so that an older error is
// not taken for this one.
bool TryDeleteBuffer(ALuint buffer) {
  alGetError();
  alDeleteBuffers(1, &buffer);
  return alGetError() == AL_NO_ERROR;
}

}  // namespace

gxtkSample::~gxtkSample() { gxtkSample::Discard(); }

int gxtkSample::Discard() {
  if (buffer != 0) {
    host::discarded.push_back(buffer);
    buffer = 0;
  }
  return 0;
}

gxtkAudio::gxtkAudio() {
  // Panning places sources along x; their gain must not fall with distance.
  if (HaveContext()) alDistanceModel(AL_NONE);
}

void gxtkAudio::mark() {
  // A sample still sounding stays alive even when the game dropped it.
  for (const gxtkChannel& channel : channels) {
    if (channel.state != kChannelStopped && !SourceStopped(channel)) channel.sample.queue_mark();
  }
}

gxtkChannel* gxtkAudio::Channel(int channel) {
  return channel >= 0 && channel < kChannelCount ? &channels[channel] : nullptr;
}

ALuint gxtkAudio::Source(gxtkChannel* channel) {
  if (channel->source == 0 && HaveContext()) alGenSources(1, &channel->source);
  return channel->source;
}

ALint gxtkAudio::SourceState(const gxtkChannel& channel) {
  ALint state = AL_STOPPED;
  if (channel.source != 0 && HaveContext()) {
    alGetSourcei(channel.source, AL_SOURCE_STATE, &state);
  }
  return state;
}

bool gxtkAudio::SourceStopped(const gxtkChannel& channel) {
  return SourceState(channel) == AL_STOPPED;
}

void gxtkAudio::FlushDiscarded() {
  if (host::discarded.empty() || !HaveContext()) return;
  for (const gxtkChannel& channel : channels) {
    if (channel.state != kChannelStopped && SourceStopped(channel)) {
      alSourcei(channel.source, AL_BUFFER, 0);
    }
  }
  std::erase_if(host::discarded, TryDeleteBuffer);
}

gxtkSample* gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, String path) {
  int length = 0, channelCount = 0, format = 0, hertz = 0;
  unsigned char* data = loadSound(path, &length, &channelCount, &format, &hertz);
  if (!data) return nullptr;
  if (HaveContext()) {
    const ALenum alFormat = BufferFormat(format, channelCount);
    alGenBuffers(1, &sample->buffer);
    // Another sample shape leaves the buffer without data: it plays nothing.
    if (alFormat != 0) {
      alBufferData(sample->buffer, alFormat, data, format * length * channelCount, hertz);
    }
  }
  unloadSound(data);
  // Decoded sounds are large: let the collector sweep soon so that dropped
  // samples give their buffers back.
  gc_force_sweep = true;
  return sample;
}

gxtkSample* gxtkAudio::LoadSample(String path) {
  FlushDiscarded();
  return LoadSample__UNSAFE__(gc_new<gxtkSample>(), path);
}

int gxtkAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  FlushDiscarded();
  gxtkChannel* target = Channel(channel);
  if (!target) return 0;
  if (const ALuint source = Source(target)) {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->buffer));
    alSourcei(source, AL_LOOPING, flags != 0 ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
  }
  target->sample = sample;
  target->flags = flags;
  target->state = kChannelPlaying;
  return 0;
}

int gxtkAudio::StopChannel(int channel) {
  gxtkChannel* target = Channel(channel);
  if (target && target->state != kChannelStopped) {
    if (HaveContext()) alSourceStop(target->source);
    target->state = kChannelStopped;
  }
  return 0;
}

int gxtkAudio::PauseChannel(int channel) {
  gxtkChannel* target = Channel(channel);
  if (!target || target->state != kChannelPlaying) return 0;
  if (SourceStopped(*target)) {
    target->state = kChannelStopped;
  } else {
    alSourcePause(target->source);
    target->state = kChannelPaused;
  }
  return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
  gxtkChannel* target = Channel(channel);
  if (target && target->state == kChannelPaused) {
    if (HaveContext()) alSourcePlay(target->source);
    target->state = kChannelPlaying;
  }
  return 0;
}

int gxtkAudio::ChannelState(int channel) {
  gxtkChannel* target = Channel(channel);
  if (!target) return 0;
  if (target->state == kChannelPlaying && SourceStopped(*target)) target->state = kChannelStopped;
  return target->state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
  gxtkChannel* target = Channel(channel);
  if (target && Source(target)) alSourcef(target->source, AL_GAIN, volume);
  return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
  gxtkChannel* target = Channel(channel);
  if (target && Source(target)) alSource3f(target->source, AL_POSITION, pan, 0, 0);
  return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
  gxtkChannel* target = Channel(channel);
  if (target && Source(target)) alSourcef(target->source, AL_PITCH, rate);
  return 0;
}

int gxtkAudio::PlayMusic(String path, int flags) {
  StopMusic();
  gxtkSample* sample = LoadSample(path);
  if (!sample) return -1;
  PlaySample(sample, kMusicChannel, flags);
  return 0;
}

int gxtkAudio::StopMusic() { return StopChannel(kMusicChannel); }
int gxtkAudio::PauseMusic() { return PauseChannel(kMusicChannel); }
int gxtkAudio::ResumeMusic() { return ResumeChannel(kMusicChannel); }
int gxtkAudio::MusicState() { return ChannelState(kMusicChannel); }
int gxtkAudio::SetMusicVolume(float volume) { return SetVolume(kMusicChannel, volume); }

void gxtkAudio::OnSuspend() {
  for (const gxtkChannel& channel : channels) {
    if (channel.state == kChannelPlaying && SourceState(channel) == AL_PLAYING) {
      alSourcePause(channel.source);
    }
  }
}

void gxtkAudio::OnResume() {
  // Channels the game paused itself stay paused.
  for (const gxtkChannel& channel : channels) {
    if (channel.state == kChannelPlaying && SourceState(channel) == AL_PAUSED) {
      alSourcePlay(channel.source);
    }
  }
}

}  // namespace vantor
