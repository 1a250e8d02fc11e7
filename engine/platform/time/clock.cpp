// The millisecond clock, sleeping, and the date and time texts.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/platform_internal.h"
#include "platform/os.h"

namespace plat {

int Millisecs() {
  // A free-running counter: it may wrap, callers only subtract.
  return static_cast<int>(static_cast<uint32_t>(CurrentBackend().Millisecs()));
}

void Delay(int milliseconds) {
  detail::CheckTermination();
  if (milliseconds > 0) CurrentBackend().Sleep(milliseconds);
}

void DelayPast(int from, double milliseconds) {
  auto elapsed = [from] { return static_cast<int>(static_cast<uint32_t>(Millisecs()) - static_cast<uint32_t>(from)); };
  Backend& backend = CurrentBackend();
  if (backend.WaitsAtFlip()) {
    detail::CheckTermination();
    const double left = std::max(0.0, milliseconds - elapsed());
    backend.WaitAtNextFlipUntil(backend.Millisecs() + static_cast<int64_t>(std::ceil(left)));
    return;
  }
  do {
    Delay(1);
  } while (elapsed() < milliseconds);
}

namespace {

std::tm LocalNow() {
  std::time_t t = CurrentBackend().WallClock();
  std::tm tm{};
  if (!sys::LocalTime(t, tm)) tm = std::tm{};
  return tm;
}

}  // namespace

// Formatted by hand: month names must not follow the user's locale.
std::string CurrentDate() {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm = LocalNow();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d %s %d", tm.tm_mday, kMonths[std::clamp(tm.tm_mon, 0, 11)],
                tm.tm_year + 1900);
  return buf;
}

std::string CurrentTime() {
  std::tm tm = LocalNow();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

}  // namespace plat
