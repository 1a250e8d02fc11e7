// The arrangement generator: block by block, what the five parts of the music play,
// decided from the song's seed and the block position so that one seed and one
// definition always give the same music.
#pragma once

#include <string>

// Parts of the music: two drum kits, bass, melody, accompaniment.
enum MusicPart { kDrumKit1 = 0, kDrumKit2 = 1, kBassPart = 2, kMelodyPart = 3, kAccompanyPart = 4 };
constexpr int kPartCount = 5;
constexpr int kBlockSteps = 64;

// Starts the next block (and, at the end of a chord progression, a new section) and
// rewrites Audio.StepGrid.
void GenerateArrangement();
// One line of a section of Audio.CurrentSong, stretched by the section's mode; `salt`
// keeps the picks of different parts apart.
std::string PickPattern(int section, int salt);
// One chord progression of Audio.CurrentSong, never stretched.
std::string PickChordLine(int salt);

// Every character followed by `gap` spaces.
std::string SpreadPattern(const std::string& pattern, int gap);

#include "audio/audio_state.h"  // the floor's record, Audio
