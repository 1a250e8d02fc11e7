// A headless machine in a scratch folder with a music/ folder, small generated
// instrument samples and the music state reset.
#pragma once

#include <cstdint>
#include <string>

#include "testkit/scratch.h"
#include "audio/music.h"
#include "audio/music_arrangement.h"
#include "audio/music_definition.h"
#include "audio/music_samples.h"
#include "audio/sfx.h"

// A 16-bit mono WAV at 8000 Hz holding a square wave.
inline std::string SquareWav(double seconds, int16_t amplitude = 12000) {
  const uint32_t frames = static_cast<uint32_t>(seconds * 8000);
  std::string data;
  for (uint32_t f = 0; f < frames; ++f) {
    const int16_t v = (f / 8) % 2 ? amplitude : static_cast<int16_t>(-amplitude);
    data.push_back(static_cast<char>(v & 0xFF));
    data.push_back(static_cast<char>((v >> 8) & 0xFF));
  }
  auto le32 = [](uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  auto le16 = [](uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
  return "RIFF" + le32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
         le32(8000) + le32(16000) + le16(2) + le16(16) + "data" + le32(static_cast<uint32_t>(data.size())) + data;
}

class MusicTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    MakeDir("music");
    StopSong();
    ResetSfx();
    for (plat::Sound& s : Audio.MusicSamples) s = 0;
    for (int& c : Audio.SampleCount) c = 0;
    Audio.CurrentSong = SongDefinition{};
    Core.Settings[slot::masterVolume] = 50;
    Core.Settings[slot::musicVolume] = 100;
    start_ms_ = plat::Millisecs();
  }
  void TearDown() override {
    StopSong();
    ScratchTest::TearDown();
  }

  // Every sample of every part, each `seconds` long.
  void WriteAllSamples(double seconds = 2.0) {
    for (int entry = 0; entry < 50; ++entry) {
      if (!MusicSamplePath(entry).empty()) WriteBytes(MusicSamplePath(entry), SquareWav(seconds));
    }
    LoadMusicSamples();
  }
  void WriteSong(const std::string& name, const std::string& text) { WriteBytes("music/" + name + ".ini", text); }

  // Milliseconds since the fixture started.
  int Elapsed() const { return plat::Millisecs() - start_ms_; }
  // Runs the player one virtual millisecond at a time until the next step is taken.
  void NextStep() {
    const int before = Audio.StepIndex, blocks = Audio.BlockCounter;
    for (int i = 0; i < 100000 && Audio.StepIndex == before && Audio.BlockCounter == blocks; ++i) {
      machine_->AdvanceTime(1);
      UpdateSong();
    }
  }
  void PlayAllParts() {
    for (int p = 0; p < kPartCount; ++p) Audio.PartMuted[p] = 0;
  }
  plat::MixerChannelInfo Slot(int part) { return machine_->ChannelInfo(Audio.ChannelTable[part]); }

  int start_ms_ = 0;
};
