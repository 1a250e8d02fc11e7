// The audio floor's state, one record: the sound effects and their channels, and the
// music player with the arrangement it is playing. Each audio header includes this
// one after its own types, so that including any of them brings the record.
#pragma once

#include <string>

#include "audio/music_arrangement.h"
#include "audio/music_definition.h"
#include "audio/sfx.h"
#include "platform/platform.h"

struct AudioState {
  // Sound effect samples (audio/sfx.h); 1..200 used, 0 where no sample was loaded.
  plat::Sound SoundEffects[201] = {};
  // Channel slots: 0..4 the music parts (5..19 reserved for music), 20..255 the
  // effects in rotation, 256 the badge jingle. 0 means no channel yet.
  plat::Channel ChannelTable[260] = {};
  int SfxSlot = kFirstSfxSlot;  // the slot of the most recent effect

  // The music player (audio/music.h).
  int SongPlaying = 0;   // 1 while a song plays
  int NextStepTime = 0;  // millisecond clock value at which the next step is due
  int StepInterval = 0;  // milliseconds between steps
  int StepIndex = -1;    // the current step of the block, 0..63; -1 before the first step
  double SongPan = 0;    // stereo offset of the side parts

  // The arrangement (audio/music_arrangement.h).
  int SongSeed = 0;
  int BlockNumber = -1;   // 1-based block within the current section; -1 before the first block
  int BlockCounter = -1;  // blocks generated since the song started, minus one; -1 before the first
  std::string ChordLine;  // one note letter per 16 steps; empty before the first section
  int SampleChoice[5] = {};  // entries 1..3: the sample number bass, melody and accompaniment use
  int PartMuted[20] = {};    // entry p is 1 while part p rests in the current section
  int NextMuted[20] = {};    // the mute draw for the next section
  // 1 or 2: how early a resting part comes in before the next section (1 the whole
  // last chord, 2 its last 8 steps).
  int LeadIn[20] = {};
  std::string PartPattern[kPartCount];  // the current pattern of each part (by MusicPart)
  // Entry p * 70 + s: for drum parts the sample digit (0 silent), for melodic parts
  // the note ratio (0 a rest) of part p at step s of the current block.
  double StepGrid[1300] = {};

  // The instrument samples (audio/music_samples.h). Entry n: drum kit 1 sample n;
  // 10 + n kit 2; 20 + n bass; 30 + n melody; 40 + n accompaniment (n = 1..8),
  // empty where no file was found.
  plat::Sound MusicSamples[50] = {};
  int SampleCount[5] = {};  // entries 1..3: the highest bass, melody, accompaniment sample found

  SongDefinition CurrentSong;  // the song last started (reset when a file is missing)
};
extern AudioState Audio;

// Puts Audio back as a fresh program has it. The sounds and channels are dropped,
// not freed: their handles belong to the backend that made them.
void ResetAudio();
