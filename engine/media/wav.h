// WAV files as bytes to 16-bit PCM, with no state kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat::media {

struct PcmData {
  int rate = 44100;
  int channels = 1;              // 1 or 2, interleaved
  std::vector<int16_t> samples;  // signed 16-bit
};

enum class WavError {
  kNone,
  kUnreadable,   // not a WAV file, cut short, or a chunk larger than the file
  kUnsupported,  // an encoding we do not play (24-bit PCM, A-law, ADPCM, ...)
  kNoSamples,    // nothing that can be played (an empty data chunk)
};

// Decodes 8, 16 or 32-bit PCM or 32-bit float WAV into 16-bit mono or stereo
// (more channels keep their front left and right). On kNone `out` holds the
// sound; otherwise `out` is untouched and `why` (if given) says what is wrong:
// the reason for kUnreadable, the encoding for kUnsupported.
WavError DecodeWav(const uint8_t* bytes, size_t size, PcmData& out, std::string* why = nullptr);

}  // namespace plat::media
