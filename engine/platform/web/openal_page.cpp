// The browser's OpenAL speaks through Web Audio: no ALSA and no back ends to try,
// so nothing reports on its own.
#include "platform/audio/openal/openal_target.h"

namespace plat {

void QuietOpenAL() {}

}  // namespace plat
