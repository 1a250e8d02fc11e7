// Placeholder body; replaced by the real implementation.
#include "platform/backend.h"

namespace plat {

std::unique_ptr<AudioDriver> MakeOpenALAudio() { return nullptr; }

}  // namespace plat
