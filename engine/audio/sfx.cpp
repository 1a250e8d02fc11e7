#include "audio/sfx.h"

#include <algorithm>
#include <iterator>

#include "core/settings_table.h"

plat::Sound SoundEffects[201] = {};
plat::Channel ChannelTable[260] = {};
int SfxSlot = kFirstSfxSlot;

void PlaySfx(int index, double rate, double volume, double pan) {
  if (Settings[slot::soundVolume] <= 0) return;
  if (index < 1 || index >= static_cast<int>(std::size(SoundEffects)) || !SoundEffects[index]) return;

  if (++SfxSlot > kLastSfxSlot) SfxSlot = kFirstSfxSlot;

  // Each test is written so that NaN fails it and takes the safe bound.
  if (!(volume >= 0)) volume = 0;
  if (!(volume <= 1)) volume = 1;
  if (!(rate >= 0.25)) rate = 0.25;
  if (!(rate <= 4)) rate = 4;
  if (!(pan >= -1)) pan = -1;
  if (!(pan <= 1)) pan = 1;

  plat::Channel& channel = ChannelTable[SfxSlot];
  if (channel && plat::ChannelPlaying(channel)) {
    plat::StopChannel(channel);
    channel = 0;
  }
  if (!channel) channel = plat::AllocChannel();
  plat::CueSound(SoundEffects[index], channel);
  plat::SetChannelVolume(channel, EffectVolume() * volume);
  plat::SetChannelPan(channel, pan);
  plat::SetChannelRate(channel, rate);
  plat::SetChannelPaused(channel, false);
}

double EffectVolume() {
  const double v = Settings[slot::soundVolume] / 100.0 * Settings[slot::masterVolume] / 100.0;
  return std::clamp(v, 0.0, 1.0);
}

void ResetSfx() {
  std::fill(std::begin(SoundEffects), std::end(SoundEffects), 0);
  std::fill(std::begin(ChannelTable), std::end(ChannelTable), 0);
  SfxSlot = kFirstSfxSlot;
}
