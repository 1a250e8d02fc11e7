#include "frame/frame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/assets.h"
#include "core/log.h"
#include "core/settings_table.h"
#include "draw/helpers.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "platform/record/replay.h"

FrameState Frame;

void ResetFrame() { Frame = FrameState{}; }

namespace {

using namespace plat;  // key codes

constexpr int kPointerFrame = 63;

template <typename Fn>
void Run(Fn* service) {
  if (service) service();
}

int TruncateToInt(double v) {
  if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;  // NaN reads as 0
  if (v >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(v);
}

std::string CountOfLimit(int counter) {
  return std::to_string(Draw.DrawCount[counter]) + "/" + std::to_string(Draw.DrawLimit[counter]);
}

void DrawOverlay() {
  DrawTextAligned(2, 2, std::to_string(Frame.FpsShown), kAlignLeft, kAlignTop);
  plat::SetImageFont(Core.UiFonts[font::kPanel]);
  // 20 pixels apart for the 16-pixel font (at 1.5 times); the larger font of small
  // screens spreads the lines so that they stay apart.
  const int pitch = std::max(20, plat::TextHeight() * 3 / 2 - 4);
  DrawTextAligned(2, 40, "Collection : " + std::to_string(Frame.GcCollected), kAlignLeft, kAlignTop);
  DrawTextAligned(2, 40 + pitch, "Used Memory : " + std::to_string(plat::MemoryInUse()), kAlignLeft, kAlignTop);
  DrawTextAligned(2, 40 + 2 * pitch, "Drawn Images : " + CountOfLimit(kBudgetMain), kAlignLeft, kAlignTop);
  DrawTextAligned(2, 40 + 3 * pitch, "Drawn Glow : " + CountOfLimit(kBudgetGlow), kAlignLeft, kAlignTop);
  DrawTextAligned(2, 40 + 4 * pitch, "Drawn Particles : " + CountOfLimit(kBudgetParticles), kAlignLeft, kAlignTop);
  DrawTextAligned(2, 50 + 5 * pitch, "Hit F12 to remove this", kAlignLeft, kAlignTop);
  SetScaleXY(1.5, 1.5);
}

}  // namespace

int EndFrame(int showPointer) {
  int pauseResult = 0;
  Run(Frame.FrameHooks.DrawPopups);

  if (plat::KeyHit(kKeyTab) > 0) {
    Frame.SettingsOpen = 1 - Frame.SettingsOpen;
    Run(Frame.FrameHooks.SaveSetup);
  }

  // Memory is cleaned up here only, every other frame.
  if (Core.FrameParity == 1) Frame.GcCollected = plat::CollectMemory();

  // In slow-system mode the hotkeys are looked at on shown frames only.
  if (Core.FrameParity == 0 || Core.Settings[slot::slowSystem] == 0) {
    if (plat::KeyHit(kKeyF11) > 0) Run(Frame.FrameHooks.TakeScreenshot);
    // Escape is read only where it pauses: reading it elsewhere would use up a
    // quick tap that the screen's own check after the frame is waiting for.
    if (Core.GameState == kStatePlaying && Frame.PauseSuspended == 0 && Frame.FrameHooks.PauseMenu && plat::KeyDown(kKeyEscape)) {
      Core.GameState = kStatePaused;
      int pauseStart = plat::Millisecs();
      pauseResult = Frame.FrameHooks.PauseMenu();
      Core.GameState = kStatePlaying;
      // Game timers must not count the pause. Clock readings wrap, so add modulo 2^32.
      unsigned paused = static_cast<unsigned>(MsBetween(pauseStart, plat::Millisecs()));
      Core.GameStartTime = static_cast<int>(static_cast<unsigned>(Core.GameStartTime) + paused);
    }
  }

  Run(Frame.FrameHooks.DrawSettingsMenu);

  ResetDrawState();
  SetScaleXY(1.5, 1.5);
  plat::SetImageFont(Core.UiFonts[font::kLabel]);
  if (plat::KeyHit(kKeyF12) > 0) Frame.OverlayOn = 1 - Frame.OverlayOn;
  if (Frame.OverlayOn == 1) DrawOverlay();

  if (showPointer == 1 || Frame.SettingsOpen == 1) {
    plat::DrawImage(Core.IconsFiltered, plat::VirtualMouseX() + 12, plat::VirtualMouseY() + 12, kPointerFrame);
  }

  Core.MouseState.oldX = Core.MouseState.x;
  Core.MouseState.oldY = Core.MouseState.y;
  Core.MouseState.x = TruncateToInt(plat::VirtualMouseX());
  Core.MouseState.y = TruncateToInt(plat::VirtualMouseY());
  Core.MouseState.MouseClicked = plat::MouseHit(1);
  Core.MouseState.RightClicked = plat::MouseHit(2);

  // Sleep until 1000/60 - 2 ms after the previous frame ended (in 1 ms steps, where
  // the machine sleeps that finely); a late frame still sleeps once. The frame's drawing is handed on first, so that a
  // renderer without a GPU draws it during the sleep.
  plat::FlushDrawing();
  plat::DelayPast(Frame.LastFrameTime, 1000.0 / kFrameRate - 2);

  Run(Frame.FrameHooks.UpdateSong);
  Run(Frame.FrameHooks.EachFrame);
  DrawMessages();

  const int slow = Core.Settings[slot::slowSystem];
  if (slow == 0 || (slow == 1 && Core.FrameParity == 0)) {
    plat::Flip(0);
  } else {
    plat::SkipFlip();
  }
  plat::NextInputFrame();

  Frame.FrameTime = MsBetween(Frame.LastFrameTime, plat::Millisecs());
  Frame.FpsAverage = (1000 / (Frame.FrameTime > 0 ? Frame.FrameTime : 1) + 2 * Frame.FpsAverage) / 3;
  Frame.FpsShown = Frame.FpsAverage;
  Frame.LastFrameTime = plat::Millisecs();

  Core.FrameParity = 1 - Core.FrameParity;

  bool altF4 = plat::KeyDown(kKeyF4) && (plat::KeyDown(kKeyLeftAlt) || plat::KeyDown(kKeyRightAlt));
  if (altF4 || plat::AppTerminate()) Run(Frame.FrameHooks.Shutdown);

  plat::FrameEnded();
  return pauseResult;
}

void DrawMessages() {
  SetScaleXY(1, 1);
  plat::SetImageFont(Core.UiFonts[font::kText]);
  // Lines of a font taller than 16 pixels (on small screens) keep clear of each
  // other and of the bottom edge.
  const int lineHeight = plat::TextHeight();
  const int step = std::max(14, lineHeight - 2);
  int y = Core.VirtualHeight - std::max(16, lineHeight);
  for (auto it = Core.MessageList.begin(); it != Core.MessageList.end();) {
    ment& m = *it;
    m.tick++;
    const bool flashing = m.tick < kMessageFlashTicks;
    if (flashing) {
      SetColorAlpha(255, 255, 0, 0.7);
    } else {
      SetColorAlpha(0, 0, 0, 0.7);
    }
    plat::DrawRect(0, y, plat::TextWidth(m.txt), plat::TextHeight());
    if (flashing) {
      SetColorAlpha(0, 0, 0, 1);
    } else {
      SetColorAlpha(255, 255, 255, 1);
    }
    DrawTextAligned(0, y, m.txt, kAlignLeft, kAlignTop);
    y -= step;
    if (m.tick >= kMessageLifeTicks) {
      it = Core.MessageList.erase(it);
    } else {
      ++it;
    }
  }
}
