#include "core/state.h"

int Difficulty = 0;
int GameState = kStateTitle;
int GameStartTime = 0;
int ControlMode = 0;
int PlayerCount = 0;
int BadgeCount = 0;
std::string FilesFolderPath;
std::string GameFolderPath;
int FrameParity = 0;
MouseInfo MouseState;
