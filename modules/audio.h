// The audio module: sounds for the game's code and forwarders to the host
// audio device (host/audio.h), which the app bridge publishes in `device`
// before the game's OnCreate. A `Sound` wraps one sample; an empty sound
// plays nothing. Channels are 0 to 31 for effects and 32 for music; another
// number is ignored. Without a sound device every call still answers and
// nothing is heard. Called by the game from its callbacks, on the main
// thread only.
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

extern gc_ref<gxtkAudio> device;  // set by the app bridge; a collector root

void ModuleInit();                                    // start-up: device to null, made a root
int SetAudioDevice(gxtkAudio* dev);                   // the app bridge publishes the device; 0
Sound* LoadSound(String path);                        // a data file's sound; null if unloadable
int PlaySound(Sound* sound, int channel, int flags);  // from the start; loops if flags != 0
int StopChannel(int channel);                         // silences the channel; 0
int PauseChannel(int channel);                        // a playing channel holds where it is; 0
int ResumeChannel(int channel);                       // a paused channel goes on from there; 0
int SetChannelVolume(int channel, float volume);      // gain, 1 as recorded; 0
int SetChannelPan(int channel, float pan);            // -1 left, 0 centre, 1 right; 0
int SetChannelRate(int channel, float rate);          // playback speed and pitch, 1 as recorded

}  // namespace audio
}  // namespace vantor
