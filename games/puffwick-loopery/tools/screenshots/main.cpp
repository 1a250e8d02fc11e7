// puffwick-screenshots: plays one fixed session of the game on the headless machine
// (virtual clock, fixed seed, scripted mouse and keys, real pixels from the
// software renderer) and saves four pictures for the README and the AppStream
// metadata: the title, a game in progress, the settings panel and name entry.
// The same program and media give the same PNG files, byte for byte.
//
//   puffwick-screenshots [--out DIR] [--data DIR]
//
// DIR defaults to docs/screenshots/ of the source tree; the media are read from
// --data (default: the source tree) and what the game writes goes to a scratch
// folder that is removed afterwards.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "core/state.h"
#include "loopery/board.h"
#include "loopery/effects.h"
#include "platform/headless/headless.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "scores/scores.h"
#include "scores/timestamp.h"
#include "shell/startup.h"
#include "loopery/loopery.h"
#include "testkit/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// One step of the session: runs once `ready` has held for `wait` frames in a row
// since the previous step ran.
struct Step {
  std::function<bool()> ready;
  int wait;
  std::function<void()> act;
};

class Session {
 public:
  Session(plat::HeadlessBackend& machine, std::string out) : machine_(machine), out_(std::move(out)) {}

  void Add(std::function<bool()> ready, int wait, std::function<void()> act) {
    steps_.push_back({std::move(ready), wait, std::move(act)});
  }

  void OnFrame(int frame) {
    if (next_ >= steps_.size()) return;
    if (!steps_[next_].ready()) {
      since_ = 0;
      return;
    }
    if (++since_ < steps_[next_].wait) return;
    steps_[next_++].act();
    since_ = 0;
    if (next_ == steps_.size()) machine_.SetFrameCap(frame + 1);
  }

  // The frame about to be shown (the back buffer before it is presented).
  void Save(const std::string& name) {
    plat::Pixmap shot = plat::GrabPixmap(0, 0, plat::GraphicsWidth(), plat::GraphicsHeight());
    const std::string path = out_ + "/" + name;
    if (plat::SavePixmapPNG(shot, path, 9)) {
      std::printf("wrote %s\n", path.c_str());
      saved_++;
    } else {
      std::fprintf(stderr, "puffwick-screenshots: could not write %s\n", path.c_str());
    }
    plat::FreePixmap(shot);
  }

  void Tap(int key) {
    machine_.ScriptInput().PressKey(key);
    machine_.At(machine_.Now() + 30, [key](plat::InputState& in) { in.ReleaseKey(key); });
  }

  bool Done() const { return next_ == steps_.size() && saved_ == 4; }
  plat::HeadlessBackend& machine_;

 private:
  std::string out_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int since_ = 0;
  int saved_ = 0;
};

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

