#include "audio/music_arrangement.h"

#include <cstdint>

#include "audio/music_definition.h"
#include "audio/music_samples.h"
#include "platform/platform.h"

namespace {

// Seed arithmetic wraps at 32 bits, so it is done unsigned.
void ReseedForBlock(int salt) {
  const uint32_t seed = (static_cast<uint32_t>(Audio.SongSeed) << 10) + static_cast<uint32_t>(Audio.BlockNumber) +
                        static_cast<uint32_t>(Audio.BlockCounter) + static_cast<uint32_t>(salt);
  plat::SeedRnd(static_cast<int>(seed));
}

// Reseeds and throws draws away, so that each block and salt starts somewhere new.
void ReseedAndSkip(int salt) {
  ReseedForBlock(salt);
  const int64_t skip = static_cast<int64_t>(Audio.BlockCounter) * 4 + salt;
  for (int64_t i = 0; i < skip; ++i) plat::Rand(0, 1000);
}

void StartSection() {
  for (int part = 1; part <= 3; ++part) Audio.SampleChoice[part] = plat::Rand(1, Audio.SampleCount[part]);
  Audio.BlockNumber = 1;
  Audio.ChordLine = PickChordLine(13);
  for (int i = 0; i < 20; ++i) {
    Audio.PartMuted[i] = Audio.NextMuted[i];
    Audio.NextMuted[i] = plat::Rand(0, 1);
    Audio.LeadIn[i] = plat::Rand(1, 2);
  }
  const bool bassOrMelody = Audio.PartMuted[kBassPart] == 0 || Audio.PartMuted[kMelodyPart] == 0;
  // Every section keeps a drum kit and one of bass and melody.
  if (Audio.PartMuted[kDrumKit1] != 0 && Audio.PartMuted[kDrumKit2] == 1) Audio.PartMuted[plat::Rand(0, 1)] = 0;
  if (!bassOrMelody) Audio.PartMuted[plat::Rand(2, 3)] = 0;

  Audio.PartPattern[kDrumKit1] = PickPattern(kDrums, 3);
  Audio.PartPattern[kDrumKit2] = PickPattern(kDrums, 7);
  Audio.PartPattern[kBassPart] = PickPattern(kBass, 13);
  Audio.PartPattern[kMelodyPart] = PickPattern(kMelody, 19);
  Audio.PartPattern[kAccompanyPart] = PickPattern(kAccompany, 29);
}

void FillGrid() {
  // Melodic patterns run on across the blocks of a section; drum patterns restart.
  const int64_t melodicOffset = static_cast<int64_t>(Audio.BlockNumber - 1) * kBlockSteps;
  for (int part = 0; part < kPartCount; ++part) {
    const std::string& pattern = Audio.PartPattern[part];
    const int64_t length = static_cast<int64_t>(pattern.size());
    for (int s = 0; s < kBlockSteps; ++s) {
      double value = 0;
      // An empty pattern keeps its part silent.
      if (length > 0) {
        if (part <= kDrumKit2) {
          const char ch = pattern[static_cast<size_t>(s % length)];
          if (ch >= '0' && ch <= '9') value = ch - '0';
        } else {
          const char ch = pattern[static_cast<size_t>((s + melodicOffset) % length)];
          if (ch != ' ') value = NotePitch(ch);
        }
      }
      Audio.StepGrid[part * 70 + s] = value;
    }
  }
}

}  // namespace

std::string SpreadPattern(const std::string& pattern, int gap) {
  std::string out;
  out.reserve(pattern.size() * (gap + 1));
  for (char ch : pattern) {
    out.push_back(ch);
    out.append(static_cast<size_t>(gap), ' ');
  }
  return out;
}

void GenerateArrangement() {
  ReseedForBlock(0);
  ++Audio.BlockCounter;
  ++Audio.BlockNumber;
  if (Audio.ChordLine.empty() || Audio.BlockNumber > static_cast<int64_t>(Audio.ChordLine.size()) / 4) StartSection();
  FillGrid();
}

std::string PickPattern(int section, int salt) {
  ReseedAndSkip(salt);
  const int mode = Audio.CurrentSong.StretchMode[section];
  std::string line = Audio.CurrentSong.Line(section, plat::Rand(1, Audio.CurrentSong.SongLineCount[section]));
  const int r = plat::Rand(0, 2);
  // Factor 1, 2 or 4: each character followed by 0, 1 or 3 spaces.
  int factor = 1;
  if ((mode > 0 && r > 0) || mode < 0) factor = 2;
  if ((mode == kStretchRandomPlus && r == 2) || mode == kStretchDouble) factor = 4;
  return SpreadPattern(line, factor - 1);
}

std::string PickChordLine(int salt) {
  ReseedAndSkip(salt);
  return Audio.CurrentSong.Line(kChords, plat::Rand(1, Audio.CurrentSong.SongLineCount[kChords]));
}
