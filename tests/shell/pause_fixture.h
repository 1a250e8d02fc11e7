// The fixture of the pause tests, shared with their Linux-only part.
#pragma once

// The pause menu and screenshots, driven through EndFrame on the headless machine.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "config/input.h"
#include "config/joysticks.h"
#include "config/sprite_budget.h"
#include "platform/keycodes.h"
#include "testkit/scratch.h"
#include "shell/pause.h"

using plat::DrawCall;

class PauseTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    InstallServices();
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    Frame.LastFrameTime = plat::Millisecs();
  }

  // Input scripted by pause frame (1 = the menu's first frame; 0 = already held
  // in the game): keys pressed on a frame stay held until a step releases them.
  struct Step {
    int frame;
    int key;
    bool press;
  };
  // Opens the pause from a game frame with Escape, plays the steps, and returns
  // EndFrame's result. Escape, when a step presses it, is let go 20 ms later.
  int PauseWith(std::vector<Step> steps) {
    Core.GameState = kStatePlaying;
    for (const Step& s : steps) {
      if (s.frame == 0) machine_->ScriptInput().PressKey(s.key);
    }
    machine_->ScriptInput().PressKey(plat::kKeyEscape);
    machine_->At(machine_->Now() + 30, [](plat::InputState& in) { in.ReleaseKey(plat::kKeyEscape); });
    const int first = machine_->FramesPresented() + 1;
    machine_->OnFrame([this, first, steps](int presented) {
      const int frame = presented - first + 1;
      for (const Step& s : steps) {
        if (s.frame != frame) continue;
        if (!s.press) {
          machine_->ScriptInput().ReleaseKey(s.key);
          continue;
        }
        machine_->ScriptInput().PressKey(s.key);
        if (s.key == plat::kKeyEscape) {
          machine_->At(machine_->Now() + 20, [](plat::InputState& in) { in.ReleaseKey(plat::kKeyEscape); });
        }
      }
      cursorSeen_[frame] = Shell.PauseCursor;
      // The item drawn in yellow and indented on this frame (-1: none, 2: more than one).
      int lit = -1;
      for (const DrawCall& c : machine_->CurrentFrameCalls()) {
        if (c.kind != DrawCall::kText || (c.text != "Continue" && c.text != "Quit")) continue;
        const bool yellow = c.r == 255 && c.g == 255 && c.b == 0;
        EXPECT_EQ(c.x, yellow ? 158 : 138) << c.text;
        if (yellow) lit = lit < 0 ? (c.text == "Quit" ? 1 : 0) : 2;
      }
      litSeen_[frame] = lit;
    });
    machine_->SetFrameCap(machine_->FramesPresented() + 200);  // a menu that never ends fails
    const int result = EndFrame(1);
    machine_->OnFrame(nullptr);
    return result;
  }

  std::map<int, int> cursorSeen_;
  std::map<int, int> litSeen_;
};

class ScreenshotTest : public PauseTest {
 protected:
  void SetUp() override {
    PauseTest::SetUp();
    MakeDir("Files/257");
    Core.FilesFolderPath = At("Files");
    Core.GameFolderPath = At("Files/257");
    ASSERT_TRUE(plat::ChangeDir(Core.GameFolderPath));
    ASSERT_TRUE(OpenLog(At("Files/Debug.txt")));
  }

  // A frame of one colour with a white square at the top left, then F11.
  void ShootFrame(int r, int g, int b) {
    BeginFrameDrawing(1);
    SetColorAlpha(r, g, b);
    plat::DrawRect(0, 0, 1280, 960);
    SetColorAlpha(255, 255, 255);
    plat::DrawRect(0, 0, 160, 160);  // 100 real pixels
    machine_->ScriptInput().PressKey(plat::kKeyF11);
    EndFrame(1);
    machine_->ScriptInput().ReleaseKey(plat::kKeyF11);
  }

  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(At(folder))) {
      if (e.is_regular_file()) names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  const std::string kName = "Puffwick Loopery (Screenshot_07 Dec 2010_153012).png";
};
