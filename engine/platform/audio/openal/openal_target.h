// Private to the OpenAL driver: what each target's file set adds to it.
#pragma once

#include <string>
#include <vector>

namespace plat {

// An output a target offers under a name of its own ("DirectSound"): the
// library held to one of its back ends, which it picks once, when it starts.
struct NamedBackend {
  std::string name;     // as the player sees it
  std::string backend;  // the library's name for it
};

// The named outputs this machine has; empty where the library's devices say all.
std::vector<NamedBackend> NamedBackends();
// Holds the library, not yet started, to `backend`; false when the user has
// already chosen its back ends (ALSOFT_DRIVERS), which is left as it is.
bool HoldToBackend(const std::string& backend);

// Before the first device is opened: keeps the library's own failure reports off
// stderr unless the user asked for its log (the driver's log says it in one line).
void QuietOpenAL();

}  // namespace plat
