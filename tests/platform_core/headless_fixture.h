// The fixture of the headless tests, shared with their Linux-only part.
#pragma once

// The display, flip pacing, input, clock and lifecycle operations, driven through
// the headless backend.
#include <gtest/gtest.h>


#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <vector>

#include "testkit/sanitizer.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

class Headless : public ::testing::Test {
 protected:
  void SetUp() override { hb_ = &plat::UseHeadless(); }
  void TearDown() override { plat::SetNoticeSink(nullptr); }
  plat::HeadlessBackend& hb() { return *hb_; }
  plat::HeadlessBackend* hb_ = nullptr;
};

// ---------------------------------------------------------------- display
