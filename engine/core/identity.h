// The running game's identity within the series, derived from its table (see
// core/game_table.h), and the credits it shows.
#pragma once

#include <string>

#include "core/game_table.h"

extern int WeekNumber;           // the game's number in the series (257)
extern std::string TitleFirst;   // the title's two words
extern std::string TitleSecond;
extern std::string AppTitle;     // "#257 : Puffwick Loopery", the window title
extern std::string GameFolder;   // "257/", the game's folder inside Files/

extern std::string CreditLines[100];  // entries 1..99
extern int CreditCount;               // one past the last credit line

// Fills CreditLines and CreditCount from the game's credits.
void FillCredits();
