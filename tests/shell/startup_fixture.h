// The fixture of the startup tests, shared with their Linux-only part.
#pragma once

#include <csignal>

#include "config/joysticks.h"
#include "platform/keycodes.h"
#include "testkit/scratch.h"

// The identity the engine derives from a game's table: the window title and the
// number as a three-digit folder.

class StartUpTest : public ScratchTest {
 protected:
  std::vector<std::string> Header() const {
    return {"Corvell's Brindlewood Engine",
            "----------------------------",
            "Week #257",
            "----------------------------",
            "#257 : Puffwick Loopery",
            "----------------------------",
            "",
            "Loading"};
  }
};
