// Placeholder bodies; replaced by the real implementation.
#include <cstdlib>

#include "platform/backend.h"

namespace plat {

Font LoadImageFont(const std::string& path, int pixelSize, int styleFlags) { return 0; }
void FreeFont(Font font) {  }

}  // namespace plat
