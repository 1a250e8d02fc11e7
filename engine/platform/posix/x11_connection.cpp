// The X display connection's end. Xlib's own handler for a lost connection calls
// exit(), whose static destructors then wait on the dead connection in the
// window system's shutdown; ours saves and ends the process at once instead.
#include "platform/posix/x11_connection.h"

#include "platform/backend.h"

// Last: Xlib's macros would clash with names in our headers.
#include <X11/Xlib.h>

namespace plat {

namespace {

int OnConnectionLost(Display*) { EndForLostDisplay(); }

}  // namespace

void WatchX11Connection() { XSetIOErrorHandler(OnConnectionLost); }

}  // namespace plat
