// Timestamps from the date and clock, and their texts.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "scores/timestamp.h"

namespace {

// A headless machine whose wall clock reads the given local date and time.
void ClockAt(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  plat::HeadlessOptions options;
  options.wallClock = std::mktime(&tm);
  plat::UseHeadless(options);
}

TEST(Timestamp, TextsOfTimestampsMadeFromTheClock) {
  const struct {
    int year, month, day, hour, minute, second;
    const char* date;  // the date text passed in; "" for today
    const char* time;
    const char* dateText;
  } cases[] = {
      {2026, 12, 15, 12, 34, 56, "", "12:34:56", "15-12-2026"},
      {2026, 1, 31, 0, 0, 0, "", "00:00:00", "31-01-2026"},
      {2026, 1, 1, 9, 5, 7, "", "09:05:07", "01-01-2026"},
      {2026, 1, 1, 23, 59, 59, "07 DEC 2010", "23:59:59", "07-12-2010"},
      {2026, 1, 1, 0, 0, 1, "07 dec 2010", "00:00:01", "07-12-2010"},
  };
  for (const auto& c : cases) {
    ClockAt(c.year, c.month, c.day, c.hour, c.minute, c.second);
    int64_t t = MakeTimestamp(c.date);
    EXPECT_EQ(TimestampTime(t), c.time) << c.time;
    EXPECT_EQ(TimestampDate(t), c.dateText) << c.dateText;
  }
  ClockAt(2026, 12, 15, 12, 34, 56);
  EXPECT_EQ(MakeTimestamp(""), ((2026LL * 12 + 12) * 31 + 15) * 86400 + 12 * 3600 + 34 * 60 + 56);
}

TEST(Timestamp, EveryMonthNameGivesItsNumber) {
  ClockAt(2026, 1, 1, 0, 0, 0);
  const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  for (int m = 1; m <= 12; m++) {
    const int64_t t = MakeTimestamp(std::string("07 ") + months[m - 1] + " 2010");
    EXPECT_EQ(t, ((2010LL * 12 + m) * 31 + 7) * 86400) << months[m - 1];
    EXPECT_EQ(TimestampDate(t), std::string("07-") + (m < 10 ? "0" : "") + std::to_string(m) + "-2010");
  }
}

TEST(Timestamp, OddDatesAndWideFields) {
  ClockAt(2026, 1, 1, 0, 0, 0);
  // No month matches: month 0, which sorts before January of the same year.
  EXPECT_EQ(MakeTimestamp("07 XYZ 2010"), (2010LL * 12 * 31 + 7) * 86400);
  EXPECT_LT(MakeTimestamp("07 XYZ 2010"), MakeTimestamp("01 JAN 2010"));
  // A year too wide for four digits loses its leading digits.
  EXPECT_EQ(TimestampDate(((12345LL * 12 + 3) * 31 + 4) * 86400), "04-03-2345");
  EXPECT_EQ(TimestampTime(99 * 3600 + 61), "03:01:01");
}

}  // namespace
