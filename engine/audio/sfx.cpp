#include "audio/sfx.h"

#include <algorithm>
#include <iterator>

#include "core/settings_table.h"

AudioState Audio;

void ResetAudio() { Audio = AudioState{}; }

void PlaySfx(int index, double rate, double volume, double pan) {
  if (Core.Settings[slot::soundVolume] <= 0) return;
  if (index < 1 || index >= static_cast<int>(std::size(Audio.SoundEffects)) || !Audio.SoundEffects[index]) return;

  if (++Audio.SfxSlot > kLastSfxSlot) Audio.SfxSlot = kFirstSfxSlot;

  // Each test is written so that NaN fails it and takes the safe bound.
  if (!(volume >= 0)) volume = 0;
  if (!(volume <= 1)) volume = 1;
  if (!(rate >= 0.25)) rate = 0.25;
  if (!(rate <= 4)) rate = 4;
  if (!(pan >= -1)) pan = -1;
  if (!(pan <= 1)) pan = 1;

  plat::Channel& channel = Audio.ChannelTable[Audio.SfxSlot];
  if (channel && plat::ChannelPlaying(channel)) {
    plat::StopChannel(channel);
    channel = 0;
  }
  if (!channel) channel = plat::AllocChannel();
  plat::CueSound(Audio.SoundEffects[index], channel);
  plat::SetChannelVolume(channel, EffectVolume() * volume);
  plat::SetChannelPan(channel, pan);
  plat::SetChannelRate(channel, rate);
  plat::SetChannelPaused(channel, false);
}

double EffectVolume() {
  const double v = Core.Settings[slot::soundVolume] / 100.0 * Core.Settings[slot::masterVolume] / 100.0;
  return std::clamp(v, 0.0, 1.0);
}

void ResetSfx() {
  std::fill(std::begin(Audio.SoundEffects), std::end(Audio.SoundEffects), 0);
  std::fill(std::begin(Audio.ChannelTable), std::end(Audio.ChannelTable), 0);
  Audio.SfxSlot = kFirstSfxSlot;
}
