// Sine and cosine in degrees, exact at the quarter turns.
#pragma once

namespace plat {

double Sin(double degrees);
double Cos(double degrees);

}  // namespace plat
