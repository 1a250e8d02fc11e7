// The fixture of the options tests, shared with their Linux-only part.
#pragma once

// The command line, where files live, and a start with saving off.
#include "testkit/scratch.h"
#include "shell/options.h"
#include "shell/pause.h"
#include "shell/places.h"

class SavingOff : public ScratchTest {
 protected:
  void TearDown() override {
    plat::UnmountFileRoots();
    Shell.FilePlacesProblem.clear();
    ScratchTest::TearDown();
  }
};
