// Calendar fields from the C library's re-entrant calls.
#include <ctime>

#include "platform/os.h"

namespace plat::sys {

bool LocalTime(std::time_t t, std::tm& out) { return localtime_r(&t, &out) != nullptr; }
bool UniversalTime(std::time_t t, std::tm& out) { return gmtime_r(&t, &out) != nullptr; }

}  // namespace plat::sys
