// The frame cycle: EndFrame ends every screen's frame. It owns the global hotkeys,
// draws the shared overlays, paces to 60 frames a second and presents the frame.
#pragma once

#include "core/state.h"
#include "platform/platform.h"

constexpr int kFrameRate = 60;

// What the pause menu ends with; EndFrame hands it on. The game keeps the quit
// code as its QuitFlag.
constexpr int kPauseContinue = 1;
constexpr int kPauseQuit = 99;

// The services of the layers above that EndFrame runs in its fixed order. Start-up
// fills the table; tests hand in their own. An empty entry is skipped.
struct FrameServices {
  void (*DrawPopups)() = nullptr;        // score popups, first thing every frame
  void (*SaveSetup)() = nullptr;         // each Tab toggle of the settings panel
  void (*TakeScreenshot)() = nullptr;    // F11
  int (*PauseMenu)() = nullptr;          // Escape during a game: kPauseContinue or kPauseQuit
  void (*DrawSettingsMenu)() = nullptr;  // the settings panel, when open or sliding
  void (*UpdateSong)() = nullptr;        // the music clock
  void (*Shutdown)() = nullptr;          // Alt+F4 or a close request; never returns
  void (*EachFrame)() = nullptr;         // work that must not wait for a screen to end (answers from afar)
};

struct FrameState {
  int LastFrameTime = 0;      // clock at the end of the previous frame, ms
  int FrameTime = 0;          // length of the last frame, ms
  int FpsAverage = 0;         // frames counted over the last second
  int FpsShown = 0;           // the frame rate the overlay shows
  int OverlayOn = 1;          // debug overlay (F12)
  int SettingsOpen = 0;       // settings panel (Tab)
  long long GcCollected = 0;  // bytes released by the last memory clean-up step
  // While set (the engine test's frames), Escape never opens the pause menu: a pause
  // inside display setup would lose its result and spoil the measurement.
  int PauseSuspended = 0;
  // The picture a pause menu that ended in Quit opened over (the game's frame as
  // Escape found it), left for the game's "Game Over"; whoever takes it frees it,
  // and the next pause frees one nobody took. 0 when none.
  plat::Image QuitPicture = 0;
  FrameServices FrameHooks;  // the layers' services EndFrame runs
};
extern FrameState Frame;

// Puts Frame back as a fresh program has it. The quit picture is dropped, not
// freed: its handle belongs to the backend that made it.
void ResetFrame();

// Returns 0, or the pause menu's result (kPauseContinue, kPauseQuit) when a pause ran.
int EndFrame(int showPointer);
// Ages and draws the on-screen messages, stacking upwards from the bottom.
void DrawMessages();
