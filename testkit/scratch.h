// A fresh headless machine in an empty temporary folder, with the program's global
// state reset, so that tests never touch the repository's Files/ or each other.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "config/display.h"
#include "config/settings.h"
#include "config/settings_menu.h"
#include "draw/helpers.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "frame/frame.h"
#include "core/identity.h"
#include "core/log.h"
#include "scores/scores.h"
#include "shell/reset.h"
#include "shell/startup.h"
#include "testkit/scratch_folder.h"
#include "testkit/test_game.h"

// The whole program's state as a fresh program has it (the game last in use resets
// its own first), the test game installed, and the debug overlay off so that
// pictures hold only what a test draws.
inline void ResetProgramState() {
  ResetEngineState();
  UseGame(TestGameTable());
  FillCredits();
  Frame.OverlayOn = 0;
}

class ScratchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_ = plat::CurrentDir();
    // A death test's child that is a new process (always so on Windows) runs
    // the fixture again: it works in the folder its parent named, if any.
    const char* parent = std::getenv(kScratchForChild);
    root_ = parent && *parent ? parent : MakeScratchFolder();
    ASSERT_FALSE(root_.empty());
    ASSERT_TRUE(plat::ChangeDir(root_));
    machine_ = &plat::UseHeadless(Options());
    ResetProgramState();
    Frame.LastFrameTime = plat::Millisecs();
  }

  void TearDown() override {
    CloseLog();
    plat::SetNoticeSink(nullptr);
    plat::ChangeDir(start_);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  virtual plat::HeadlessOptions Options() { return {}; }

  // A fresh program, its services installed, on a second machine whose clock
  // reads differently: where a replay of a game recorded here would be played.
  void MoveToLaterMachine() {
    ResetProgramState();
    plat::HeadlessOptions later;
    later.startMillis = 987654;
    machine_ = &plat::UseHeadless(later);
    InstallServices();
  }

  // Runs a death test whose child must work in this test's folder.
  template <typename Fn>
  void WithScratchForChild(Fn run) {
    static std::string setting;  // putenv keeps the string itself
    setting = std::string(kScratchForChild) + "=" + root_;
    putenv(setting.data());
    run();
    static std::string cleared = std::string(kScratchForChild) + "=";
    putenv(cleared.data());
  }

  static constexpr const char* kScratchForChild = "PUFFWICK_SCRATCH_FOR_CHILD";

  // Paths are relative to the scratch root, whatever the current folder is.
  std::string At(const std::string& path) const { return root_ + "/" + path; }
  void MakeDir(const std::string& path) const { std::filesystem::create_directories(At(path)); }
  void WriteBytes(const std::string& path, const std::string& bytes) const {
    std::ofstream(At(path), std::ios::binary) << bytes;
  }
  std::string ReadBytes(const std::string& path) const {
    std::ifstream in(At(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The temporary files that saves of `path` left beside it.
  std::vector<std::string> SaveTemps(const std::string& path) const {
    const std::filesystem::path file(At(path));
    const std::string prefix = file.filename().string() + ".new";
    std::vector<std::string> out;
    std::error_code ignored;
    for (const auto& e : std::filesystem::directory_iterator(file.parent_path(), ignored)) {
      if (e.path().filename().string().rfind(prefix, 0) == 0) out.push_back(e.path().string());
    }
    return out;
  }
  // The file's lines, split at CR LF.
  std::vector<std::string> ReadLines(const std::string& path) const {
    std::string bytes = ReadBytes(path);
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at; (at = bytes.find("\r\n", from)) != std::string::npos; from = at + 2) {
      lines.push_back(bytes.substr(from, at - from));
    }
    if (from < bytes.size()) lines.push_back(bytes.substr(from));
    return lines;
  }

  std::string start_, root_;
  plat::HeadlessBackend* machine_ = nullptr;
};
