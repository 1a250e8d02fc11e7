// Timestamps of score records: pseudo-seconds with 31-day months, and their texts.
#pragma once

#include <cstdint>
#include <string>

// The date text ("07 DEC 2010" form; today when empty) and the current time as a
// timestamp: ((year * 12 + month) * 31 + day) * 86400 + h * 3600 + m * 60 + s.
int64_t MakeTimestamp(const std::string& dateText);
// "hh:mm:ss" of a timestamp.
std::string TimestampTime(int64_t t);
// "dd-mm-yyyy" of a timestamp.
std::string TimestampDate(int64_t t);
