// puffwick-music: hears or renders a music definition through the game's own music
// player.
//
//   puffwick-music [--seed N] [--seconds S] [--out FILE.wav] DEFINITION.ini
//
// With --out the song is played on the headless machine's virtual clock and mixed
// here into a 16-bit stereo 44100 Hz WAV, so the same seed and file always give the
// same bytes (without --seed the seed is the clock, which on the virtual clock is
// always the same too). Without --out the song plays through the real audio layer
// for S seconds.
// The definition must sit in a folder named music/; the samples are read from the
// same folder, as the game does.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/music_arrangement.h"
#include "audio/music_samples.h"
#include "audio/sfx.h"
#include "core/settings_table.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr int kOutputRate = 44100;
// Two steps of 125 ms.
constexpr int kPairLength = 250;
// The loudest a rendered sample may be; a louder mix is scaled down as a whole.
constexpr double kCeiling = 0.98;

struct Options {
  int seed = -1;
  double seconds = 60;
  std::string out;
  std::string definition;
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "puffwick-music: %s\n", problem.c_str());
  std::fprintf(stderr, "usage: puffwick-music [--seed N] [--seconds S] [--out FILE.wav] DEFINITION.ini\n");
  return 2;
}

bool ParseNumber(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0' && std::isfinite(value);
}

// One note being rendered: a channel the player started, followed until it ends or
// is cut.
struct Voice {
  plat::Channel channel;
  const plat::PcmData* pcm;
  double position = 0;  // in frames of the sample
};

// Constant power, as the in-memory mixer pans.
std::string Le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Le16(uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }

std::string WavBytes(const std::vector<int16_t>& interleaved) {
  const uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
  std::string out = "RIFF" + Le32(36 + dataBytes) + "WAVEfmt " + Le32(16) + Le16(1) + Le16(2) + Le32(kOutputRate) +
                    Le32(kOutputRate * 4) + Le16(4) + Le16(16) + "data" + Le32(dataBytes);
  out.reserve(out.size() + dataBytes);
  for (int16_t s : interleaved) out += Le16(static_cast<uint16_t>(s));
  return out;
}

double Decibels(double level) { return level > 0 ? 20 * std::log10(level) : -INFINITY; }

// Samples the player may start, by the sound handle the audio layer gave them.
std::map<plat::Sound, plat::PcmData> DecodeSamples() {
  std::map<plat::Sound, plat::PcmData> pcm;
  for (int entry = 0; entry < 50; ++entry) {
    if (!Audio.MusicSamples[entry]) continue;
    plat::PcmData data;
    if (plat::DecodeWav(MusicSamplePath(entry), data)) pcm[Audio.MusicSamples[entry]] = std::move(data);
  }
  return pcm;
}

void ShowNotices() {
  plat::SetNoticeSink([](const std::string& text) { std::fprintf(stderr, "puffwick-music: %s\n", text.c_str()); });
}

int Render(const Options& options, const std::string& name, const fs::path& outPath) {
  plat::HeadlessBackend& machine = plat::UseHeadless();
  ShowNotices();
  LoadMusicSamples();
  const std::map<plat::Sound, plat::PcmData> samples = DecodeSamples();
  if (samples.empty()) {
    std::fprintf(stderr, "puffwick-music: no instrument samples in %s/music\n", plat::CurrentDir().c_str());
    return 1;
  }
  StartSong(name, options.seed, kPairLength);
  if (!Audio.SongPlaying) {
    std::fprintf(stderr, "puffwick-music: music/%s.ini could not be read\n", name.c_str());
    return 1;
  }

  const int64_t milliseconds = static_cast<int64_t>(std::llround(options.seconds * 1000));
  const int64_t frames = milliseconds * kOutputRate / 1000;
  std::vector<double> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
  std::vector<Voice> voices;
  std::set<plat::Channel> seen;
  for (int64_t ms = 0; ms < milliseconds; ++ms) {
    UpdateSong();
    for (int slot = 0; slot < 20; ++slot) {
      const plat::Channel channel = Audio.ChannelTable[slot];
      if (!channel || !seen.insert(channel).second) continue;
      const plat::MixerChannelInfo info = machine.ChannelInfo(channel);
      auto found = samples.find(info.sound);
      if (info.playing && found != samples.end()) voices.push_back(Voice{channel, &found->second});
    }
    const int64_t from = ms * kOutputRate / 1000, to = (ms + 1) * kOutputRate / 1000;
    for (Voice& voice : voices) {
      const plat::MixerChannelInfo info = machine.ChannelInfo(voice.channel);
      const plat::PcmData& pcm = *voice.pcm;
      const int64_t length = static_cast<int64_t>(pcm.samples.size()) / pcm.channels;
      if (!info.playing || info.paused || !(info.rate > 0)) {
        if (!info.playing) voice.position = static_cast<double>(length);  // cut: drop it below
        continue;
      }
      double gainL, gainR;
      plat::PanGains(info.pan, pcm.channels, gainL, gainR);
      gainL *= info.volume / 32768.0;
      gainR *= info.volume / 32768.0;
      const double step = info.rate * pcm.rate / kOutputRate;
      for (int64_t f = from; f < to && voice.position < length; ++f) {
        double l, r;
        plat::SampleAt(pcm, voice.position, l, r);
        left[static_cast<size_t>(f)] += l * gainL;
        right[static_cast<size_t>(f)] += r * gainR;
        voice.position += step;
      }
    }
    std::erase_if(voices, [](const Voice& v) {
      return v.position >= static_cast<double>(v.pcm->samples.size() / v.pcm->channels);
    });
    machine.AdvanceTime(1);
  }
  StopSong();

  double peak = 0;
  for (size_t f = 0; f < left.size(); ++f) peak = std::max({peak, std::fabs(left[f]), std::fabs(right[f])});
  const double gain = peak > kCeiling ? kCeiling / peak : 1.0;
  std::vector<int16_t> interleaved;
  interleaved.reserve(left.size() * 2);
  for (size_t f = 0; f < left.size(); ++f) {
    interleaved.push_back(static_cast<int16_t>(std::lround(left[f] * gain * 32767)));
    interleaved.push_back(static_cast<int16_t>(std::lround(right[f] * gain * 32767)));
  }
  if (!plat::ReplaceFileContents(outPath.string(), WavBytes(interleaved))) {
    std::fprintf(stderr, "puffwick-music: could not write %s\n", outPath.string().c_str());
    return 1;
  }
  std::printf("music/%s.ini, seed %d: %.3f s rendered to %s; mix peak %.1f dBFS", name.c_str(), Audio.SongSeed,
              static_cast<double>(milliseconds) / 1000, outPath.string().c_str(), Decibels(peak));
  if (gain < 1) std::printf(", scaled by %.1f dB to stay below full scale", Decibels(gain));
  std::printf("\n");
  return 0;
}

