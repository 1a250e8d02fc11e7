// Music definition files: drum patterns, chord progressions and melodic phrases,
// read by section into tables, and the note alphabet the phrases are written in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Sections of a definition file; the drum section feeds both drum kits.
enum SongSection { kDrums = 0, kChords = 1, kBass = 2, kMelody = 3, kAccompany = 4 };

constexpr int kSectionCount = 5;
// Pattern lines kept per section; later ones are ignored.
constexpr int kMaxSectionLines = 998;

// StretchMode values: how picked patterns are spread out (see PickPattern).
enum StretchKind { kStretchNone = -1, kStretchFalse = 0, kStretchRandom = 1, kStretchRandomPlus = 2,
                   kStretchDouble = -2 };

// What a definition file holds. Line k (from 1) of section s is SongLines[s * 1000 + k];
// entries not filled are empty.
struct SongDefinition {
  std::vector<std::string> SongLines = std::vector<std::string>(5000);
  int SongLineCount[kSectionCount] = {0, 0, 0, 0, 0};
  int StretchMode[kSectionCount] = {-1, -1, -1, -1, -1};

  // Line k of a section, empty when there is none (k may be 0 when a section is empty).
  const std::string& Line(int section, int k) const;
};

// Reads definition text into tables. Lines end at LF (or a NUL byte, as the platform's
// line reader has it); CRs are dropped. Never fails: what is not understood is ignored.
SongDefinition ParseSongDefinition(std::string_view text);

// The playback-rate ratio of a one-character note letter (case ignored); 0 for a
// rest, an unknown character or any text that is not one character long.
double NotePitch(std::string_view text);
double NotePitch(char letter);

#include "audio/audio_state.h"  // the floor's record, Audio
