// The instrument samples the generated music plays.
#pragma once

#include <string>

#include "platform/platform.h"

// Entry n: drum kit 1 sample n; 10 + n kit 2; 20 + n bass; 30 + n melody; 40 + n
// accompaniment (n = 1..8). Empty where no file was found.
extern plat::Sound MusicSamples[50];
// Entries 1..3: the highest bass, melody and accompaniment sample number found.
extern int SampleCount[5];

// Loads every sample afresh from "music/" in the current folder.
void LoadMusicSamples();

// The file an entry of MusicSamples is loaded from ("music/bass3.wav"), empty for
// entries no sample belongs to.
std::string MusicSamplePath(int entry);
