#include "scores/game_over.h"

#include "core/assets.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/platform.h"
#include "platform/record/replay.h"
#include "scores/name_entry.h"
#include "scores/timestamp.h"

namespace {

constexpr int kGameOverMs = 2000;  // "Game Over" stays this long unless a key or click comes first

void DrawGameOverText() {
  const int cx = Core.VirtualWidth / 2, cy = Core.VirtualHeight / 2;
  plat::SetImageFont(Core.UiFonts[font::kHeadline]);
  auto layer = [&](int reach, int r, int g, int b) {
    for (int dx = -reach; dx <= reach; dx++) {
      for (int dy = -reach; dy <= reach; dy++) {
        ResetDrawState();
        plat::SetColor(r, g, b);
        DrawTextAligned(cx + dx, cy + dy, "Game Over", kAlignCenter, kAlignMiddle);
      }
    }
  };
  layer(3, 255, 255, 255);
  layer(2, 8, 8, 8);
  layer(0, 255, 255, 0);
  ResetDrawState();
}

// A key or click pressed since the last flush (held ones do not count). Tab, F11
// and F12 are taken by EndFrame for their own work first.
bool NewPress() {
  bool pressed = Core.MouseState.MouseClicked > 0 || Core.MouseState.RightClicked > 0;
  plat::InputBatch oneReading;
  for (int key = 1; key < 256; key++) pressed = plat::KeyHit(key) > 0 || pressed;
  return pressed;
}

void ClearClicks() {
  Core.MouseState.MouseClicked = 0;
  Core.MouseState.RightClicked = 0;
}

void ShowGameOver(void (*drawUnder)()) {
  plat::FlushKeys();
  plat::FlushMouse();
  ClearClicks();
  // The logic clock: a replay must hold the screen for the same frames.
  const int start = plat::LogicMillisecs();
  do {
    BeginFrameDrawing(1);
    drawUnder();
    DrawGameOverText();
    EndFrame(Core.ControlMode);
  } while (!NewPress() && MsBetween(start, plat::LogicMillisecs()) < kGameOverMs);
}

}  // namespace

void FinishGame(void (*drawUnder)(), Scores record) {
  // Back on the title's footing, so that Escape cannot pause from here on.
  Core.GameState = kStateTitle;
  ShowGameOver(drawUnder);

  ClearClicks();
  EnterName();

  record.Timestamp = MakeTimestamp("");
  HighScores.LastGameTimestamp = record.Timestamp;
  record.Name = HighScores.PlayerName;
  record.GameMode = Core.Difficulty;
  AddScore(record);
  // On disk at once: a crash or a kill later in the session must not take it.
  SaveScores();
}
