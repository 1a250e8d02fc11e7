// A small scripted player for recorded games: starts a game on the installed
// headless backend as the title screen would (the start click still held),
// builds a little track with clicks, optionally taps Escape (a pause and its
// reseed), optionally quits from the pause menu, and answers name entry. The
// recording comes back as replay text, with what the game went through.
//
// Used by the replay tests, the golden replay recorder and the replay benchmark.
#pragma once

#include <functional>
#include <string>

#include "core/assets.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "loopery/board.h"
#include "loopery/game.h"
#include "platform/headless/headless.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "shell/replay.h"
#include "shell/startup.h"
#include "testkit/game_over_script.h"

struct ScriptedGame {
  int difficulty = 0;
  int slowSystem = 0;
  int width = 1280, height = 960;
  int pauseAt = -1;      // shown frame at which Escape is tapped (-1 never)
  int quitAt = -1;       // shown frame from which the pause menu's Quit is chosen (-1 never)
  std::string name = "GOLD";
  int crashAt = -1;      // shown frame from which a straight is laid across the loop's west side
  bool quickTaps = false;  // each Escape let go before the frame that reads it
};

struct ScriptedOutcome {
  std::string text;  // the replay file
  int score = 0;
  int frames = 0;    // frames the game ran, name entry included
  bool newStation = false, delivery = false, exploded = false, crashed = false;
};

// Plays one scripted game on the headless machine `m` (display open or not).
inline ScriptedOutcome RecordScriptedGame(plat::HeadlessBackend& m, const ScriptedGame& g) {
  plat::OpenDisplay(800, 600, 0, 60, 0);  // 1.6 drawing-area units a pixel: fractions
  Core.VirtualWidth = g.width;
  Core.VirtualHeight = g.height;
  plat::SetVirtualResolution(g.width, g.height);
  Core.Difficulty = g.difficulty;
  Core.Settings[slot::slowSystem] = g.slowSystem;
  Core.ControlMode = 1;
  Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = Draw.DrawLimit[kBudgetParticles] = 50000;
  Frame.LastFrameTime = plat::Millisecs();

  ScriptedOutcome out;
  plat::InputState& in = m.ScriptInput();
  auto point = [&](int x, int y) { plat::MoveVirtualMouse(x, y); };
  const int toolbarY = (g.height / 32 - 1) * 32 + 16;
  auto tool = [&](int code) { point((code - 1) * 34 + 16, toolbarY); };
  auto cell = [&](int x, int y) { point(x * 32 + 16, y * 32 + 16); };
  int lastMoney = -1;
  GameOverScript over(m, g.name);
  m.OnFrame([&](int f) {
    // What the game went through, seen once a shown frame.
    int stations = 0;
    for (int c : Game.TrackGrid) stations += c == kCollectTrackWE || c == kCollectTrackNS || c == kDeliverTrackWE ||
                                             c == kDeliverTrackNS;
    if (stations > 2) out.newStation = true;
    if (lastMoney >= 0 && Game.Money > lastMoney) out.delivery = true;
    lastMoney = Game.Money;
    if (Game.EndCounter > 0 && !Game.TrainList.empty() && Game.TrainList.front().dead) out.crashed = true;
    if (Game.EndCounter > 0 && !out.crashed) out.exploded = true;

    if (Game.QuitFlag != 0) {
      over.Step(f);
      return;
    }
    switch (f) {
      case 3: in.ReleaseMouse(plat::kMouseLeft); tool(kCurveNE); break;  // the start click let go
      case 5: in.PressMouse(plat::kMouseLeft); break;
      case 7: in.ReleaseMouse(plat::kMouseLeft); cell(5, 5); break;
      case 9: in.PressMouse(plat::kMouseLeft); break;
      case 11: in.ReleaseMouse(plat::kMouseLeft); tool(kStraightWE); break;
      case 13: in.PressMouse(plat::kMouseLeft); break;
      case 15: in.ReleaseMouse(plat::kMouseLeft); cell(6, 5); break;
      case 17: in.PressMouse(plat::kMouseLeft); break;
      case 18: cell(7, 5); break;  // dragged: one click lays one piece
      case 19: in.ReleaseMouse(plat::kMouseLeft); cell(6, 5); break;
      case 21: in.PressMouse(plat::kMouseRight); break;  // swap back what was under
      case 23: in.ReleaseMouse(plat::kMouseRight); point(600, 300); break;
      default: break;
    }
    const int c = f - g.crashAt;
    if (g.crashAt >= 0 && c >= 0) {
      // Held down on the cell, the piece goes down once the train has left it.
      if (c == 0) tool(kStraightWE);
      if (c == 2 || c == 6) in.PressMouse(plat::kMouseLeft);
      if (c == 4) in.ReleaseMouse(plat::kMouseLeft), cell(15, 15);
    }
    // A tap of Escape opens the pause menu (which waits, unshown, for the release);
    // another one continues, or quits once Down has picked Quit.
    auto tapEscape = [&] {
      if (g.quickTaps) {
        // Pressed and let go between two polls, as the machine's pump hands it up.
        m.At(m.Now(), [](plat::InputState& now) {
          now.PressKey(plat::kKeyEscape);
          now.ReleaseKey(plat::kKeyEscape);
        });
        return;
      }
      in.PressKey(plat::kKeyEscape);
      m.At(m.Now() + 30, [](plat::InputState& later) { later.ReleaseKey(plat::kKeyEscape); });
    };
    if (g.pauseAt >= 0 && (f == g.pauseAt || f == g.pauseAt + 4)) tapEscape();
    const int q = f - g.quitAt;
    if (g.quitAt >= 0 && (q == 0 || q == 8)) tapEscape();
    if (g.quitAt >= 0 && q == 4) in.PressKey(plat::kKeyDown);
    if (g.quitAt >= 0 && q == 6) in.ReleaseKey(plat::kKeyDown);
  });

  // The click on "Click Here to Start" is still held when the game begins.
  point(640, 560);
  in.PressMouse(plat::kMouseLeft);
  BeginGameRecording();
  Core.GameState = kStatePlaying;
  RunGame();
  Core.GameState = kStateTitle;
  m.OnFrame(nullptr);
  out.text = EndGameRecording();
  out.score = Game.GameScore;
  const size_t at = out.text.rfind("frames ");
  out.frames = at == std::string::npos ? 0 : std::stoi(out.text.substr(at + 7));
  return out;
}
