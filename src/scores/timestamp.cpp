#include "scores/timestamp.h"

// Stand-in until the date texts are built.
int64_t MakeTimestamp(const std::string&) { return 0; }
std::string TimestampTime(int64_t) { return "00:00:00"; }
std::string TimestampDate(int64_t) { return "00-00-0000"; }
