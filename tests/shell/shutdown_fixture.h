// The fixture of the shutdown tests, shared with their Linux-only part.
#pragma once

// The shutdown: everything saved before the farewell screen shows, the screen
// itself, and what closes it.
#include <algorithm>
#include <csignal>
#include <filesystem>

#include "config/input.h"
#include "config/joysticks.h"
#include "platform/keycodes.h"
#include "scores/scores.h"
#include "testkit/scratch.h"
#include "shell/shutdown.h"

using plat::DrawCall;

class ShutdownTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    MakeDir("Files/257");
    MakeDir("Files/Common");
    Core.FilesFolderPath = At("Files");
    Core.GameFolderPath = At("Files/257");
    ASSERT_TRUE(plat::ChangeDir(Core.GameFolderPath));
    ASSERT_TRUE(OpenLog(At("Files/Debug.txt")));
    LoadSetup();
    HighScores.ScoreList.clear();
    Scores record;
    record.Score = 1234;
    record.Name = "Tester";
    AddScore(record);
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    InstallServices();
    // Whatever the farewell frame shows and what had been saved by then.
    machine_->OnFrame([this](int) {
      if (plat::GraphicsWidth() != 640) return;
      farewellShownAt_ = machine_->Now();
      farewellCalls_ = machine_->CurrentFrameCalls();
      setupSaved_ = plat::FileType(At("Files/Setup.ini")) == plat::kFileTypeFile;
      scoresSaved_ = plat::FileType(At("Files/257/scores.dat")) == plat::kFileTypeFile;
      if (onFarewell_) onFarewell_();
    });
    machine_->SetRecording(true);
    Shell.SaveStage = EndSaveStage::kAllRead;
  }

  void TearDown() override {
    Config.JoystickCount = 0;
    ScratchTest::TearDown();
  }

  std::vector<std::string> LogTail(size_t lines) {
    std::vector<std::string> log = ReadLines("Files/Debug.txt");
    return std::vector<std::string>(log.end() - static_cast<long>(std::min(lines, log.size())), log.end());
  }

  // Runs until the process ends; returns its exit code (-1 if it never did).
  template <typename Fn>
  int UntilEnd(Fn run) {
    try {
      run();
    } catch (const plat::ProcessEnded& end) {
      endedAt_ = machine_->Now();
      return end.code;
    }
    return -1;
  }

  plat::InputState& Keys() { return machine_->ScriptInput(); }

  int64_t farewellShownAt_ = -1, endedAt_ = -1;
  std::vector<DrawCall> farewellCalls_;
  bool setupSaved_ = false, scoresSaved_ = false;
  std::function<void()> onFarewell_;
};
