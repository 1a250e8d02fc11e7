// The fixture of the display setup tests, shared with their Linux-only part.
#pragma once

// Display setup, the shared assets, the game's media and the engine test, on the
// headless machine.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "testkit/scratch.h"
#include "audio/sfx.h"
#include "config/display_setup.h"
#include "config/sprite_budget.h"
#include "scores/scores.h"
#include "shell/startup.h"

// What the game's media step saw (the fixture's stand-in for a game).
inline int g_mediaLoads = 0;
inline std::string g_mediaFolder;

class DisplaySetupTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    MakeDir("Files/257");
    MakeDir("Files/Common");
    ASSERT_TRUE(plat::ChangeDir(At("Files")));
    ASSERT_TRUE(OpenLog("Debug.txt"));
    ASSERT_TRUE(plat::ChangeDir("257/"));
    Config.ModeCount = 0;
    Core.ScreenWidth = 800;
    Core.ScreenHeight = 600;
    Config.GraphicsStarted = 0;
    ResetSfx();
    Core.Settings[slot::width] = 800;
    Core.Settings[slot::height] = 600;
    Core.Settings[slot::masterVolume] = Core.Settings[slot::soundVolume] = 50;
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    // A game's media step, as a game of the series has it: the engine test first.
    g_mediaLoads = 0;
    Config.DisplayHooks.LoadGameMedia = [] {
      ++g_mediaLoads;
      g_mediaFolder = plat::CurrentDir();
      EngineTest(60, 2);
    };
    Core.FilesFolderPath = At("Files");
  }

  plat::HeadlessOptions Options() override {
    plat::HeadlessOptions o;
    o.modes = modes_;
    return o;
  }

  // The repository's media in the scratch Files/ folder; false when they are absent.
  bool CopyMedia() {
    namespace fs = std::filesystem;
    const fs::path files = fs::path(PUFFWICK_SOURCE_DIR) / "Files";
    if (!fs::exists(files / "257" / "track.png")) return false;
    const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    fs::copy(files / "Common", At("Files/Common"), options);
    fs::copy(files / "257", At("Files/257"), options);
    fs::remove(At("Files/257/scores.dat"));
    return true;
  }

  std::vector<std::string> Log() {
    return ReadLines("Files/Debug.txt");
  }
  bool Logged(const std::string& line) {
    std::vector<std::string> lines = Log();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  std::vector<plat::DisplayMode> modes_ = {{640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 24, 60},
                                           {800, 600, 32, 60}, {1024, 600, 32, 60}, {1024, 768, 32, 60},
                                           {1280, 800, 32, 60}, {1366, 768, 32, 60}, {1280, 1024, 32, 60},
                                           {1680, 1050, 32, 60}, {1920, 1080, 32, 60}, {1920, 1080, 32, 75}};
};
