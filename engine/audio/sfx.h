// Sound effects: the numbered samples and the channel table they share with the
// music and the badge jingle.
#pragma once

#include "platform/platform.h"

// Sound effect samples; 1..200 used, 0 where no sample was loaded.
extern plat::Sound SoundEffects[201];
// Channel slots: 0..4 the music parts (5..19 reserved for music), 20..255 the
// effects in rotation, 256 the badge jingle. 0 means no channel yet.
extern plat::Channel ChannelTable[260];
// The slot of the most recent effect.
extern int SfxSlot;

constexpr int kFirstSfxSlot = 20;
constexpr int kLastSfxSlot = 255;
constexpr int kBadgeJingleSlot = 256;

// Plays effect `index` at a rate factor (1 = as recorded), volume 0..1 and pan
// -1 (left) .. 1 (right), scaled by the sound and master volume settings. Effects
// never wait for a free channel: the oldest effect in the rotation is cut off.
void PlaySfx(int index, double rate, double volume, double pan);
// The loudness every effect gets from the settings: sound x master volume, 0..1.
double EffectVolume();

// Empties both tables (without freeing or stopping anything) and restarts the
// rotation; for tests and a fresh start.
void ResetSfx();
