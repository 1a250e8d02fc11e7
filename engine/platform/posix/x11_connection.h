// Private to the SDL backend: what happens when the X display connection is lost.
#pragma once

namespace plat {

// Installs the handler for a lost X connection (see EndForLostDisplay).
void WatchX11Connection();

}  // namespace plat
