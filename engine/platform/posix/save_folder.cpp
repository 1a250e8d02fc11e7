// A desktop's save folder is the disk itself: nothing to hand on once a file is
// written, and a saved file is already where the player can take it.
#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace plat {

void detail::SaveFolderChanged() {}
void detail::WaitForSaveFolder(int) {}
void OfferDownload(const std::string&) {}

}  // namespace plat
