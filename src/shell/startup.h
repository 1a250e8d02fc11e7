// Start-up and the main flow: the program's identity, the shared state created
// once, and RunProgram, which main() calls.
#pragma once

#include <string>

constexpr int WeekNumber = 257;
extern const std::string TitleFirst;
extern const std::string TitleSecond;
extern const std::string AppTitle;    // "#257 : Puffwick Loopery", the window title
extern const std::string GameFolder;  // "257/", the game's folder inside Files/

extern std::string CreditLines[100];  // entries 1..41
extern int CreditCount;               // one past the last credit line

extern int Difficulty;     // 0 Easy, 1 Medium, 2 Hard
extern int GameState;      // 0 title, 1 game, 2 paused
extern int GameStartTime;  // clock at the start of the game, moved forward by pauses
extern int ControlMode;    // 1: played with the mouse
extern int PlayerCount;
extern int BadgeCount;

constexpr int kLoadingMinimumMs = 2500;

// Everything before the title screen: services, tables, log, settings, display.
// Ends with Files/257/ current (or the nearest folder that exists).
void StartUp();
// The whole program: start-up, the title screen, shutdown. Runs once; a second
// call returns at once.
void RunProgram();
