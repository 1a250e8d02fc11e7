// WAV decoding through SDL's loader, which needs no audio device: the header is
// checked first, then the samples are converted to 16-bit PCM.
#include "media/wav.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace plat::media {
namespace {

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

WavError DecodeWav(const uint8_t* bytes, size_t size, PcmData& out, std::string* why) {
  auto fail = [why](WavError error, std::string text) {
    if (why) *why = std::move(text);
    return error;
  };
  const std::vector<unsigned char> file(bytes, bytes + size);
  if (std::string overrun = ChunkOverrun(file); !overrun.empty()) return fail(WavError::kUnreadable, overrun);

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
  if (!loaded) return fail(WavError::kUnreadable, SDL_GetError());

  std::string unsupported = UnsupportedEncoding(file);
  WavError result = WavError::kNone;
  if (!unsupported.empty()) {
    result = fail(WavError::kUnsupported, unsupported);
  } else {
    PcmData pcm;
    // An empty data chunk gives no buffer at all: there is nothing to convert.
    if (data != nullptr && length > 0 && Convert(spec, data, length, pcm)) {
      out = std::move(pcm);
    } else {
      result = fail(WavError::kNoSamples, "");
    }
  }
  SDL_FreeWAV(data);
  return result;
}

}  // namespace plat::media