int main(int argc, char** argv) {
  UseGame(LooperyTable());
  std::string out = std::string(PUFFWICK_SOURCE_DIR) + "/docs/screenshots";
  std::string data = PUFFWICK_SOURCE_DIR;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if ((arg == "--out" || arg == "--data") && i + 1 < argc) {
      (arg == "--out" ? out : data) = argv[++i];
    } else {
      std::fprintf(stderr, "usage: puffwick-screenshots [--out DIR] [--data DIR]\n");
      return 2;
    }
  }
  out = fs::absolute(out).lexically_normal().string();
  fs::create_directories(out);
  const std::string scratch = MakeScratchFolder();
  if (scratch.empty()) return 1;
  // A fixed window size and a fresh settings file, whatever the user has saved.
  WriteText(fs::path(scratch) / "Files/Setup.ini", "[Graphics]\r\nWidth=" + std::to_string(kWidth) +
                                                       "\r\nHeight=" + std::to_string(kHeight) + "\r\n");

  plat::HeadlessBackend& machine = plat::UseHeadless();
  // A few earlier Medium games, so that the title's score panel has something to show.
  std::list<Scores> earlier;
  const struct {
    const char* name;
    int score, day;
  } games[] = {{"Ned", 4820, 6}, {"Ivy", 3975, 5}, {"Rosa", 6150, 4}, {"Otto", 2610, 2}, {"Mae", 1840, 1}};
  for (const auto& g : games) {
    Scores record;
    record.Name = g.name;
    record.Score = g.score;
    record.GameMode = 1;
    record.Timestamp = MakeTimestamp("0" + std::to_string(g.day) + " DEC 2010") - 3600 * g.day;
    earlier.push_back(record);
  }
  WriteText(fs::path(scratch) / "Files/257/scores.dat", FormatScores(earlier));
  plat::MountFileRoots(data, scratch);
  plat::SeedRnd(257);
  Session s(machine, out);
  auto onTitle = [] { return Core.Difficulty == 1 && Core.GameState == 0; };
  auto inGame = [] { return Core.GameState == 1 && Game.QuitFlag == 0; };
  // The title once its panels have slid in, then the settings panel over it.
  s.Add(onTitle, 1, [&] { plat::MoveVirtualMouse(700, 500); });
  s.Add(onTitle, 90, [&] { s.Save("title.png"); });
  s.Add(onTitle, 1, [&] { s.Tap(plat::kKeyTab); });
  s.Add(onTitle, 60, [&] { s.Save("settings.png"); });
  s.Add(onTitle, 1, [&] { s.Tap(plat::kKeyTab); });
  // Start a Medium game with a click on "Click Here to Start".
  s.Add(onTitle, 60, [&] {
    plat::MoveVirtualMouse(640, 480);
    machine.ScriptInput().PressMouse(1);
  });
  // Let go once the game runs, and let the train run until new stations have come
  // and a delivery's popup shows.
  s.Add(inGame, 1, [&] {
    machine.ScriptInput().ReleaseMouse(1);
    plat::MoveVirtualMouse(1200, 40);
  });
  s.Add(inGame, 2400, [] {});
  // A popup still fresh (it fades as its frames run out).
  s.Add([] { return Core.GameState == 1 && !Game.SmokeList.empty() && !Loopery.PopupList.empty() &&
                    Loopery.PopupList.back().t > kPopupFrames - 30; },
        1, [&] { s.Save("game.png"); });
  // Quit from the pause menu (Escape, Down to "Quit", Escape) and type a name.
  s.Add(inGame, 1, [&] { s.Tap(plat::kKeyEscape); });
  s.Add([] { return true; }, 20, [&] { s.Tap(plat::kKeyDown); });
  s.Add([] { return true; }, 20, [&] { s.Tap(plat::kKeyEscape); });
  // Name entry forgets keys typed before it starts: type one a frame once it runs.
  int typed = 0;
  for (int i = 0; i < 6; i++) {  // "Player" is offered: take it back first
    s.Add([] { return Game.QuitFlag != 0; }, typed++ ? 3 : 30, [&machine] {
      machine.ScriptInput().PressKey(plat::kKeyBackspace);
      machine.ScriptInput().ReleaseKey(plat::kKeyBackspace);
    });
  }
  for (char c : std::string("Rosa")) {
    s.Add([] { return Game.QuitFlag != 0; }, typed++ ? 3 : 30,
          [&machine, c] { machine.ScriptInput().typed.push_back(static_cast<unsigned char>(c)); });
  }
  s.Add([] { return true; }, 30, [&] { s.Save("name-entry.png"); });
  machine.OnFrame([&s](int frame) { s.OnFrame(frame); });
  machine.SetFrameCap(30000);  // a session that goes astray ends, and says so below

  try {
    RunProgram();
  } catch (const plat::ProcessEnded&) {
  }
  machine.OnFrame(nullptr);
  plat::UnmountFileRoots();
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  if (!s.Done()) {
    std::fprintf(stderr, "puffwick-screenshots: the session ended before every picture was taken\n");
    return 1;
  }
  return 0;
}
