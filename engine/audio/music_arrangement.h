// The arrangement generator: block by block, what the five parts of the music play,
// decided from the song's seed and the block position so that one seed and one
// definition always give the same music.
#pragma once

#include <string>

// Parts of the music: two drum kits, bass, melody, accompaniment.
enum MusicPart { kDrumKit1 = 0, kDrumKit2 = 1, kBassPart = 2, kMelodyPart = 3, kAccompanyPart = 4 };
constexpr int kPartCount = 5;
constexpr int kBlockSteps = 64;

extern int SongSeed;
// 1-based block within the current section; -1 before the first block.
extern int BlockNumber;
// Blocks generated since the song started, minus one; -1 before the first block.
extern int BlockCounter;
// One note letter per 16 steps; empty before the first section.
extern std::string ChordLine;
// Entries 1..3: the sample number used by bass, melody and accompaniment this section.
extern int SampleChoice[5];
// Entry p is 1 while part p rests in the current section.
extern int PartMuted[20];
// The mute draw for the next section.
extern int NextMuted[20];
// 1 or 2: how early a resting part comes in before the next section (1 the whole
// last chord, 2 its last 8 steps).
extern int LeadIn[20];
// The current pattern of each part (indexed by MusicPart).
extern std::string PartPattern[kPartCount];
// Entry p * 70 + s: for drum parts the sample digit (0 silent), for melodic parts
// the note ratio (0 a rest) of part p at step s of the current block.
extern double StepGrid[1300];

// Starts the next block (and, at the end of a chord progression, a new section) and
// rewrites StepGrid.
void GenerateArrangement();
// One line of a section of CurrentSong, stretched by the section's mode; `salt`
// keeps the picks of different parts apart.
std::string PickPattern(int section, int salt);
// One chord progression of CurrentSong, never stretched.
std::string PickChordLine(int salt);

// Every character followed by `gap` spaces.
std::string SpreadPattern(const std::string& pattern, int gap);
