// PNG files as bytes to and from RGBA8 pixels (libpng), with no state kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat::media {

// Large enough for any screen grab; small enough that bad sizes cannot exhaust memory.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
constexpr int kMaxSide = 16384;

// Any PNG (every colour type and bit depth) to RGBA8, top row first. False for a
// truncated or foreign file, or one larger than the limits above.
bool DecodePng(const uint8_t* bytes, size_t size, int& w, int& h, std::vector<uint8_t>& rgba);

// RGBA8 pixels (w*h*4, top row first) as a PNG file's bytes, appended to `out`,
// at zlib compression level `level` (0..9).
bool EncodePng(const uint8_t* rgba, int w, int h, int level, std::string& out);

}  // namespace plat::media
