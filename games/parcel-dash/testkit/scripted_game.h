// A scripted player for Parcel Dash on the installed headless backend: starts a
// game as the title screen would (the start click still held), steers the cart
// under the lowest falling person (else parcel) with the mouse or with the keys,
// or stands still, optionally quits from the pause menu, and answers name entry.
// The recording comes back as replay text with the game's outcome.
#pragma once

#include <cmath>
#include <string>

#include "core/assets.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "dash/game.h"
#include "dash/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/headless/headless.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "shell/replay.h"
#include "testkit/game_over_script.h"

enum class Steering { kMouse, kKeys, kIdle };

struct ScriptedGame {
  int difficulty = 0;
  Steering steering = Steering::kMouse;
  int width = 1280, height = 960;
  int quitAt = -1;  // shown frame from which the pause menu's Quit is chosen (-1 never)
  std::string name = "DASH";
};

struct ScriptedOutcome {
  std::string text;  // the replay file
  int score = 0;
  int frames = 0;    // frames the replay holds, name entry included
  DashState final;   // the state the game ended in
};

// The field x the scripted player steers to: the lowest person, else the lowest parcel.
inline double ScriptedTarget() {
  const Cargo* best = nullptr;
  for (const Cargo& c : Dash.Falling) {
    if (!best || (c.kind == kCargoPerson) > (best->kind == kCargoPerson) ||
        ((c.kind == kCargoPerson) == (best->kind == kCargoPerson) && c.y > best->y)) {
      best = &c;
    }
  }
  return best ? best->x : Dash.CartX;
}

// Plays one scripted game on the headless machine `m`.
inline ScriptedOutcome PlayScriptedGame(plat::HeadlessBackend& m, const ScriptedGame& g) {
  plat::OpenDisplay(800, 600, 0, 60, 0);
  Core.VirtualWidth = g.width;
  Core.VirtualHeight = g.height;
  plat::SetVirtualResolution(g.width, g.height);
  Core.Difficulty = g.difficulty;
  Core.ControlMode = 1;
  Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = Draw.DrawLimit[kBudgetParticles] = 50000;
  Frame.LastFrameTime = plat::Millisecs();

  ScriptedOutcome out;
  plat::InputState& in = m.ScriptInput();
  const double scale = static_cast<double>(g.width) / kFieldWidth;
  int firstFrame = -1;  // the machine counts frames from its start, not the game's
  GameOverScript over(m, g.name);
  auto tapEscape = [&] {
    in.PressKey(plat::kKeyEscape);
    m.At(m.Now() + 30, [](plat::InputState& later) { later.ReleaseKey(plat::kKeyEscape); });
  };
  m.OnFrame([&](int shown) {
    if (firstFrame < 0) firstFrame = shown;
    const int f = shown - firstFrame + 1;
    if (Dash.QuitFlag != kPlaying) {
      if (!over.Started()) out.final = Dash;
      over.Step(f);
      return;
    }
    if (f == 3) in.ReleaseMouse(plat::kMouseLeft);  // the start click let go
    const double target = ScriptedTarget();
    if (g.steering == Steering::kMouse) {
      plat::MoveVirtualMouse(std::round(target * scale), g.height / 2);
    } else if (g.steering == Steering::kKeys) {
      const double gap = target - Dash.CartX;
      const bool left = gap < -kCartKeySpeed, right = gap > kCartKeySpeed;
      if (left) in.PressKey(plat::kKeyLeft); else in.ReleaseKey(plat::kKeyLeft);
      if (right) in.PressKey(plat::kKeyRight); else in.ReleaseKey(plat::kKeyRight);
    }
    // A tap of Escape opens the pause menu; Down picks Quit, another tap takes it.
    const int q = f - g.quitAt;
    if (g.quitAt >= 0 && (q == 0 || q == 8)) tapEscape();
    if (g.quitAt >= 0 && q == 4) in.PressKey(plat::kKeyDown);
    if (g.quitAt >= 0 && q == 6) in.ReleaseKey(plat::kKeyDown);
  });

  // The click on "Click Here to Start" is still held when the game begins.
  plat::MoveVirtualMouse(g.width / 2, g.height / 2 + 20);
  in.PressMouse(plat::kMouseLeft);
  BeginGameRecording();
  Core.GameState = kStatePlaying;
  RunGame();
  Core.GameState = kStateTitle;
  m.OnFrame(nullptr);
  if (!over.Started()) out.final = Dash;
  out.text = EndGameRecording();
  out.score = Dash.GameScore;
  const size_t at = out.text.rfind("frames ");
  out.frames = at == std::string::npos ? 0 : std::stoi(out.text.substr(at + 7));
  return out;
}
