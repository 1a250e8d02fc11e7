// The music player: songs assembled while playing from a definition file and the
// instrument samples, stepped from the frame cycle.
#pragma once

#include <string>

// Reads "music/" name ".ini" and starts the song; seed -1 takes one from the
// clock; pairLength is the length of two steps in milliseconds. A missing file
// starts nothing.
void StartSong(const std::string& name, int seed, int pairLength);
// One step of the music clock at most, run by EndFrame every frame.
void UpdateSong();
// Silences the music.
void StopSong();
// Stereo offset of the side parts.
void SetSongPan(double pan);

#include "audio/audio_state.h"  // the floor's record, Audio
