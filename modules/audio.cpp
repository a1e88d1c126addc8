#include "modules/audio.h"

#include "modules/data.h"
#include "modules/roots.h"

namespace vantor::audio {

gc_ref<gxtkAudio> device;

void ModuleInit() { InitModuleGlobal<device>(); }

int SetAudioDevice(gxtkAudio* dev) {
  device = dev;
  return 0;
}

Sound* LoadSound(String path) {
  gxtkSample* sample = device->LoadSample(data::FixDataPath(path));
  return sample ? gc_new<Sound>(sample) : nullptr;
}

int PlaySound(Sound* sound, int channel, int flags) {
  if (sound && sound->sample) device->PlaySample(sound->sample, channel, flags);
  return 0;
}

int StopChannel(int channel) { return device->StopChannel(channel); }

int PauseChannel(int channel) { return device->PauseChannel(channel); }

int ResumeChannel(int channel) { return device->ResumeChannel(channel); }

int SetChannelVolume(int channel, float volume) { return device->SetVolume(channel, volume); }

int SetChannelPan(int channel, float pan) { return device->SetPan(channel, pan); }

int SetChannelRate(int channel, float rate) { return device->SetRate(channel, rate); }

}  // namespace vantor::audio
