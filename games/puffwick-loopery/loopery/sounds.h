// The game's sound effects: indexes into Audio.SoundEffects, loaded from the
// numbered samples (002.wav plays as kSfxCargoDing).
#pragma once

constexpr int kSfxCargoDing = 2;      // cargo changes hands at a station...
constexpr int kSfxCargoDingHigh = 3;  // ...with this fifth above, started together
constexpr int kSfxCollect = 4;        // the engine passes a collecting station (rising)
constexpr int kSfxDeliver = 5;        // the engine passes a delivering station (falling)
constexpr int kSfxRunningCost = 6;    // the running cost is paid
constexpr int kSfxPlacePiece = 7;     // a different piece is laid
constexpr int kSfxSwapPiece = 8;      // the piece underneath comes back
constexpr int kSfxEngine = 9;         // the trains' running loop, on its own channel
constexpr int kSfxExplode = 10;       // every frame once something exploded or crashed
