// Sounds and channels: WAV decoding through SDL, and the channel operations, which
// go to the current backend's audio driver. Handle 0 is "none" and does nothing.
#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cstdio>
#include <filesystem>

#include "platform/backend.h"
#include "platform/platform_internal.h"

namespace plat {
namespace {

AudioDriver* Audio() { return &CurrentBackend().Audio(); }

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// SDL's loader decodes some encodings we do not offer (24-bit PCM, A-law, mu-law,
// ADPCM) into the same sample formats as the supported ones, so the encoding is
// read from the header. Returns a description of an unsupported encoding, or ""
// when it is one we play (8, 16 or 32-bit PCM, 32-bit float).
std::string UnsupportedEncoding(const std::vector<unsigned char>& file) {
  size_t pos = 12;
  while (pos + 8 <= file.size()) {
    uint32_t size = Le32(&file[pos + 4]);
    if (std::memcmp(&file[pos], "fmt ", 4) == 0 && size >= 16 && pos + 8 + 16 <= file.size()) {
      const unsigned char* fmt = &file[pos + 8];
      unsigned tag = Le16(fmt);
      unsigned bits = Le16(fmt + 14);
      // WAVE_FORMAT_EXTENSIBLE keeps the real tag in its sub-format.
      if (tag == 0xFFFE && size >= 40 && pos + 8 + 40 <= file.size()) tag = Le16(fmt + 24);
      if (tag == 1 && (bits == 8 || bits == 16 || bits == 32)) return "";
      if (tag == 3 && bits == 32) return "";
      if (tag == 1 || tag == 3) return std::to_string(bits) + "-bit " + (tag == 1 ? "PCM" : "float");
      switch (tag) {
        case 2: return "MS ADPCM";
        case 6: return "A-law";
        case 7: return "mu-law";
        case 0x11: return "IMA ADPCM";
        default: return "format tag " + std::to_string(tag);
      }
    }
    pos += 8 + size + (size & 1);  // chunks are padded to even sizes
  }
  return "";  // SDL found a format chunk we could not; let its result stand
}

// A chunk that claims more bytes than the file holds would make the decoder
// allocate (or seek through) whatever the header asks, gigabytes included, so
// every chunk is measured against the real file first. Returns why the file is
// refused, or "" when its chunks fit. Only the pad byte of the last chunk may be
// missing, and a few stray bytes after the last chunk are left alone.
std::string ChunkOverrun(const std::vector<unsigned char>& file) {
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(&file[8], "WAVE", 4) != 0) {
    return "";  // not a WAV file at all: the decoder says so itself
  }
  uint64_t pos = 12;
  while (pos + 8 <= file.size()) {
    uint64_t size = Le32(&file[pos + 4]);
    if (pos + 8 + size > file.size()) {
      return "the chunk \"" + std::string(reinterpret_cast<const char*>(&file[pos]), 4) + "\" claims " +
             std::to_string(size) + " bytes, more than the file holds";
    }
    pos += 8 + size + (size & 1);
  }
  return "";
}

// Turns the decoded samples into 16-bit mono or stereo PCM.
bool Convert(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length, PcmData& out) {
  int channels = spec.channels > 2 ? 2 : spec.channels;
  int convertTo = channels;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, convertTo, spec.freq) < 0) {
    // A layout SDL cannot fold down: convert the samples only and keep front left/right.
    convertTo = spec.channels;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, convertTo, spec.freq) < 0) {
      return false;
    }
  }
  std::vector<Uint8> buffer(static_cast<size_t>(length) * std::max(cvt.len_mult, 1));
  std::memcpy(buffer.data(), data, length);
  cvt.buf = buffer.data();
  cvt.len = static_cast<int>(length);
  if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) return false;
  int bytes = cvt.needed ? cvt.len_cvt : static_cast<int>(length);
  size_t samples = static_cast<size_t>(bytes) / 2;
  size_t frames = samples / convertTo;
  if (frames == 0) return false;
  const int16_t* s = reinterpret_cast<const int16_t*>(buffer.data());
  out.rate = spec.freq;
  out.channels = channels;
  out.samples.resize(frames * channels);
  if (convertTo == channels) {
    std::memcpy(out.samples.data(), s, frames * channels * sizeof(int16_t));
  } else {
    for (size_t f = 0; f < frames; ++f) {
      out.samples[2 * f] = s[f * convertTo];
      out.samples[2 * f + 1] = s[f * convertTo + 1];
    }
  }
  return true;
}

}  // namespace

