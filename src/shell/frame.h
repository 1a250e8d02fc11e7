// The frame cycle: EndFrame ends every screen's frame. It owns the global hotkeys,
// draws the shared overlays, paces to 60 frames a second and presents the frame.
#pragma once

// The mouse as the screens see it, refreshed once a frame by EndFrame.
struct MouseInfo {
  int x = 0, y = 0;          // virtual pixels
  int oldX = 0, oldY = 0;    // the previous frame's position
  int MouseClicked = 0;      // presses of button 1 since the previous frame
  int RightClicked = 0;      // presses of button 2 since the previous frame
};

extern MouseInfo MouseState;
extern int FrameParity;    // flips every frame
extern int LastFrameTime;  // clock at the end of the previous frame, ms
extern int FrameTime;      // length of the last frame, ms
extern int FpsAverage;
extern int FpsShown;
extern int OverlayOn;      // debug overlay (F12)
extern int SettingsOpen;   // settings panel (Tab)
extern long long GcCollected;  // bytes released by the last memory clean-up step

constexpr int kFrameRate = 60;

// The pause menu as EndFrame runs it; tests swap in a stand-in.
extern int (*PauseRunner)();

// Milliseconds from `earlier` to `later` on the free-running clock, which may wrap.
inline int MsBetween(int earlier, int later) {
  return static_cast<int>(static_cast<unsigned>(later) - static_cast<unsigned>(earlier));
}

// Returns 0, or the pause menu's result (1 continue, 99 quit) when a pause ran.
int EndFrame(int showPointer);
