// The engine test (sprite budgets): measures how many sprites this machine draws while holding a
// frame rate, and sets the per-frame sprite budgets from it.
#pragma once

constexpr int kEngineTestFirstStep = 500;
constexpr int kEngineTestLastStep = 20000;
constexpr int kEngineTestFramesPerStep = 8;

// target: frames per second to hold; scale: the test sprites' scale. Sets
// the main, glow and particle budgets (Draw.DrawLimit), Config.TargetFps, and slowSystem when
// the machine is too slow.
void EngineTest(int target, int scale);

#include "config/config_state.h"  // the floor's record, Config
