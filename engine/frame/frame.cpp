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

int LastFrameTime = 0;
int FrameTime = 0;
int FpsAverage = 0;
int FpsShown = 0;
int OverlayOn = 1;
int SettingsOpen = 0;
long long GcCollected = 0;
int PauseSuspended = 0;
plat::Image QuitPicture = 0;
FrameServices FrameHooks;

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
  return std::to_string(DrawCount[counter]) + "/" + std::to_string(DrawLimit[counter]);
}

void DrawOverlay() {
  DrawTextAligned(2, 2, std::to_string(FpsShown), kAlignLeft, kAlignTop);
  plat::SetImageFont(UiFonts[font::kPanel]);
  // 20 pixels apart for the 16-pixel font (at 1.5 times); the larger font of small
  // screens spreads the lines so that they stay apart.
  const int pitch = std::max(20, plat::TextHeight() * 3 / 2 - 4);
  DrawTextAligned(2, 40, "Collection : " + std::to_string(GcCollected), kAlignLeft, kAlignTop);
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
  Run(FrameHooks.DrawPopups);

  if (plat::KeyHit(kKeyTab) > 0) {
    SettingsOpen = 1 - SettingsOpen;
    Run(FrameHooks.SaveSetup);
  }

  // Memory is cleaned up here only, every other frame.
  if (FrameParity == 1) GcCollected = plat::CollectMemory();

  // In slow-system mode the hotkeys are looked at on shown frames only.
  if (FrameParity == 0 || Settings[slot::slowSystem] == 0) {
    if (plat::KeyHit(kKeyF11) > 0) Run(FrameHooks.TakeScreenshot);
    // Escape is read only where it pauses: reading it elsewhere would use up a
    // quick tap that the screen's own check after the frame is waiting for.
    if (GameState == kStatePlaying && PauseSuspended == 0 && FrameHooks.PauseMenu && plat::KeyDown(kKeyEscape)) {
      GameState = kStatePaused;
      int pauseStart = plat::Millisecs();
      pauseResult = FrameHooks.PauseMenu();
      GameState = kStatePlaying;
      // Game timers must not count the pause. Clock readings wrap, so add modulo 2^32.
      unsigned paused = static_cast<unsigned>(MsBetween(pauseStart, plat::Millisecs()));
      GameStartTime = static_cast<int>(static_cast<unsigned>(GameStartTime) + paused);
    }
  }

  Run(FrameHooks.DrawSettingsMenu);

  ResetDrawState();
  SetScaleXY(1.5, 1.5);
  plat::SetImageFont(UiFonts[font::kLabel]);
  if (plat::KeyHit(kKeyF12) > 0) OverlayOn = 1 - OverlayOn;
  if (OverlayOn == 1) DrawOverlay();

  if (showPointer == 1 || SettingsOpen == 1) {
    plat::DrawImage(IconsFiltered, plat::VirtualMouseX() + 12, plat::VirtualMouseY() + 12, kPointerFrame);
  }

  MouseState.oldX = MouseState.x;
  MouseState.oldY = MouseState.y;
  MouseState.x = TruncateToInt(plat::VirtualMouseX());
  MouseState.y = TruncateToInt(plat::VirtualMouseY());
  MouseState.MouseClicked = plat::MouseHit(1);
  MouseState.RightClicked = plat::MouseHit(2);

  // Sleep until 1000/60 - 2 ms after the previous frame ended (in 1 ms steps, where
  // the machine sleeps that finely); a late frame still sleeps once. The frame's drawing is handed on first, so that a
  // renderer without a GPU draws it during the sleep.
  plat::FlushDrawing();
  plat::DelayPast(LastFrameTime, 1000.0 / kFrameRate - 2);

  Run(FrameHooks.UpdateSong);
  DrawMessages();

  const int slow = Settings[slot::slowSystem];
  if (slow == 0 || (slow == 1 && FrameParity == 0)) {
    plat::Flip(0);
  } else {
    plat::SkipFlip();
  }
  plat::NextInputFrame();

  FrameTime = MsBetween(LastFrameTime, plat::Millisecs());
  FpsAverage = (1000 / (FrameTime > 0 ? FrameTime : 1) + 2 * FpsAverage) / 3;
  FpsShown = FpsAverage;
  LastFrameTime = plat::Millisecs();

  FrameParity = 1 - FrameParity;

  bool altF4 = plat::KeyDown(kKeyF4) && (plat::KeyDown(kKeyLeftAlt) || plat::KeyDown(kKeyRightAlt));
  if (altF4 || plat::AppTerminate()) Run(FrameHooks.Shutdown);

  plat::FrameEnded();
  return pauseResult;
}

void DrawMessages() {
  SetScaleXY(1, 1);
  plat::SetImageFont(UiFonts[font::kText]);
  // Lines of a font taller than 16 pixels (on small screens) keep clear of each
  // other and of the bottom edge.
  const int lineHeight = plat::TextHeight();
  const int step = std::max(14, lineHeight - 2);
  int y = VirtualHeight - std::max(16, lineHeight);
  for (auto it = MessageList.begin(); it != MessageList.end();) {
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
      it = MessageList.erase(it);
    } else {
      ++it;
    }
  }
}
