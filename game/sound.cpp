// Sound effects: numbered effect files loaded into slots, and playback in
// rotation over the effect channels so that up to 24 effects overlap; a
// paused run's effects wait on their channels. The loader loads the slots;
// the run and the menus play them; the mode machine pauses and resumes a
// run's effects with the run.
#include "game/ids.h"
#include "game/myapp.h"
#include "modules/audio.h"

namespace vantor {
namespace {

// Effects rotate over this many channels; the 25th cuts the oldest.
constexpr int kEffectChannels = 24;
constexpr int kSoundOn = 1;
constexpr int kSoundOnAlternative = 2;
constexpr int kPlayOnce = 0;

bool ValidSlot(int n) { return n >= 0 && n < kSoundSlots; }

bool EffectsOn(int mode) { return mode == kSoundOn || mode == kSoundOnAlternative; }

}  // namespace

// Slot n comes from "sfx/" plus n in three digits plus ".wav".
int MyApp::m_LoadSFX(int n) {
  if (!ValidSlot(n)) return 0;
  const String prefix = n < 10 ? T("sfx/00") : T("sfx/0");
  sounds[n] = audio::LoadSound(prefix + String(n) + T(".wav"));
  return 0;
}

int MyApp::m_PlaySFX(int n, float rate, float volume, float pan) {
  if (!EffectsOn(settings[kSettingSoundMode])) return 0;
  lastChannel = (lastChannel + 1) % kEffectChannels;
  const int channel = channelOrder[lastChannel];
  audio::StopChannel(channel);
  Sound* sound = ValidSlot(n) ? sounds[n].get() : nullptr;
  if (sound && sound->sample) audio::PlaySound(sound, channel, kPlayOnce);
  audio::SetChannelRate(channel, rate);
  audio::SetChannelVolume(channel, volume);
  audio::SetChannelPan(channel, pan);
  return 0;
}

// Every effect still sounding when the run pauses holds where it is.
void MyApp::PauseRunSounds() {
  if (runSoundsPaused == 1) return;
  runSoundsPaused = 1;
  for (int i = 0; i < kEffectChannels; ++i) audio::PauseChannel(channelOrder[i]);
}

// They go on from there when the run does; if the effects were switched
// off meanwhile, they end instead.
void MyApp::ResumeRunSounds() {
  if (runSoundsPaused == 0) return;
  runSoundsPaused = 0;
  const bool on = EffectsOn(settings[kSettingSoundMode]);
  for (int i = 0; i < kEffectChannels; ++i) {
    if (on) {
      audio::ResumeChannel(channelOrder[i]);
    } else {
      audio::StopChannel(channelOrder[i]);
    }
  }
}

}  // namespace vantor
