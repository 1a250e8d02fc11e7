// A private X server for the tests that need a real window.
#pragma once

#include <string>

namespace realtest {

// Starts Xvfb on a free display and points DISPLAY at it, once per process; the
// server ends with the process. Returns false (with the reason) when no X server
// can be had: Xvfb is missing and DISPLAY is unset.
bool EnsureXServer(std::string* why);

}  // namespace realtest
