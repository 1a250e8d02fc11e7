// The instrument samples the generated music plays.
#pragma once

#include <string>

#include "platform/platform.h"

// Loads every sample afresh from "music/" in the current folder.
void LoadMusicSamples();

// The file an entry of Audio.MusicSamples is loaded from ("music/bass3.wav"), empty for
// entries no sample belongs to.
std::string MusicSamplePath(int entry);

#include "audio/audio_state.h"  // the floor's record, Audio
