// The audio module: sounds for script code and forwarders to the host audio
// device. A `Sound` wraps one sample; an empty sound plays nothing.
#pragma once

#include "host/audio.h"
#include "runtime/gc.h"
#include "runtime/text.h"

namespace vantor {

class Sound : public Object {
 public:
  gc_ref<gxtkSample> sample;

  Sound() = default;
  explicit Sound(gxtkSample* s) { sample = s; }
  void mark() override { sample.queue_mark(); }
};

namespace audio {

extern gc_ref<gxtkAudio> device;

void ModuleInit();
int SetAudioDevice(gxtkAudio* dev);
Sound* LoadSound(String path);  // null when the file cannot be loaded
int PlaySound(Sound* sound, int channel, int flags);
int StopChannel(int channel);
// A playing channel holds where it is; a paused one goes on from there.
int PauseChannel(int channel);
int ResumeChannel(int channel);
int SetChannelVolume(int channel, float volume);
int SetChannelPan(int channel, float pan);
int SetChannelRate(int channel, float rate);

}  // namespace audio
}  // namespace vantor