int Play(const Options& options, const std::string& name) {
  plat::UseBackend(plat::MakeSdlBackend());
  if (!plat::StartServices()) {
    std::fprintf(stderr, "puffwick-music: the platform services could not be started\n");
    return 1;
  }
  // Only now: the services would report the missing window, which a player of music lacks on purpose.
  ShowNotices();
  std::string driver;
  for (const std::string& candidate : plat::AudioDrivers()) {
    if (driver.empty() && plat::Upper(candidate).rfind("OPENAL", 0) == 0) driver = candidate;
  }
  if (driver.empty() || !plat::EnableOpenAL() || !plat::SetAudioDriver(driver)) {
    std::fprintf(stderr, "puffwick-music: no sound device to play on (try --out FILE.wav)\n");
    return 1;
  }
  LoadMusicSamples();
  StartSong(name, options.seed, kPairLength);
  if (!Audio.SongPlaying) {
    std::fprintf(stderr, "puffwick-music: music/%s.ini could not be read\n", name.c_str());
    return 1;
  }
  std::printf("Playing music/%s.ini, seed %d, on %s for %g s\n", name.c_str(), Audio.SongSeed, driver.c_str(),
              options.seconds);
  std::fflush(stdout);
  const int start = plat::Millisecs();
  while (plat::Millisecs() - start < options.seconds * 1000) {
    UpdateSong();
    plat::Delay(1);
  }
  StopSong();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    double number = 0;
    if (arg == "--seed" || arg == "--seconds" || arg == "--out") {
      if (!hasValue) return Usage(arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--out") {
        options.out = value;
      } else if (!ParseNumber(value, number)) {
        return Usage(arg + " takes a number, not '" + value + "'");
      } else if (arg == "--seed") {
        if (number != std::floor(number) || number < INT32_MIN || number > INT32_MAX) {
          return Usage("--seed takes a whole number");
        }
        options.seed = static_cast<int>(number);
      } else {
        if (number < 0 || number > 24 * 3600) return Usage("--seconds takes 0 to 86400");
        options.seconds = number;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage("unknown option " + arg);
    } else if (options.definition.empty()) {
      options.definition = arg;
    } else {
      return Usage("only one definition file, please");
    }
  }
  if (options.definition.empty()) return Usage("no definition file given");

  std::error_code error;
  const fs::path definition = fs::absolute(options.definition, error);
  if (error || !fs::is_regular_file(definition, error)) {
    std::fprintf(stderr, "puffwick-music: %s: no such definition file\n", options.definition.c_str());
    return 1;
  }
  if (definition.extension() != ".ini" || definition.parent_path().filename() != "music") {
    std::fprintf(stderr, "puffwick-music: %s: a definition is NAME.ini inside a folder named music\n",
                 options.definition.c_str());
    return 1;
  }
  const fs::path outPath = options.out.empty() ? fs::path() : fs::absolute(options.out, error);

  // The player reads "music/" NAME ".ini" and the samples from the current folder.
  if (!plat::ChangeDir(definition.parent_path().parent_path().string())) {
    std::fprintf(stderr, "puffwick-music: cannot enter %s\n", definition.parent_path().parent_path().string().c_str());
    return 1;
  }
  Core.Settings[slot::masterVolume] = 100;
  // Half the music volume leaves headroom for five parts sounding together.
  Core.Settings[slot::musicVolume] = 50;

  const std::string name = definition.stem().string();
  return options.out.empty() ? Play(options, name) : Render(options, name, outPath);
}
