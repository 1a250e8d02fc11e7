// Calendar fields from the C runtime's re-entrant calls.
#include <ctime>

#include "platform/os.h"

namespace plat::sys {

bool LocalTime(std::time_t t, std::tm& out) { return localtime_s(&out, &t) == 0; }
bool UniversalTime(std::time_t t, std::tm& out) { return gmtime_s(&out, &t) == 0; }

}  // namespace plat::sys
