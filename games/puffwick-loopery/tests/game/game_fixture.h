// A headless game: an 800x600 display with the 1280x960 drawing surface, the
// repository's game images (or blank ones of the same sizes), ten short distinct
// sound effects, and helpers to step frames, move the mouse and hear which
// effects played.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "testkit/scratch.h"
#include "audio/sfx.h"
#include "core/assets.h"
#include "core/state.h"
#include "loopery/board.h"
#include "loopery/effects.h"
#include "loopery/game.h"
#include "loopery/media.h"
#include "loopery/sounds.h"
#include "loopery/stations.h"
#include "loopery/train.h"
#include "platform/keycodes.h"
#include "scores/scores.h"

class GameTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    UseSurface(1280, 960);
    Frame.FrameHooks.DrawPopups = DrawPopups;
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    Core.ControlMode = 1;
    Core.GameState = kStatePlaying;
    Core.Difficulty = 1;
    Core.Settings[slot::soundVolume] = Core.Settings[slot::masterVolume] = 100;
    for (plat::Font& f : Core.SizedFonts) f = 0;
    ResetSfx();
    Loopery.PopupList.clear();
    HighScores.ScoreList.clear();
    LoadImages();
    LoadSounds();
    Frame.LastFrameTime = plat::Millisecs();
  }

  void UseSurface(int w, int h) {
    plat::SetVirtualResolution(w, h);
    Core.VirtualWidth = w;
    Core.VirtualHeight = h;
  }

  // A new game on the current surface and difficulty, then a fixed seed.
  void StartGame(int seed = 257) {
    SetupGame();
    plat::SeedRnd(seed);
    sfxMark_ = Audio.SfxSlot;
  }

  // Runs n whole frames; false when the game ended on one of them.
  int nameFrames_ = 0;
  int64_t overAt_ = -1;  // clock when the first "Game Over" frame was shown

  bool Frames(int n) {
    for (int i = 0; i < n; i++) {
      if (!GameFrame()) return false;
    }
    return true;
  }

  ain& Train() { return Game.TrainList.front(); }

  // Answers name entry once the game is over: lets go of every key and button,
  // waits out the two seconds of "Game Over", types `typed` one character a frame
  // ("\b" presses Backspace) and presses Enter. `extra` runs first on every frame.
  void AnswerNameEntry(const std::string& typed = "", std::function<void(int)> extra = nullptr) {
    nameFrames_ = 0;
    overAt_ = -1;
    machine_->OnFrame([this, typed, extra](int frame) {
      if (extra) extra(frame);
      if (Game.QuitFlag == 0) return;
      plat::InputState& in = Input();
      if (overAt_ < 0) {
        overAt_ = machine_->Now();
        for (int key = 0; key < 256; key++) in.ReleaseKey(key);
        for (int b = 1; b <= 3; b++) in.ReleaseMouse(b);
      }
      if (machine_->Now() < overAt_ + 2100) return;
      const int k = nameFrames_++;
      // Name entry forgets what was typed before it starts, so type once it runs.
      const int at = k - 4;
      if (at >= 0 && at < static_cast<int>(typed.size())) {
        if (typed[at] == '\b') {
          in.PressKey(plat::kKeyBackspace);
          in.ReleaseKey(plat::kKeyBackspace);
        } else {
          in.typed.push_back(static_cast<unsigned char>(typed[at]));
        }
      }
      if (k == 6 + static_cast<int>(typed.size())) {
        in.PressKey(plat::kKeyEnter);
        // Name entry waits for Enter to be let go before it returns.
        machine_->At(machine_->Now() + 50, [](plat::InputState& later) { later.ReleaseKey(plat::kKeyEnter); });
      }
    });
  }

  // The effects played since the last call (or the game's start), in order.
  std::vector<int> TakeSounds() {
    std::vector<int> played;
    while (sfxMark_ != Audio.SfxSlot) {
      if (++sfxMark_ > kLastSfxSlot) sfxMark_ = kFirstSfxSlot;
      int sound = machine_->ChannelInfo(Audio.ChannelTable[sfxMark_]).sound;
      played.push_back(effectOf_.count(sound) ? effectOf_[sound] : 0);
    }
    return played;
  }
  static int Count(const std::vector<int>& played, int effect) {
    int n = 0;
    for (int e : played) n += e == effect;
    return n;
  }

  // The pointer over a virtual point; Core.MouseState follows at the end of the next frame.
  void PointAt(int x, int y) { plat::MoveVirtualMouse(x, y); }
  void PointAtCell(int x, int y) { PointAt(x * 32 + 16, y * 32 + 16); }
  plat::InputState& Input() { return machine_->ScriptInput(); }

  // Picks a toolbar piece with a click: point, press, release.
  void PickTool(int code) {
    PointAt((code - 1) * 34 + 16, (Game.BoardMaxY + 1) * 32 + 16);
    Frames(1);
    Input().PressMouse(plat::kMouseLeft);
    Frames(1);
    Input().ReleaseMouse(plat::kMouseLeft);
    Frames(1);
  }
  // One click of `button` on a board cell: point, press for a frame, release.
  void ClickCell(int x, int y, int button = plat::kMouseLeft) {
    PointAtCell(x, y);
    Frames(1);
    Input().PressMouse(button);
    Frames(1);
    Input().ReleaseMouse(button);
    Frames(1);
  }

  // Clears the board's track and stations, keeping the train and the money.
  static void ClearBoard() {
    Game.TrackGrid.fill(0);
    Game.UnderGrid.fill(0);
    Game.BusyGrid.fill(0);
    Game.PeopleGrid.fill(0);
    Game.ParcelGrid.fill(0);
    Game.OverfullGrid.fill(0);
  }
  // Puts the train's four cars in a line behind cell (x, y), all heading `dir`.
  static void PlaceTrain(int x, int y, int dir) {
    ain& t = Game.TrainList.front();
    const double dx = plat::Sin(dir), dy = -plat::Cos(dir);
    for (int i = 1; i <= t.cars; i++) {
      t.cx[i] = x * 32 - dx * 64 * (i - 1);
      t.cy[i] = y * 32 - dy * 64 * (i - 1);
      t.ca[i] = t.ca2[i] = dir;
    }
  }
  static int& Cell(Grid& grid, int x, int y) { return grid[CellIndex(x, y)]; }

 private:
  void LoadImages() {
    const std::string media = std::string(PUFFWICK_SOURCE_DIR) + "/Files/257/";
    auto anim = [&](const char* file, int w, int h, int frames) {
      plat::Image image = plat::LoadAnimImage(media + file, w, h, 0, frames, plat::kImageMasked | plat::kImageFiltered);
      return image ? image : plat::CreateImage(w, h, frames);
    };
    plat::AutoMidHandle(true);
    Loopery.TrackImage = anim("track.png", 32, 32, 240);
    Loopery.TrainImage = anim("train.png", 64, 64, 8);
    Loopery.BubbleImage = anim("bubbles.png", 32, 24, 4);
    Loopery.FlashImage = plat::LoadImage(media + "flash.png", plat::kImageMasked | plat::kImageFiltered);
    if (!Loopery.FlashImage) Loopery.FlashImage = plat::CreateImage(64, 64, 1);
  }

  // A tenth of a second of tone, loaded once per effect so every effect has its
  // own handle.
  void LoadSounds() {
    const int rate = 22050, count = rate / 10;
    std::string data;
    for (int i = 0; i < count; i++) {
      int16_t s = static_cast<int16_t>(8000 * std::sin(i * 0.1));
      data.append(reinterpret_cast<const char*>(&s), 2);
    }
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    std::string wav = "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
                      u32(rate * 2) + u16(2) + u16(16) + "data" + u32(data.size()) + data;
    WriteBytes("tone.wav", wav);
    effectOf_.clear();
    for (int i = 1; i <= 10; i++) {
      Audio.SoundEffects[i] = plat::LoadSound(At("tone.wav"));
      effectOf_[Audio.SoundEffects[i]] = i;
    }
  }

  std::map<int, int> effectOf_;
  int sfxMark_ = kFirstSfxSlot;
};