bool DecodeWav(const std::string& logical, PcmData& out) {
  const std::string path = detail::ReadPath(logical);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::vector<unsigned char> file;
  if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) file.insert(file.end(), chunk, chunk + got);
    std::fclose(in);
  }
  if (file.empty()) return false;
  if (std::string overrun = ChunkOverrun(file); !overrun.empty()) {
    Notice("Could not read sound file " + path + ": " + overrun);
    return false;
  }

  // Refuse files cut short instead of playing a fragment of them; the RIFF size
  // itself is often wrong in files from some editors and is not checked.
  const char* hint = SDL_GetHint(SDL_HINT_WAVE_TRUNCATION);
  bool hadHint = hint != nullptr;
  std::string previous = hadHint ? hint : "";
  SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
  SDL_AudioSpec spec;
  Uint8* data = nullptr;
  Uint32 length = 0;
  SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
  bool loaded = rw && SDL_LoadWAV_RW(rw, 1, &spec, &data, &length) != nullptr;
  SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, hadHint ? previous.c_str() : nullptr);
  if (!loaded) {
    Notice("Could not read sound file " + path + ": " + SDL_GetError());
    return false;
  }

  std::string unsupported = UnsupportedEncoding(file);
  bool ok = false;
  if (!unsupported.empty()) {
    Notice("Sound file " + path + " uses an unsupported WAV encoding (" + unsupported + ")");
  } else {
    PcmData pcm;
    // An empty data chunk gives no buffer at all: there is nothing to convert.
    ok = data != nullptr && length > 0 && Convert(spec, data, length, pcm);
    if (ok) {
      out = std::move(pcm);
    } else {
      Notice("Sound file " + path + " holds no samples that can be played");
    }
  }
  SDL_FreeWAV(data);
  return ok;
}

std::vector<std::string> AudioDrivers() {
  AudioDriver* audio = Audio();
  return audio ? audio->DriverNames() : std::vector<std::string>{};
}

bool AudioDriverExists(const std::string& name) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::string wanted = lower(name);
  for (const std::string& driver : AudioDrivers()) {
    if (lower(driver) == wanted) return true;
  }
  return false;
}

bool SetAudioDriver(const std::string& name) {
  AudioDriver* audio = Audio();
  return audio && audio->SelectDriver(name);
}

bool EnableOpenAL() {
  AudioDriver* audio = Audio();
  return audio && audio->EnableOpenAL();
}

Sound LoadSound(const std::string& path, int flags) {
  detail::CheckTermination();  // loading can be long: a termination signal ends it
  AudioDriver* audio = Audio();
  PcmData pcm;
  if (!audio || !DecodeWav(path, pcm)) return 0;
  return audio->CreateSound(pcm);
}

void FreeSound(Sound sound) {
  if (AudioDriver* audio = Audio(); audio && sound) audio->FreeSound(sound);
}

Channel AllocChannel() {
  AudioDriver* audio = Audio();
  return audio ? audio->AllocChannel() : 0;
}

Channel CueSound(Sound sound, Channel channel) {
  AudioDriver* audio = Audio();
  if (!audio || !sound) return 0;
  if (!channel) channel = audio->AllocChannel();
  if (channel) audio->Cue(channel, sound);
  return channel;
}

Channel PlaySound(Sound sound, Channel channel) {
  channel = CueSound(sound, channel);
  if (channel) Audio()->SetPaused(channel, false);
  return channel;
}

void StopChannel(Channel channel) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->Stop(channel);
}

void SetChannelPaused(Channel channel, bool paused) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetPaused(channel, paused);
}

void SetChannelVolume(Channel channel, double volume) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetVolume(channel, volume);
}

void SetChannelPan(Channel channel, double pan) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetPan(channel, pan);
}

void SetChannelDepth(Channel channel, double depth) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetDepth(channel, depth);
}

void SetChannelRate(Channel channel, double rate) {
  if (AudioDriver* audio = Audio(); audio && channel) audio->SetRate(channel, rate);
}

bool ChannelPlaying(Channel channel) {
  AudioDriver* audio = Audio();
  return audio && channel && audio->Playing(channel);
}

int LiveChannelCount() { return Audio()->LiveChannels(); }

}  // namespace plat
