// The millisecond clock, sleeping, the date and the shared random generator.
#pragma once

#include <string>

namespace plat {

// ---------------------------------------------------------------- time
int Millisecs();
void Delay(int milliseconds);
// Sleeps at least once, then in 1 ms steps until `milliseconds` have passed since
// the clock read `from`. A page sleeps that long after the next flip instead.
void DelayPast(int from, double milliseconds);
std::string CurrentDate();  // "%d %b %Y"
std::string CurrentTime();  // "%H:%M:%S"

// ---------------------------------------------------------------- random
int Rand(int low, int high);          // inclusive, either order
double Rnd(double low, double high);  // [low, high)
void SeedRnd(int seed);

}  // namespace plat
