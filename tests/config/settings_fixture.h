// The fixture of the settings tests, shared with their Linux-only part.
#pragma once

#include <climits>
#include <random>

#include "testkit/scratch.h"

struct FieldCase {
  std::string text, sep;
  int n;
  std::string want;
};

class SetupFileTest : public ScratchTest {
 protected:
  plat::HeadlessOptions Options() override {
    plat::HeadlessOptions o;
    o.audioDrivers = drivers_;
    return o;
  }

  void LoadFrom(const std::string& contents) {
    WriteBytes("Setup.ini", contents);
    LoadSetup();
  }

  std::vector<std::string> drivers_ = {"OpenAL"};
};

class SaveTest : public SetupFileTest {
 protected:
  void SetUp() override {
    drivers_ = {"A", "B"};
    SetupFileTest::SetUp();
    MakeDir("Files/257");
    ASSERT_TRUE(plat::ChangeDir("Files/257"));
    LoadSetup();
    Core.FilesFolderPath = At("Files");  // as start-up remembers it
  }
  void TearDown() override {
    Core.FilesFolderPath.clear();
    SetupFileTest::TearDown();
  }
};
