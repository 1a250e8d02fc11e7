// Game-wide state that every layer reads: the game in use and its identity, where
// the program is in its flow, the display's sizes and shared assets, the settings
// table, the log, the frame parity and the mouse as the screens see it. All of it
// lives in one record, Core, that ResetCore puts back as a fresh program has it.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "core/game_table.h"
#include "core/log.h"
#include "platform/platform.h"

// Values of Core.GameState.
constexpr int kStateTitle = 0;
constexpr int kStatePlaying = 1;
constexpr int kStatePaused = 2;

// The mouse as the screens see it, refreshed once a frame by EndFrame.
struct MouseInfo {
  int x = 0, y = 0;        // virtual pixels
  int oldX = 0, oldY = 0;  // the previous frame's position
  int MouseClicked = 0;    // presses of button 1 since the previous frame
  int RightClicked = 0;    // presses of button 2 since the previous frame
};

struct CoreState {
  // The game this program runs (empty until UseGame) and what UseGame derives from it.
  GameTable ThisGame;
  int WeekNumber = 0;            // the game's number in the series (257)
  std::string TitleFirst;        // the title's two words
  std::string TitleSecond;
  std::string AppTitle;          // "#257 : Puffwick Loopery", the window title
  std::string GameFolder;        // "257/", the game's folder inside Files/
  std::string CreditLines[100];  // the credits (FillCredits), entries 1..99
  int CreditCount = 0;           // one past the last credit line

  // Where the program is in its flow.
  int Difficulty = 0;             // 0 Easy, 1 Medium, 2 Hard
  int GameState = kStateTitle;    // one of the kState codes above
  int GameStartTime = 0;          // clock at the start of the game, moved forward by pauses
  int ControlMode = 0;            // 1: played with the mouse
  int PlayerCount = 0;
  int BadgeCount = 0;

  // The folders start-up actually entered (absolute paths; empty until then):
  // Files/ (or the start folder when it is missing) and the game folder inside it.
  std::string FilesFolderPath;
  std::string GameFolderPath;

  int FrameParity = 0;   // flips every frame
  MouseInfo MouseState;  // the mouse as the screens see it

  // The display's sizes and the assets shared by every screen (core/assets.h);
  // display setup fills them. The handles belong to the backend that made them.
  int ScreenWidth = 800;    // the display size actually opened
  int ScreenHeight = 600;
  int VirtualWidth = 1280;  // the virtual drawing surface every screen draws on
  int VirtualHeight = 960;
  plat::Font UiFonts[20] = {};      // by role: the font:: slots (core/assets.h)
  plat::Font SizedFonts[100] = {};  // three families at nine sizes
  plat::Image IconsFiltered = 0;    // 16x16 icon strip, 64 frames, smooth scaling
  plat::Image IconsCrisp = 0;       // the same strip, nearest-pixel scaling
  plat::Image LogoImage = 0;
  plat::Image CommunityLogoImage = 0;
  plat::Image BadgesImage = 0;
  plat::Sound BadgeGetSound = 0;

  // The settings table (slots in core/settings_table.h) and the input bindings:
  // slot (player - 1) * 20 + action holds an input code; 0 means unbound.
  int Settings[100] = {};
  int KeyBindings[101] = {};
  std::vector<std::string> AudioDriverNames;  // the audio layer's, taken once at start-up

  // The debug log "Debug.txt" and the on-screen messages (core/log.h).
  plat::Stream DebugLog = 0;
  bool LogToStderr = false;      // Debug.txt could not be opened: lines go to stderr
  std::list<ment> MessageList;   // oldest first
};
extern CoreState Core;

// Puts Core back as a fresh program has it, but for the game in use and what it
// derives from it (identity and credits), and closes the log.
void ResetCore();

// Milliseconds from `earlier` to `later` on the free-running clock, which may wrap.
inline int MsBetween(int earlier, int later) {
  return static_cast<int>(static_cast<unsigned>(later) - static_cast<unsigned>(earlier));
}
