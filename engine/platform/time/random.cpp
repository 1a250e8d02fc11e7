// The one shared random generator.
#include <cmath>
#include <random>

#include "platform/platform_internal.h"

namespace plat {

namespace {

constexpr uint32_t kDefaultSeed = 0x1234;

}  // namespace

std::mt19937& detail::RandomGenerator() {
  static std::mt19937 rng{kDefaultSeed};
  return rng;
}

namespace {

std::mt19937& Generator() { return detail::RandomGenerator(); }

}  // namespace

void detail::ResetRandom() { Generator().seed(kDefaultSeed); }

int Rand(int low, int high) {
  if (low > high) std::swap(low, high);
  uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;  // 1 .. 2^32
  uint64_t pick = (static_cast<uint64_t>(Generator()()) * range) >> 32;
  return static_cast<int>(static_cast<int64_t>(low) + static_cast<int64_t>(pick));
}

double Rnd(double low, double high) {
  std::mt19937& g = Generator();
  uint64_t a = g() >> 5, b = g() >> 6;
  double unit = (static_cast<double>(a) * 67108864.0 + static_cast<double>(b)) / 9007199254740992.0;
  double v = low + (high - low) * unit;
  // Rounding may land on the excluded end.
  if (v == high && high != low) v = std::nextafter(high, low);
  return v;
}

void SeedRnd(int seed) { Generator().seed(static_cast<uint32_t>(seed)); }

}  // namespace plat
