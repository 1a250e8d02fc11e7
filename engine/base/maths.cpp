// Sine and cosine in degrees.
#include <cmath>

#include "base/maths.h"

namespace plat {

// Exact at the quarter turns and the common halves, so that movement along the
// axes stays on whole pixels.
double Sin(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  if (d == 0 || d == 180) return 0;
  if (d == 90) return 1;
  if (d == 270) return -1;
  if (d == 30 || d == 150) return 0.5;
  if (d == 210 || d == 330) return -0.5;
  return std::sin(d * (M_PI / 180.0));
}

double Cos(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  if (d == 90 || d == 270) return 0;
  if (d == 0) return 1;
  if (d == 180) return -1;
  if (d == 60 || d == 300) return 0.5;
  if (d == 120 || d == 240) return -0.5;
  return std::cos(d * (M_PI / 180.0));
}

}  // namespace plat
