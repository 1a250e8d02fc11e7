// Sound effects: the numbered samples and the channel table they share with the
// music and the badge jingle.
#pragma once

#include "platform/platform.h"

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

#include "audio/audio_state.h"  // the floor's record, Audio
