#include "scores/timestamp.h"


#include "platform/platform.h"

namespace {

constexpr int64_t kDay = 24 * 60 * 60;

// The decimal number appended to zeros and cut to its last `width` characters, so
// a number too wide loses its leading digits.
std::string Digits(int64_t value, int width) {
  std::string text = std::string(static_cast<size_t>(width), '0') + std::to_string(value);
  return text.substr(text.size() - static_cast<size_t>(width));
}

int64_t WholeNumber(const std::string& text) {
  int v = plat::ToInt(text);
  return v < 0 ? -static_cast<int64_t>(v) : v;
}

}  // namespace

int64_t MakeTimestamp(const std::string& dateText) {
  static const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  // The platform writes the month as "Dec"; the stored form is capitals.
  const std::string date = dateText.empty() ? plat::CurrentDate() : dateText;
  const std::string time = plat::CurrentTime();

  const int64_t year = WholeNumber(plat::Mid(date, 8, 4));
  const int64_t day = WholeNumber(plat::Mid(date, 1, 2));
  const int64_t hour = WholeNumber(plat::Mid(time, 1, 2));
  const int64_t minute = WholeNumber(plat::Mid(time, 4, 2));
  const int64_t second = WholeNumber(plat::Mid(time, 7, 2));
  const std::string monthText = plat::Upper(plat::Mid(date, 4, 3));
  int64_t month = 0;
  for (int m = 0; m < 12; m++) {
    if (monthText == kMonths[m]) month = m + 1;
  }
  return year * 12 * 31 * kDay + month * 31 * kDay + day * kDay + hour * 3600 + minute * 60 + second;
}

std::string TimestampTime(int64_t t) {
  const int64_t second = t % 60;
  t /= 60;
  const int64_t minute = t % 60;
  t /= 60;
  const int64_t hour = t % 24;
  return Digits(hour, 2) + ":" + Digits(minute, 2) + ":" + Digits(second, 2);
}

std::string TimestampDate(int64_t t) {
  const int64_t days = t / kDay;
  const int64_t e = days - 32;  // takes off the smallest month-and-day part, 1 January
  const int64_t day = e % 31 + 1;
  const int64_t m = e / 31;
  const int64_t month = m % 12 + 1;
  const int64_t year = m / 12;
  return Digits(day, 2) + "-" + Digits(month, 2) + "-" + Digits(year, 4);
}
