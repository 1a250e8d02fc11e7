// The game's sound effects: indexes into Audio.SoundEffects, loaded from the numbered
// samples of its folder (002.wav plays as kSfxParcelCaught).
#pragma once

constexpr int kSfxParcelCaught = 2;
constexpr int kSfxPersonCaught = 3;
constexpr int kSfxPersonMissed = 4;
constexpr int kSfxGameOver = 5;  // the last life lost or the time up
constexpr int kSfxEdge = 6;      // the cart reaches a side of the field
