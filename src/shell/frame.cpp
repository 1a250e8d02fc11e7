#include "shell/frame.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "audio/music.h"
#include "config/display.h"
#include "config/settings.h"
#include "config/settings_menu.h"
#include "draw/helpers.h"
#include "game/effects.h"
#include "platform/platform.h"
#include "shell/log.h"
#include "shell/pause.h"
#include "shell/shutdown.h"
#include "shell/startup.h"

MouseInfo MouseState;
int FrameParity = 0;
int LastFrameTime = 0;
int FrameTime = 0;
int FpsAverage = 0;
int FpsShown = 0;
int OverlayOn = 1;
int SettingsOpen = 0;
long long GcCollected = 0;
int (*PauseRunner)() = PauseMenu;

namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyEscape = 27;
constexpr int kKeyF4 = 115;
constexpr int kKeyF11 = 122;
constexpr int kKeyF12 = 123;
constexpr int kKeyLeftAlt = 164;
constexpr int kKeyRightAlt = 165;
constexpr int kPointerFrame = 63;

int TruncateToInt(double v) {
  if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;  // NaN reads as 0
  if (v >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(v);
}

std::string CountOfLimit(int counter) {
  return std::to_string(DrawCount[counter]) + "/" + std::to_string(DrawLimit[counter]);
}

void DrawOverlay() {
  DrawTextAligned(2, 2, std::to_string(FpsShown), 0, 0);
  plat::SetImageFont(UiFonts[2]);
  DrawTextAligned(2, 40, "Collection : " + std::to_string(GcCollected), 0, 0);
  DrawTextAligned(2, 60, "Used Memory : " + std::to_string(plat::MemoryInUse()), 0, 0);
  DrawTextAligned(2, 80, "Drawn Images : " + CountOfLimit(1), 0, 0);
  DrawTextAligned(2, 100, "Drawn Glow : " + CountOfLimit(2), 0, 0);
  DrawTextAligned(2, 120, "Drawn Particles : " + CountOfLimit(3), 0, 0);
  DrawTextAligned(2, 150, "Hit F12 to remove this", 0, 0);
  SetScaleXY(1.5, 1.5);
}

}  // namespace

int EndFrame(int showPointer) {
  int pauseResult = 0;
  DrawPopups();

  if (plat::KeyHit(kKeyTab) > 0) {
    SettingsOpen = 1 - SettingsOpen;
    SaveSetup();
  }

  // Memory is cleaned up here only, every other frame.
  if (FrameParity == 1) GcCollected = plat::CollectMemory();

  // In slow-system mode the hotkeys are looked at on shown frames only.
  if (FrameParity == 0 || Settings[slot::slowSystem] == 0) {
    if (plat::KeyHit(kKeyF11) > 0) TakeScreenshot();
    if (plat::KeyDown(kKeyEscape) && GameState == 1) {
      GameState = 2;
      int pauseStart = plat::Millisecs();
      pauseResult = PauseRunner();
      GameState = 1;
      // Game timers must not count the pause. Clock readings wrap, so add modulo 2^32.
      unsigned paused = static_cast<unsigned>(MsBetween(pauseStart, plat::Millisecs()));
      GameStartTime = static_cast<int>(static_cast<unsigned>(GameStartTime) + paused);
    }
  }

  DrawSettingsMenu();

  ResetDrawState();
  SetScaleXY(1.5, 1.5);
  plat::SetImageFont(UiFonts[1]);
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

  // Sleep in 1 ms steps until 1000/60 - 2 ms after the previous frame ended; a late
  // frame still sleeps once.
  const double wait = 1000.0 / kFrameRate - 2;
  do {
    plat::Delay(1);
  } while (MsBetween(LastFrameTime, plat::Millisecs()) < wait);

  UpdateSong();
  DrawMessages();

  const int slow = Settings[slot::slowSystem];
  if (slow == 0 || (slow == 1 && FrameParity == 0)) plat::Flip(0);

  FrameTime = MsBetween(LastFrameTime, plat::Millisecs());
  FpsAverage = (1000 / (FrameTime > 0 ? FrameTime : 1) + 2 * FpsAverage) / 3;
  FpsShown = FpsAverage;
  LastFrameTime = plat::Millisecs();

  FrameParity = 1 - FrameParity;

  bool altF4 = plat::KeyDown(kKeyF4) && (plat::KeyDown(kKeyLeftAlt) || plat::KeyDown(kKeyRightAlt));
  if (altF4 || plat::AppTerminate()) Shutdown();

  return pauseResult;
}
