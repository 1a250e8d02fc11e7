// The one shared random generator.
#include <cmath>
#include <string>
#include <utility>

#include "platform/platform_internal.h"

namespace plat {

namespace {

constexpr uint32_t kDefaultSeed = 0x1234;

}  // namespace

void detail::Twister::Seed(uint32_t seed) {
  x_[0] = seed;
  for (uint32_t i = 1; i < kWords; ++i) x_[i] = 1812433253u * (x_[i - 1] ^ (x_[i - 1] >> 30)) + i;
  next_ = kWords;
}

uint32_t detail::Twister::operator()() {
  constexpr size_t kShift = 397;
  constexpr uint32_t kUpper = 0x80000000u, kLower = 0x7fffffffu, kMatrix = 0x9908b0dfu;
  if (next_ >= kWords) {
    for (size_t i = 0; i < kWords; ++i) {
      const uint32_t y = (x_[i] & kUpper) | (x_[(i + 1) % kWords] & kLower);
      x_[i] = x_[(i + kShift) % kWords] ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
    }
    next_ = 0;
  }
  uint32_t z = x_[next_++];
  z ^= z >> 11;
  z ^= (z << 7) & 0x9d2c5680u;
  z ^= (z << 15) & 0xefc60000u;
  return z ^ (z >> 18);
}

std::string detail::Twister::StateText() const {
  std::string text;
  text.reserve(kWords * 11 + 4);
  for (uint32_t word : x_) text += std::to_string(word) + ' ';
  return text + std::to_string(next_);
}

detail::Twister& detail::RandomGenerator() {
  static Twister rng{kDefaultSeed};
  return rng;
}

namespace {

detail::Twister& Generator() { return detail::RandomGenerator(); }

}  // namespace

void detail::ResetRandom() { Generator().Seed(kDefaultSeed); }

int Rand(int low, int high) {
  if (low > high) std::swap(low, high);
  uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;  // 1 .. 2^32
  uint64_t pick = (static_cast<uint64_t>(Generator()()) * range) >> 32;
  return static_cast<int>(static_cast<int64_t>(low) + static_cast<int64_t>(pick));
}

double Rnd(double low, double high) {
  detail::Twister& g = Generator();
  uint64_t a = g() >> 5, b = g() >> 6;
  double unit = (static_cast<double>(a) * 67108864.0 + static_cast<double>(b)) / 9007199254740992.0;
  double v = low + (high - low) * unit;
  // Rounding may land on the excluded end.
  if (v == high && high != low) v = std::nextafter(high, low);
  return v;
}

void SeedRnd(int seed) { Generator().Seed(static_cast<uint32_t>(seed)); }

}  // namespace plat
