// Game-wide state that every layer reads: where the program is in its flow, the
// frame parity and the mouse as the screens see it.
#pragma once

#include <string>

extern int Difficulty;     // 0 Easy, 1 Medium, 2 Hard
extern int GameState;      // one of the kState codes below

// Values of GameState.
constexpr int kStateTitle = 0;
constexpr int kStatePlaying = 1;
constexpr int kStatePaused = 2;
extern int GameStartTime;  // clock at the start of the game, moved forward by pauses
extern int ControlMode;    // 1: played with the mouse
extern int PlayerCount;
extern int BadgeCount;

// The folders start-up actually entered (absolute paths; empty until then):
// Files/ (or the start folder when it is missing) and the game folder inside it.
extern std::string FilesFolderPath;
extern std::string GameFolderPath;

extern int FrameParity;  // flips every frame

// The mouse as the screens see it, refreshed once a frame by EndFrame.
struct MouseInfo {
  int x = 0, y = 0;        // virtual pixels
  int oldX = 0, oldY = 0;  // the previous frame's position
  int MouseClicked = 0;    // presses of button 1 since the previous frame
  int RightClicked = 0;    // presses of button 2 since the previous frame
};
extern MouseInfo MouseState;

// Milliseconds from `earlier` to `later` on the free-running clock, which may wrap.
inline int MsBetween(int earlier, int later) {
  return static_cast<int>(static_cast<unsigned>(later) - static_cast<unsigned>(earlier));
}
