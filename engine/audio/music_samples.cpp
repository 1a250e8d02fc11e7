#include "audio/music_samples.h"

std::string MusicSamplePath(int entry) {
  static const char* const kPrefixes[5] = {"music/d1-", "music/d2-", "music/bass", "music/lead", "music/accompany"};
  if (entry < 0 || entry >= 50) return "";
  const int part = entry / 10, n = entry % 10;
  if (n < 1 || n > 8) return "";
  return kPrefixes[part] + std::to_string(n) + ".wav";
}

void LoadMusicSamples() {
  for (int entry = 0; entry < 50; ++entry) {
    const std::string path = MusicSamplePath(entry);
    if (path.empty()) continue;
    plat::FreeSound(Audio.MusicSamples[entry]);
    Audio.MusicSamples[entry] = plat::LoadSound(path, 0);
    // A melodic count is only written when that sample exists; counting upwards
    // leaves the highest one found.
    if (entry >= 20 && plat::FileType(path) == plat::kFileTypeFile) Audio.SampleCount[entry / 10 - 1] = entry % 10;
  }
}
