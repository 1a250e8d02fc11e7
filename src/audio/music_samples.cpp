#include "audio/music_samples.h"

#include <string>

plat::Sound MusicSamples[50] = {};
int SampleCount[5] = {};

namespace {

void Reload(int entry, const std::string& path) {
  plat::FreeSound(MusicSamples[entry]);
  MusicSamples[entry] = plat::LoadSound(path, 0);
}

}  // namespace

void LoadMusicSamples() {
  for (int n = 1; n <= 8; ++n) {
    const std::string num = std::to_string(n);
    Reload(n, "music/d1-" + num + ".wav");
    Reload(10 + n, "music/d2-" + num + ".wav");
    // A melodic count is only written when that sample exists; counting upwards
    // leaves the highest one found.
    const char* melodic[3] = {"music/bass", "music/lead", "music/accompany"};
    for (int part = 0; part < 3; ++part) {
      const std::string path = melodic[part] + num + ".wav";
      Reload(20 + 10 * part + n, path);
      if (plat::FileType(path) == 1) SampleCount[part + 1] = n;
    }
  }
}
