#include "audio/music.h"

#include <cstdint>

#include "audio/music_arrangement.h"
#include "audio/music_definition.h"
#include "audio/music_samples.h"
#include "audio/sfx.h"
#include "core/settings_table.h"
#include "platform/platform.h"

namespace {

// Slots 0..19 of the channel table belong to the music.
constexpr int kMusicSlots = 20;

// The clock is free-running and may wrap, so times are compared by difference.
bool ClockPast(int now, int time) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(time)) > 0;
}

bool ReadDefinitionFile(const std::string& path, std::string& text) {
  plat::Stream in = plat::ReadFile(path);
  if (!in) return false;
  while (!plat::Eof(in)) {
    text += plat::ReadLine(in);
    text += '\n';
  }
  plat::CloseStream(in);
  return true;
}

struct Voice {
  int sample;      // Audio.MusicSamples entry
  double pan;      // applied unless the part is centred
  bool setPan;
  double rate;     // applied for melodic parts
  bool setRate;
  double volume;
};

void CutPart(int part) {
  plat::Channel& channel = Audio.ChannelTable[part];
  if (channel && plat::ChannelPlaying(channel)) {
    plat::StopChannel(channel);
    channel = 0;
  }
}

void Sound(int part, const Voice& voice) {
  CutPart(part);
  const plat::Sound sample = voice.sample >= 0 && voice.sample < 50 ? Audio.MusicSamples[voice.sample] : 0;
  // A missing sample, or a chord outside the note table (rate 0), is a silent note:
  // it cuts the part's previous note but leaves nothing held on a channel.
  if (!sample || (voice.setRate && !(voice.rate > 0))) {
    Audio.ChannelTable[part] = 0;
    return;
  }
  plat::Channel channel = plat::AllocChannel();
  Audio.ChannelTable[part] = channel;
  if (!channel) return;
  plat::CueSound(sample, channel);
  if (voice.setPan) plat::SetChannelPan(channel, voice.pan);
  if (voice.setRate) plat::SetChannelRate(channel, voice.rate);
  plat::SetChannelVolume(channel, voice.volume);
  plat::SetChannelPaused(channel, false);
}

void TakeStep() {
  if (++Audio.StepIndex >= kBlockSteps) {
    Audio.StepIndex = 0;
    GenerateArrangement();
  }
  const int64_t length = static_cast<int64_t>(Audio.ChordLine.size());
  const int64_t chord = Audio.StepIndex / 16 + static_cast<int64_t>(Audio.BlockNumber - 1) * 4;
  const double chordRatio = chord >= 0 && chord < length ? NotePitch(Audio.ChordLine[static_cast<size_t>(chord)]) : 0.0;

  // The last 8 steps of the progression are phase 2, the rest of its last chord phase 1.
  int phase = 0;
  if (Audio.StepIndex / 8 + static_cast<int64_t>(Audio.BlockNumber - 1) * 8 >= 2 * length - 1) {
    phase = 2;
  } else if (chord >= length - 1) {
    phase = 1;
  }

  const double level = Core.Settings[slot::musicVolume] / 100.0 * Core.Settings[slot::masterVolume] / 100.0;
  for (int part = 0; part < kPartCount; ++part) {
    const double v = Audio.StepGrid[part * 70 + Audio.StepIndex];
    bool rests = Audio.PartMuted[part] != 0;
    // A part about to play in the next section comes in early.
    if (Audio.PartMuted[part] == 1 && Audio.NextMuted[part] == 0 &&
        ((phase == 1 && Audio.LeadIn[part] == 1) || (phase == 2 && Audio.LeadIn[part] > 0))) {
      rests = false;
    }
    if (rests) continue;

    if (part <= kDrumKit2) {
      const int digit = static_cast<int>(v);
      if (digit < 1 || digit > 8) continue;
      const double pan = part == kDrumKit1 ? Audio.SongPan : -Audio.SongPan;
      Sound(part, Voice{part * 10 + digit, pan, true, 1, false, level});
    } else {
      if (v == 0) continue;
      const int sample = part * 10 + Audio.SampleChoice[part - 1];
      const double pan = part == kBassPart ? -Audio.SongPan : Audio.SongPan;
      const double volume = part == kAccompanyPart ? level / 2 : level;
      Sound(part, Voice{sample, pan, part != kMelodyPart, v * chordRatio, true, volume});
    }
  }
}

}  // namespace

void StartSong(const std::string& name, int seed, int pairLength) {
  std::string text;
  if (!ReadDefinitionFile("music/" + name + ".ini", text)) {
    Audio.CurrentSong = SongDefinition{};
    return;
  }
  Audio.CurrentSong = ParseSongDefinition(text);

  if (seed == -1) seed = plat::Millisecs();
  plat::SeedRnd(static_cast<int>(static_cast<uint32_t>(seed) << 10));
  Audio.SongSeed = seed;
  Audio.SongPan = 0.3;
  Audio.ChordLine.clear();
  Audio.StepIndex = Audio.BlockNumber = Audio.BlockCounter = -1;
  Audio.StepInterval = pairLength / 2;
  for (int& muted : Audio.NextMuted) muted = plat::Rand(0, 1);
  GenerateArrangement();
  Audio.NextStepTime = static_cast<int>(static_cast<uint32_t>(plat::Millisecs()) + 250u);
  Audio.SongPlaying = 1;
}

void UpdateSong() {
  if (!Audio.SongPlaying) return;
  if (!ClockPast(plat::Millisecs(), Audio.NextStepTime)) return;
  // Advancing by whole intervals keeps the tempo; a late player catches up one
  // step per call.
  Audio.NextStepTime = static_cast<int>(static_cast<uint32_t>(Audio.NextStepTime) + static_cast<uint32_t>(Audio.StepInterval));
  TakeStep();
}

void StopSong() {
  Audio.SongPlaying = 0;
  for (int slot = 0; slot < kMusicSlots; ++slot) {
    plat::Channel& channel = Audio.ChannelTable[slot];
    if (channel && plat::ChannelPlaying(channel)) plat::StopChannel(channel);
    channel = 0;
  }
}

void SetSongPan(double pan) { Audio.SongPan = pan; }
