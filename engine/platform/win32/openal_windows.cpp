// OpenAL Soft on Windows (WASAPI, DirectSound or WinMM): no ALSA below it.
#include <cstdlib>

#include "platform/audio/openal/openal_target.h"

namespace plat {

void QuietOpenAL() {
  // The library reports every back end it fails to open; the log says what
  // matters in one line, so stay quiet unless the user asked for OpenAL's log.
  if (!std::getenv("ALSOFT_LOGLEVEL")) _putenv_s("ALSOFT_LOGLEVEL", "0");
}

}  // namespace plat
