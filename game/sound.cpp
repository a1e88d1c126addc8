// Sound effects: numbered effect files loaded into slots, and playback in
// rotation over the effect channels so that up to 24 effects overlap. The
// loader loads the slots; the run and the menus play them.
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

}  // namespace

// Slot n comes from "sfx/" plus n in three digits plus ".wav".
int MyApp::m_LoadSFX(int n) {
  if (!ValidSlot(n)) return 0;
  const String prefix = n < 10 ? T("sfx/00") : T("sfx/0");
  sounds[n] = audio::LoadSound(prefix + String(n) + T(".wav"));
  return 0;
}

int MyApp::m_PlaySFX(int n, float rate, float volume, float pan) {
  const int mode = settings[kSettingSoundMode];
  if (mode != kSoundOn && mode != kSoundOnAlternative) return 0;
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

}  // namespace vantor
