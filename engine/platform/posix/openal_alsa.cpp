// OpenAL Soft over ALSA on a desktop.
#include <alsa/asoundlib.h>

#include <cstdlib>

#include "platform/audio/openal/openal_target.h"

namespace plat {

namespace {

// ALSA's own error lines ("ALSA lib ...") for every device it fails to open.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietOpenAL() {
  // The library and the ALSA it loads report every failed back end on stderr; a
  // machine without a sound card is normal for us, and the log says so in one
  // line, so stay quiet unless the user asked for OpenAL's log.
  const char* level = std::getenv("ALSOFT_LOGLEVEL");
  if (!level || std::atoi(level) <= 0) snd_lib_error_set_handler(QuietAlsa);
  setenv("ALSOFT_LOGLEVEL", "0", 0);
}

// OpenAL Soft's devices name every output Linux has.
std::vector<NamedBackend> NamedBackends() { return {}; }

bool HoldToBackend(const std::string& backend) {
  if (std::getenv("ALSOFT_DRIVERS")) return false;
  return setenv("ALSOFT_DRIVERS", backend.c_str(), 1) == 0;
}

}  // namespace plat
