// Placeholder body; replaced by the real implementation.
#include "platform/backend.h"

namespace plat {

std::unique_ptr<Backend> MakeSdlBackend() { return nullptr; }

}  // namespace plat
