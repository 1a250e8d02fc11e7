// The program's identity within the series, and the credits it shows.
#pragma once

#include <string>

constexpr int WeekNumber = 257;
extern const std::string TitleFirst;
extern const std::string TitleSecond;
extern const std::string AppTitle;    // "#257 : Puffwick Loopery", the window title
extern const std::string GameFolder;  // "257/", the game's folder inside Files/

extern std::string CreditLines[100];  // entries 1..41
extern int CreditCount;               // one past the last credit line

// Fills CreditLines and CreditCount.
void FillCredits();
