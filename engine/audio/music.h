// The music player: songs assembled while playing from a definition file and the
// instrument samples, stepped from the frame cycle.
#pragma once

#include <string>

extern int SongPlaying;
// Millisecond clock value at which the next step is due.
extern int NextStepTime;
extern int StepInterval;
// The current step of the block, 0..63; -1 before the first step.
extern int StepIndex;
// Stereo offset of the side parts.
extern double SongPan;

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
