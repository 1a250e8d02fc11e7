// What the two audio drivers share.
#pragma once

namespace plat::audio {

// Rates beyond this are played at it; the music's note ratios stay well below.
constexpr double kMaxRate = 64.0;

// Clamps a channel setting; NaN goes low.
inline double Clamp(double v, double low, double high) {
  if (!(v >= low)) return low;
  if (!(v <= high)) return high;
  return v;
}

}  // namespace plat::audio
