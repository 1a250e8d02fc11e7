// The browser's OpenAL speaks through Web Audio: no ALSA and no back ends to try,
// so nothing reports on its own.
#include "platform/audio/openal/openal_target.h"

namespace plat {

void QuietOpenAL() {}

std::vector<NamedBackend> NamedBackends() { return {}; }

bool HoldToBackend(const std::string&) { return false; }

}  // namespace plat
